// std::filesystem paths from and to the program's UTF-8 text. A path made from a plain
// std::string is read in the ANSI code page on Windows, which cannot hold every name.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vaskel::platform {

inline std::filesystem::path Utf8Path(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace vaskel::platform
