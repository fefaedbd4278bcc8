#include "platform/fs/wide_text.h"
#include "platform/text/utf_text.h"

namespace vaskel::platform {

// wchar_t is a UTF-16 unit on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring Utf8ToWide(std::string_view text) {
  bool invalid = false;
  const std::u16string wide = Utf8ToUtf16(text, &invalid);
  if (invalid) return {};
  return std::wstring(wide.begin(), wide.end());
}

std::string WideToUtf8(std::wstring_view text) {
  const std::u16string units(text.begin(), text.end());
  return Utf16ToUtf8Replacing(units, kReplacementCharacter);
}

}  // namespace vaskel::platform
