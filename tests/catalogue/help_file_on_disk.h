// A writer-made help file in the test's temporary folder, removed when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/chmwriter/chm_writer.h"

namespace vaskel::testing {

class HelpFileOnDisk {
 public:
  explicit HelpFileOnDisk(const std::vector<chmwriter::Entry>& entries) {
    static std::atomic<int> serial{0};
    path_ = std::filesystem::path(::testing::TempDir()) /
            ("vaskel-catalogue-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) +
             ".chm");
    const std::vector<std::uint8_t> bytes = chmwriter::WriteChm(entries);
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  ~HelpFileOnDisk() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  HelpFileOnDisk(const HelpFileOnDisk&) = delete;
  HelpFileOnDisk& operator=(const HelpFileOnDisk&) = delete;

  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

inline chmwriter::Entry File(std::string path, std::size_t size = 3) {
  return chmwriter::Entry{std::move(path), std::vector<std::uint8_t>(size, 'x'), 1};
}

}  // namespace vaskel::testing
