#include "storage/text_conversion.h"

#include <algorithm>

#include "platform/text/utf_text.h"

namespace vaskel {

std::optional<std::size_t> NarrowToWide(std::string_view text, std::span<char16_t> out) {
  text = text.substr(0, text.find('\0'));
  const std::u16string wide = platform::Utf8ToUtf16(text, nullptr, u'?');
  if (wide.size() >= out.size()) return std::nullopt;
  std::copy(wide.begin(), wide.end(), out.begin());
  out[wide.size()] = u'\0';
  return wide.size();
}

std::string WideToNarrow(std::u16string_view name) {
  return platform::Utf16ToUtf8Replacing(name, U'?');
}

}  // namespace vaskel
