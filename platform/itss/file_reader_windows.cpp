// The program's headers come before windows.h, whose S_OK, STG_E_... macros would otherwise
// rewrite the program's constants of the same names.
// clang-format off
#include "platform/fs/wide_text.h"
#include "platform/itss/checked_math.h"
#include "platform/itss/file_reader.h"

#include <windows.h>
// clang-format on

#include <algorithm>

namespace vaskel::itss {
namespace {

HRESULT ErrorToResult(::DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BAD_PATHNAME:
      return STG_E_FILENOTFOUND;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return STG_E_ACCESSDENIED;
    default:
      return STG_E_READFAULT;
  }
}

}  // namespace

HRESULT FileReader::Open(const std::string& utf8_path, std::unique_ptr<FileReader>* out) {
  out->reset();
  const std::wstring wide = platform::Utf8ToWide(utf8_path);
  if (wide.empty()) return STG_E_FILENOTFOUND;
  // Others may read, not write: the file must not change under the reader.
  HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const ::DWORD error = ::GetLastError();
    // A folder is refused as access denied; it is no file either.
    const ::DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return STG_E_FILENOTFOUND;
    return ErrorToResult(error);
  }
  LARGE_INTEGER size{};
  if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    ::CloseHandle(file);
    return STG_E_FILENOTFOUND;
  }
  out->reset(new FileReader(reinterpret_cast<std::intptr_t>(file),
                            static_cast<std::uint64_t>(size.QuadPart)));
  return S_OK;
}

FileReader::~FileReader() { ::CloseHandle(reinterpret_cast<HANDLE>(fd_)); }

bool FileReader::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (!RangeWithin(offset, out.size(), size_)) return false;
  std::size_t done = 0;
  while (done < out.size()) {
    // Positioned reads through OVERLAPPED leave no shared file position, so threads may read
    // at once.
    OVERLAPPED at{};
    const std::uint64_t position = offset + done;
    at.Offset = static_cast<::DWORD>(position);
    at.OffsetHigh = static_cast<::DWORD>(position >> 32);
    const ::DWORD want = static_cast<::DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
    ::DWORD got = 0;
    if (!::ReadFile(reinterpret_cast<HANDLE>(fd_), out.data() + done, want, &got, &at))
      return false;
    if (got == 0) return false;  // the file shrank under us
    done += got;
  }
  return true;
}

}  // namespace vaskel::itss
