// The program's one converter between UTF-8 (file paths, directory entries, narrow text) and
// UTF-16 (the storage interfaces' names, Windows calls).
#pragma once

#include <cstddef>
#include <cstdint>
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

// Decodes the code point at text[*i] and advances *i past it; a lone surrogate gives nothing and
// advances by one unit.
inline std::optional<char32_t> DecodeUtf16(std::u16string_view text, std::size_t* i) {
  const std::uint32_t unit = text[(*i)++];
  if (unit < 0xD800 || unit > 0xDFFF) return unit;
  if (unit > 0xDBFF || *i >= text.size()) return std::nullopt;
  const std::uint32_t low = text[*i];
  if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
  ++*i;
  return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
}

// Gives `sink` the UTF-8 bytes of one code point.
template <class Sink>
void EncodeUtf8(char32_t code_point, const Sink& sink) {
  if (code_point < 0x80) {
    sink(static_cast<std::uint8_t>(code_point));
  } else if (code_point < 0x800) {
    sink(static_cast<std::uint8_t>(0xC0 | (code_point >> 6)));
    sink(static_cast<std::uint8_t>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    sink(static_cast<std::uint8_t>(0xE0 | (code_point >> 12)));
    sink(static_cast<std::uint8_t>(0x80 | ((code_point >> 6) & 0x3F)));
    sink(static_cast<std::uint8_t>(0x80 | (code_point & 0x3F)));
  } else {
    sink(static_cast<std::uint8_t>(0xF0 | (code_point >> 18)));
    sink(static_cast<std::uint8_t>(0x80 | ((code_point >> 12) & 0x3F)));
    sink(static_cast<std::uint8_t>(0x80 | ((code_point >> 6) & 0x3F)));
    sink(static_cast<std::uint8_t>(0x80 | (code_point & 0x3F)));
  }
}

// Gives `sink` each byte of the UTF-8 form of `text`, allocating nothing. False at a lone
// surrogate, which has no UTF-8 form.
template <class Sink>
bool ForEachUtf8Byte(std::u16string_view text, const Sink& sink) {
  for (std::size_t i = 0; i < text.size();) {
    const std::optional<char32_t> code_point = DecodeUtf16(text, &i);
    if (!code_point) return false;
    EncodeUtf8(*code_point, sink);
  }
  return true;
}

// Strict: a lone surrogate has no UTF-8 form, so the conversion fails.
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);

// Lenient: every lone surrogate becomes `replacement`.
std::string Utf16ToUtf8Replacing(std::u16string_view text, char32_t replacement);

}  // namespace vaskel::platform
