#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <winternl.h>

#include <cerrno>
#include <string_view>
#include <utility>

#include "platform/fs/held_folder.h"
#include "platform/fs/wide_text.h"

namespace vaskel::platform {
namespace {

// Every level is opened relative to the handle of the level above (NtCreateFile with a root
// directory), with FILE_OPEN_REPARSE_POINT so that a junction or link is opened itself and
// refused, never followed. Each level stays open without delete sharing while the next is
// opened in it, so nothing can be swapped in between the check and the use.

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

int ErrorFromStatus(NTSTATUS status) {
  if (status == static_cast<NTSTATUS>(0xC0000103L)) return ENOTDIR;  // STATUS_NOT_A_DIRECTORY
  if (status == static_cast<NTSTATUS>(0xC00000BAL)) return EISDIR;   // STATUS_FILE_IS_A_DIRECTORY
  return ErrorFromWindows(::RtlNtStatusToDosError(status));
}

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() {
    if (handle_ != nullptr) ::CloseHandle(handle_);
  }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  HANDLE Get() const { return handle_; }
  HANDLE Release() { return std::exchange(handle_, nullptr); }

 private:
  HANDLE handle_ = nullptr;
};

struct Opening {
  ACCESS_MASK access;
  ULONG disposition;
  ULONG options;
  ULONG share;
};

constexpr ULONG kSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;  // no delete, no rename
constexpr Opening kLevel = {
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_OPEN,
    FILE_DIRECTORY_FILE, kSharing};

// Opens the single name `name` in the folder `root`; a reparse point is opened itself.
int OpenRelative(HANDLE root, const std::wstring& name, const Opening& how, UniqueHandle* out) {
  if (name.empty() || name.size() > 32767 / sizeof(wchar_t)) return ENAMETOOLONG;
  UNICODE_STRING unicode_name;
  unicode_name.Buffer = const_cast<wchar_t*>(name.c_str());
  unicode_name.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  unicode_name.MaximumLength = unicode_name.Length;
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &unicode_name, OBJ_CASE_INSENSITIVE, root, nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE handle = nullptr;
  const NTSTATUS status = ::NtCreateFile(
      &handle, how.access, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, how.share,
      how.disposition, how.options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT,
      nullptr, 0);
  if (status < 0) return ErrorFromStatus(status);
  *out = UniqueHandle(handle);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return EIO;
  if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) return ELOOP;
  const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if ((how.options & FILE_DIRECTORY_FILE) && !folder) return ENOTDIR;
  if ((how.options & FILE_NON_DIRECTORY_FILE) && folder) return EISDIR;
  return 0;
}

// The folder that holds the last level of `relative`, each level opened in the one above; the
// last level's name in *last.
int OpenParent(HANDLE held, const std::string& relative, UniqueHandle* parent, std::wstring* last) {
  HANDLE at = held;
  UniqueHandle level;
  std::string_view rest = relative;
  for (;;) {
    const std::size_t separator = rest.find_first_of("\\/");
    const std::wstring name = Utf8ToWide(std::string(rest.substr(0, separator)));
    if (name.empty()) return EINVAL;
    if (separator == std::string_view::npos) {
      *last = name;
      break;
    }
    UniqueHandle next;
    if (const int error = OpenRelative(at, name, kLevel, &next)) return error;
    level = std::move(next);
    at = level.Get();
    rest.remove_prefix(separator + 1);
  }
  if (level.Get() == nullptr) {
    // The held folder itself: a handle of its own, so that the caller may close it.
    HANDLE copy = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), held, ::GetCurrentProcess(), &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS)) {
      return ErrorFromWindows(::GetLastError());
    }
    level = UniqueHandle(copy);
  }
  *parent = std::move(level);
  return 0;
}

}  // namespace

HeldFolder::HeldFolder(HeldFolder&& other) noexcept
    : handle_(std::exchange(other.handle_, kNone)) {}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
  if (this != &other) {
    Reset();
    handle_ = std::exchange(other.handle_, kNone);
  }
  return *this;
}

int HeldFolder::Open(const std::string& path) {
  Reset();
  const std::wstring wide = Utf8ToWide(path);
  if (wide.empty()) return EINVAL;
  // No FILE_SHARE_DELETE: nobody renames or removes the folder while it is held.
  HANDLE folder = ::CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return ErrorFromWindows(::GetLastError());
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(folder, &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::CloseHandle(folder);
    return ENOTDIR;
  }
  handle_ = reinterpret_cast<std::intptr_t>(folder);
  return 0;
}

void HeldFolder::Reset() {
  if (handle_ != kNone) ::CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, kNone)));
}

int HeldFolder::MakeLevel(const std::string& relative) {
  if (handle_ == kNone) return EBADF;
  UniqueHandle parent;
  std::wstring name;
  if (const int error = OpenParent(reinterpret_cast<HANDLE>(handle_), relative, &parent, &name)) {
    return error;
  }
  // Made or found: either way it must be a real folder, or nothing is made inside it.
  Opening make = kLevel;
  make.disposition = FILE_OPEN_IF;
  UniqueHandle level;
  return OpenRelative(parent.Get(), name, make, &level);
}

int HeldFolder::CreateForWriting(const char* relative, int* error) {
  UniqueHandle parent;
  std::wstring name;
  *error = handle_ == kNone
               ? EBADF
               : OpenParent(reinterpret_cast<HANDLE>(handle_), relative, &parent, &name);
  if (*error != 0) return -1;
  // A link of that name is opened itself, never followed, and then refused.
  constexpr Opening kNewFile = {GENERIC_WRITE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                FILE_OVERWRITE_IF, FILE_NON_DIRECTORY_FILE, FILE_SHARE_READ};
  UniqueHandle file;
  *error = OpenRelative(parent.Get(), name, kNewFile, &file);
  if (*error != 0) return -1;
  const int fd =
      ::_open_osfhandle(reinterpret_cast<std::intptr_t>(file.Get()), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    *error = EMFILE;
    return -1;
  }
  file.Release();  // the descriptor owns it now
  return fd;
}

void HeldFolder::RemoveFile(const char* relative) noexcept {
  if (handle_ == kNone) return;
  UniqueHandle parent;
  std::wstring name;
  if (OpenParent(reinterpret_cast<HANDLE>(handle_), relative, &parent, &name) != 0) return;
  constexpr Opening kDoomed = {DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_OPEN,
                               FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE, kSharing};
  UniqueHandle file;
  OpenRelative(parent.Get(), name, kDoomed, &file);  // gone when closed
}

}  // namespace vaskel::platform
