// A writer-made help file in the test's temporary folder, removed when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel::testing {

class HelpFileOnDisk {
 public:
  explicit HelpFileOnDisk(const std::vector<chmwriter::Entry>& entries)
      : path_(folder_.path() / "help.chm") {
    WriteBytes(path_, chmwriter::WriteChm(entries));
  }
  HelpFileOnDisk(const HelpFileOnDisk&) = delete;
  HelpFileOnDisk& operator=(const HelpFileOnDisk&) = delete;

  std::string path() const { return path_.string(); }

 private:
  TempFolder folder_;
  std::filesystem::path path_;
};

inline chmwriter::Entry File(std::string path, std::size_t size = 3) {
  return chmwriter::Entry{std::move(path), std::vector<std::uint8_t>(size, 'x'), 1};
}

}  // namespace vaskel::testing
