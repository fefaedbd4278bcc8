// The shell's type name, asked as Explorer asks it: SHGetFileInfoW with SHGFI_USEFILEATTRIBUTES
// for a normal file of that name, which touches nothing on disk. An extension no program has
// registered is still named ("ZZZ File").
#include "catalogue/type_description.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "platform/fs/wide_text.h"

namespace vaskel {

std::string DescribeTypeOf(const std::string& key) {
  if (key.empty()) return {};
  // ".htm" alone is a name without an extension to some shells.
  const std::wstring name = platform::Utf8ToWide(key.front() == '.' ? "file" + key : key);
  if (name.empty()) return {};
  SHFILEINFOW info{};
  if (::SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES) == 0) {
    return {};
  }
  return platform::WideToUtf8(info.szTypeName);
}

}  // namespace vaskel
