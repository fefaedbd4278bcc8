// UTF-8 <-> UTF-16 for the Windows calls, whatever the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace vaskel::platform {

// Empty when `text` is not valid UTF-8 (and not empty).
std::wstring Utf8ToWide(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view text);

}  // namespace vaskel::platform
