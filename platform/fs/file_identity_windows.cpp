#include <windows.h>

#include "platform/fs/file_identity.h"
#include "platform/fs/wide_text.h"

namespace vaskel::platform {

std::optional<FileIdentity> IdentityOfFile(const std::string& utf8_path) {
  HANDLE file = ::CreateFileW(Utf8ToWide(utf8_path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = ::GetFileInformationByHandle(file, &info);
  ::CloseHandle(file);
  if (!known) return std::nullopt;
  const auto join = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
  return FileIdentity{
      info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
      join(info.nFileSizeHigh, info.nFileSizeLow),
      static_cast<std::int64_t>(
          join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime) * 100)};
}

}  // namespace vaskel::platform
