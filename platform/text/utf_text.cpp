#include "platform/text/utf_text.h"

#include <algorithm>
#include <cstdint>

namespace vaskel::platform {
namespace {

void AppendUtf8(char32_t code_point, std::string* out) {
  EncodeUtf8(code_point, [out](std::uint8_t byte) { out->push_back(static_cast<char>(byte)); });
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The bytes of the sequence a lead byte starts, and the bits it contributes; 0 when it is no
// lead byte.
std::size_t SequenceLength(unsigned char lead, std::uint32_t* bits = nullptr) {
  std::size_t length = 0;
  std::uint32_t value = 0;
  if (lead < 0x80) {
    length = 1, value = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07;
  }
  if (bits) *bits = value;
  return length;
}

bool IsSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

}  // namespace

std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t i, std::size_t* length) {
  *length = 1;
  std::uint32_t value = 0;
  const std::size_t needed = SequenceLength(static_cast<unsigned char>(text[i]), &value);
  if (needed == 0 || text.size() - i < needed) return std::nullopt;
  for (std::size_t k = 1; k < needed; ++k) {
    const auto byte = static_cast<unsigned char>(text[i + k]);
    if (!IsContinuation(byte)) return std::nullopt;
    value = (value << 6) | (byte & 0x3F);
  }
  constexpr std::uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kMinimum[needed] || value > 0x10FFFF || IsSurrogate(value)) return std::nullopt;
  *length = needed;
  return value;
}

std::size_t WholeCharactersLength(std::string_view text) {
  const std::size_t length = text.size();
  std::size_t start = length;
  // Back over at most three continuation bytes to the lead byte of the last character.
  while (start > 0 && length - start < 3 &&
         IsContinuation(static_cast<unsigned char>(text[start - 1]))) {
    --start;
  }
  if (start == 0) return length;
  const std::size_t needed =
      std::max<std::size_t>(1, SequenceLength(static_cast<unsigned char>(text[start - 1])));
  return length - (start - 1) < needed ? start - 1 : length;
}

bool AppendUtf8AsUtf16(std::string_view text, std::u16string* out, char16_t replacement) {
  // Never more units than bytes: write in place, then trim.
  const std::size_t start = out->size();
  out->resize(start + text.size());
  char16_t* const first = out->data() + start;
  char16_t* next = first;
  bool invalid = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {  // most names are ASCII
      *next++ = byte;
      ++i;
      continue;
    }
    std::size_t length = 1;
    const std::optional<char32_t> decoded = DecodeUtf8(text, i, &length);
    i += length;
    if (!decoded) {
      *next++ = replacement;
      invalid = true;
    } else if (*decoded >= 0x10000) {
      const char32_t above = *decoded - 0x10000;
      *next++ = static_cast<char16_t>(0xD800 + (above >> 10));
      *next++ = static_cast<char16_t>(0xDC00 + (above & 0x3FF));
    } else {
      *next++ = static_cast<char16_t>(*decoded);
    }
  }
  out->resize(start + static_cast<std::size_t>(next - first));
  return invalid;
}

std::u16string Utf8ToUtf16(std::string_view text, bool* had_invalid, char16_t replacement) {
  std::u16string out;
  const bool invalid = AppendUtf8AsUtf16(text, &out, replacement);
  if (had_invalid) *had_invalid = invalid;
  return out;
}

std::optional<std::string> Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::optional<char32_t> code_point = DecodeUtf16(text, &i);
    if (!code_point) return std::nullopt;
    AppendUtf8(*code_point, &out);
  }
  return out;
}

std::string Utf16ToUtf8Replacing(std::u16string_view text, char32_t replacement) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();)
    AppendUtf8(DecodeUtf16(text, &i).value_or(replacement), &out);
  return out;
}

}  // namespace vaskel::platform
