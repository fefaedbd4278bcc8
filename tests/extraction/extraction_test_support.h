// File helpers for the extraction tests.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/pattern_bytes.h"
#include "tests/support/temp_folder.h"

namespace vaskel::testing {

inline std::string ReadText(const std::filesystem::path& path) {
  const Bytes bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// Every path below `root`, relative, sorted; folders end in '/'.
inline std::vector<std::string> TreeOf(const std::filesystem::path& root) {
  std::vector<std::string> paths;
  for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
    std::string relative = std::filesystem::relative(item.path(), root).generic_string();
    if (item.is_directory() && !item.is_symlink()) relative += '/';
    paths.push_back(relative);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

inline bool RunningAsRoot() { return ::geteuid() == 0; }

}  // namespace vaskel::testing
