#include <windows.h>
// After windows.h, which it needs.
#include <shlwapi.h>

#include <array>

#include "catalogue/type_description.h"
#include "platform/fs/wide_text.h"

namespace vaskel {

std::string DescribeTypeOf(const std::string& key) {
  // Only an extension has an association; a name without one has no type.
  if (key.empty() || key.front() != '.') return {};
  const std::wstring extension = platform::Utf8ToWide(key);
  if (extension.empty()) return {};
  std::array<wchar_t, 512> text{};
  DWORD size = static_cast<DWORD>(text.size());
  // ASSOCF_INIT_IGNOREUNKNOWN: no generic "File" answer for an unknown extension.
  if (FAILED(::AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_FRIENDLYDOCNAME,
                                 extension.c_str(), nullptr, text.data(), &size)))
    return {};
  return platform::WideToUtf8(text.data());
}

}  // namespace vaskel
