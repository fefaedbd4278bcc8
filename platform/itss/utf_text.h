// Conversions between the UTF-16 names of the storage interfaces and the UTF-8 of file paths and
// directory entries.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vaskel::itss {

// Strict: a lone surrogate has no UTF-8 form, so the conversion fails.
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);

// Lenient: every byte that does not start a well-formed sequence (overlong forms, surrogates,
// values above U+10FFFF, truncated sequences) becomes U+FFFD, so damaged names stay presentable.
// Well-formed input converts exactly. `*had_invalid` reports whether a replacement happened.
std::u16string Utf8ToUtf16(std::string_view text, bool* had_invalid = nullptr);

}  // namespace vaskel::itss
