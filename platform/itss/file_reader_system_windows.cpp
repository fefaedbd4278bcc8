// The program's headers come before windows.h, whose S_OK, STG_E_... macros would otherwise
// rewrite the program's constants of the same names.
// clang-format off
#include "platform/com/error_info.h"
#include "platform/fs/wide_text.h"
#include "platform/itss/file_reader.h"

#include <windows.h>
// clang-format on

#include <algorithm>
#include <system_error>

namespace vaskel::itss {
namespace {

constexpr long kNotFound[] = {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_NAME,
                              ERROR_FILENAME_EXCED_RANGE, ERROR_BAD_PATHNAME};
constexpr long kDenied[] = {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION};

}  // namespace

HRESULT FileReader::Open(const std::string& utf8_path, std::unique_ptr<FileReader>* out) {
  out->reset();
  const std::wstring wide = platform::Utf8ToWide(utf8_path);
  if (wide.empty()) return FailWith(STG_E_FILENOTFOUND, "the file name is not valid UTF-8");
  // Others may read, not write: the file must not change under the reader.
  HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const ::DWORD error = ::GetLastError();
    // A folder is refused as access denied; it is no file either.
    const ::DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return FailWith(STG_E_FILENOTFOUND, "not a regular file");
    return OpenFailure(static_cast<long>(error), {kNotFound, kDenied},
                       std::system_category().message(static_cast<int>(error)));
  }
  LARGE_INTEGER size{};
  if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    ::CloseHandle(file);
    return FailWith(STG_E_FILENOTFOUND, "not a regular file");
  }
  out->reset(new FileReader(reinterpret_cast<std::intptr_t>(file),
                            static_cast<std::uint64_t>(size.QuadPart)));
  return S_OK;
}

FileReader::~FileReader() { ::CloseHandle(reinterpret_cast<HANDLE>(fd_)); }

std::int64_t FileReader::ReadSome(std::uint64_t offset, std::span<std::uint8_t> out) const {
  // Positioned reads through OVERLAPPED leave no shared file position, so threads may read at
  // once.
  OVERLAPPED at{};
  at.Offset = static_cast<::DWORD>(offset);
  at.OffsetHigh = static_cast<::DWORD>(offset >> 32);
  const ::DWORD want = static_cast<::DWORD>(std::min<std::size_t>(out.size(), 1u << 30));
  ::DWORD got = 0;
  if (!::ReadFile(reinterpret_cast<HANDLE>(fd_), out.data(), want, &got, &at)) return -1;
  return got;
}

}  // namespace vaskel::itss
