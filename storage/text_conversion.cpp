#include "storage/text_conversion.h"

#include <cstdint>

namespace vaskel {
namespace {

// Decodes one UTF-8 sequence at text[i]; returns the code point or nothing when it is malformed
// (overlong, surrogate, beyond U+10FFFF, truncated). `length` gets the bytes consumed.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[i + k]); };
  const std::uint8_t lead = byte(0);
  length = 1;
  if (lead < 0x80) return lead;
  std::size_t extra;
  char32_t cp;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07, minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  for (std::size_t k = 1; k <= extra; ++k) {
    if (i + k >= text.size() || (byte(k) & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (byte(k) & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  length = extra + 1;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::optional<std::size_t> NarrowToWide(std::string_view text, std::span<char16_t> out) {
  text = text.substr(0, text.find('\0'));
  std::size_t written = 0;
  const auto put = [&](char16_t unit) {
    if (written >= out.size()) return false;
    out[written++] = unit;
    return true;
  };
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length;
    const char32_t cp = DecodeUtf8(text, i, length).value_or(U'?');
    i += length;
    if (cp >= 0x10000) {
      if (!put(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10))) ||
          !put(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)))) {
        return std::nullopt;
      }
    } else if (!put(static_cast<char16_t>(cp))) {
      return std::nullopt;
    }
  }
  if (!put(u'\0')) return std::nullopt;
  return written - 1;
}

std::string WideToNarrow(std::u16string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t unit = name[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
        name[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (name[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      out += '?';
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace vaskel
