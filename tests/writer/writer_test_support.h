// Helpers for checking written help files against outside extractors.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/support/pattern_bytes.h"
#include "tests/support/temp_folder.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel::chmwriter::test_support {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& text);
using vaskel::testing::PatternBytes;
using vaskel::testing::ReadBytes;
using vaskel::testing::TempFolder;
using vaskel::testing::WriteBytes;

bool HaveProgram(const char* name);

struct RunResult {
  bool exited_ok = false;  // exit status 0
  std::string output;      // stdout then stderr, for failure messages
};
RunResult RunProgram(const std::vector<std::string>& argv);

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
