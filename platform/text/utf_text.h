// The program's one converter between UTF-8 (file paths, directory entries, narrow text) and
// UTF-16 (the storage interfaces' names, Windows calls).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vaskel::platform {

inline constexpr char16_t kReplacementCharacter = 0xFFFD;

// Decodes the well-formed sequence that starts at text[i] and sets *length to its bytes.
// Nothing for a byte that starts none: overlong forms, surrogates, values above U+10FFFF and
// sequences cut short (*length is then 1).
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t i, std::size_t* length);

// The length of `text` without a multi-byte sequence that a cut left incomplete at its end.
std::size_t WholeCharactersLength(std::string_view text);

// Lenient: every byte that does not start a well-formed sequence becomes `replacement`, so
// damaged names stay presentable. Well-formed input converts exactly. `*had_invalid` reports
// whether a replacement happened.
std::u16string Utf8ToUtf16(std::string_view text, bool* had_invalid = nullptr,
                           char16_t replacement = kReplacementCharacter);

// The same, appended to `out` without a temporary; true when a replacement happened.
bool AppendUtf8AsUtf16(std::string_view text, std::u16string* out,
                       char16_t replacement = kReplacementCharacter);

// Strict: a lone surrogate has no UTF-8 form, so the conversion fails.
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);

// Lenient: every lone surrogate becomes `replacement`.
std::string Utf16ToUtf8Replacing(std::u16string_view text, char32_t replacement);

}  // namespace vaskel::platform
