#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <utility>

#include "platform/fs/held_folder.h"
#include "platform/fs/wide_text.h"

namespace vaskel::platform {
namespace {

// Windows has no openat: names are joined to the held folder's path. The folder stays open
// without delete sharing, so it cannot be renamed or replaced while held; every level below it
// is checked not to be a reparse point before anything is made in it.

int ErrorFromWindows(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
      return EINVAL;
    case ERROR_CANT_ACCESS_FILE:
    case ERROR_CANT_RESOLVE_FILENAME:
      return ELOOP;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    default:
      return EIO;
  }
}

// 0 when `path` is a real folder (not a reparse point).
int CheckRealFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return ErrorFromWindows(::GetLastError());
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return ELOOP;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return ENOTDIR;
  return 0;
}

}  // namespace

HeldFolder::HeldFolder(HeldFolder&& other) noexcept
    : handle_(std::exchange(other.handle_, kNone)), path_(std::move(other.path_)) {}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
  if (this != &other) {
    Reset();
    handle_ = std::exchange(other.handle_, kNone);
    path_ = std::move(other.path_);
  }
  return *this;
}

int HeldFolder::Open(const std::string& path) {
  Reset();
  const std::wstring wide = Utf8ToWide(path);
  if (wide.empty()) return EINVAL;
  // No FILE_SHARE_DELETE: nobody renames or removes the folder while it is held.
  HANDLE folder =
      ::CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return ErrorFromWindows(::GetLastError());
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(folder, &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::CloseHandle(folder);
    return ENOTDIR;
  }
  handle_ = reinterpret_cast<std::intptr_t>(folder);
  path_ = path;
  if (path_.empty() || (path_.back() != '\\' && path_.back() != '/')) path_ += '\\';
  return 0;
}

void HeldFolder::Reset() {
  if (handle_ != kNone) ::CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, kNone)));
  path_.clear();
}

int HeldFolder::MakeLevel(const std::string& relative) {
  const std::wstring wide = Utf8ToWide(path_ + relative);
  if (wide.empty()) return EINVAL;
  if (!::CreateDirectoryW(wide.c_str(), nullptr)) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS) return ErrorFromWindows(error);
  }
  // Made or found: either way it must be a real folder, or nothing is made inside it.
  return CheckRealFolder(wide);
}

int HeldFolder::CreateForWriting(const char* relative, int* error) {
  const std::wstring wide = Utf8ToWide(path_ + relative);
  if (wide.empty()) {
    *error = EINVAL;
    return -1;
  }
  // FILE_FLAG_OPEN_REPARSE_POINT: a link of that name is opened itself, never followed, and
  // then refused below.
  HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = ErrorFromWindows(::GetLastError());
    return -1;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool got_info = ::GetFileInformationByHandle(file, &info);
  if (!got_info || (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT |
                                             FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) {
    ::CloseHandle(file);
    *error = got_info ? ELOOP : EIO;
    return -1;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    ::CloseHandle(file);
    *error = EMFILE;
  }
  return fd;
}

void HeldFolder::RemoveFile(const char* relative) noexcept {
  if (handle_ == kNone) return;
  const std::wstring wide = Utf8ToWide(path_ + relative);
  if (!wide.empty()) ::DeleteFileW(wide.c_str());
}

}  // namespace vaskel::platform
