// Helpers for checking written help files against outside extractors.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/chmwriter/chm_writer.h"

namespace vaskel::chmwriter::test_support {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& text);
Bytes PseudoRandomBytes(std::size_t size, std::uint32_t seed);

// A fresh folder under the system temp folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

bool HaveProgram(const char* name);

struct RunResult {
  bool exited_ok = false;  // exit status 0
  std::string output;      // stdout then stderr, for failure messages
};
RunResult RunProgram(const std::vector<std::string>& argv);

void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadFile(const std::filesystem::path& path);

// Files (relative name -> bytes) and folders (relative names) below a root.
struct Tree {
  std::map<std::string, Bytes> files;
  std::set<std::string> folders;
};
Tree ReadTree(const std::filesystem::path& root);
// What extracting `entries` should give: "/" names only, folders from explicit entries and from
// the parents of every name.
Tree ExpectedTree(const std::vector<Entry>& entries);

// Names only, so a failure prints the difference rather than megabytes.
std::vector<std::string> Names(const Tree& tree);

}  // namespace vaskel::chmwriter::test_support
