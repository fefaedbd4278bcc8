// The shell's system image list: SHGetFileInfoW with SHGFI_USEFILEATTRIBUTES asks by name alone,
// so nothing on disk is touched, and hands out indexes into the shell's own process-wide lists.
#include "catalogue/system_image_list.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include "catalogue/type_lookup_key.h"
#include "platform/fs/wide_text.h"

namespace vaskel {
namespace {

UINT SizeFlag(bool small) { return small ? SHGFI_SMALLICON : SHGFI_LARGEICON; }

// A name with the key's extension (".htm" alone is a name without one to some shells), or the
// whole name when it has none.
std::wstring NameToAsk(const std::string& key) {
  return platform::Utf8ToWide(!key.empty() && key.front() == '.' ? "file" + key : key);
}

}  // namespace

SystemImageList::SystemImageList() = default;

SystemImageList::~SystemImageList() = default;

_IMAGELIST* SystemImageList::GetImageList(bool small) const {
  SHFILEINFOW info{};
  return reinterpret_cast<HIMAGELIST>(
      ::SHGetFileInfoW(L"file.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SizeFlag(small)));
}

int SystemImageList::GetIconIndex(std::string_view name, bool open, bool small) {
  std::string key;
  MakeTypeLookupKey(name, key);
  std::wstring asked = NameToAsk(key);
  if (asked.empty()) asked = L"file";  // no name, or not UTF-8: the plain file icon
  SHFILEINFOW info{};
  const UINT flags =
      SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SizeFlag(small) | (open ? SHGFI_OPENICON : 0u);
  if (::SHGetFileInfoW(asked.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags) == 0) {
    return -1;
  }
  return info.iIcon;
}

}  // namespace vaskel
