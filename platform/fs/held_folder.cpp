#include "platform/fs/held_folder.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace vaskel::platform {
namespace {

constexpr int kCreateFlags = O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC | O_NOFOLLOW;
constexpr mode_t kFileMode = 0666;    // narrowed by the umask
constexpr mode_t kFolderMode = 0777;  // narrowed by the umask

}  // namespace

HeldFolder::HeldFolder(HeldFolder&& other) noexcept
    : handle_(std::exchange(other.handle_, kNone)),
      resolve_beneath_works_(other.resolve_beneath_works_) {}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
  if (this != &other) {
    Reset();
    handle_ = std::exchange(other.handle_, kNone);
    resolve_beneath_works_ = other.resolve_beneath_works_;
  }
  return *this;
}

int HeldFolder::Open(const std::string& path) {
  Reset();
  // O_PATH: the folder needs no read permission to have files made in it.
  const int fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  handle_ = fd;
  return 0;
}

void HeldFolder::Reset() {
  if (handle_ != kNone) ::close(static_cast<int>(std::exchange(handle_, kNone)));
}

int HeldFolder::MakeLevel(const std::string& relative) {
  // The level is made in its parent, opened without following any link: a level swapped for a
  // link after it was made cannot send the next one elsewhere.
  const std::size_t cut = relative.find_last_of('/');
  const std::string name = cut == std::string::npos ? relative : relative.substr(cut + 1);
  int parent = static_cast<int>(handle_);
  int opened = -1;
  if (cut != std::string::npos) {
    opened = OpenLevels(relative.substr(0, cut));
    if (opened < 0) return errno;
    parent = opened;
  }
  int result = ::mkdirat(parent, name.c_str(), kFolderMode) == 0 ? 0 : errno;
  if (result == EEXIST) {
    // An existing level is passed over only when it is a real folder.
    struct stat status;
    if (::fstatat(parent, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
      result = errno;
    } else {
      result = S_ISLNK(status.st_mode) ? ELOOP : !S_ISDIR(status.st_mode) ? ENOTDIR : 0;
    }
  }
  if (opened >= 0) ::close(opened);
  return result;
}

int HeldFolder::OpenLevels(const std::string& relative) {
  const int folder = static_cast<int>(handle_);
  if (resolve_beneath_works_) {
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
    const long fd = ::syscall(SYS_openat2, folder, relative.c_str(), &how, sizeof how);
    if (fd >= 0 || errno != ENOSYS) return static_cast<int>(fd);
    resolve_beneath_works_ = false;
  }
  // Older kernel: level by level, none of them a link.
  int at = folder;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = relative.find('/', start);
    const std::string level = relative.substr(start, end - start);
    const int next = ::openat(at, level.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    if (at != folder) ::close(at);
    if (next < 0) {
      errno = error;
      return -1;
    }
    at = next;
    if (end == std::string::npos) return at;
    start = end + 1;
  }
}

int HeldFolder::CreateForWriting(const char* relative, int* error) {
  const int folder = static_cast<int>(handle_);
  long fd = -1;
  if (resolve_beneath_works_) {
    // The kernel itself keeps the path below the folder and refuses every symbolic link on it,
    // which also covers a level swapped for a link after it was checked.
    open_how how{};
    how.flags = kCreateFlags;
    how.mode = kFileMode;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
    fd = ::syscall(SYS_openat2, folder, relative, &how, sizeof how);
    if (fd < 0 && errno == ENOSYS) {
      resolve_beneath_works_ = false;  // older kernel: the checked levels and O_NOFOLLOW remain
    }
  }
  if (!resolve_beneath_works_) fd = ::openat(folder, relative, kCreateFlags, kFileMode);
  if (fd < 0) *error = errno;
  return static_cast<int>(fd);
}

void HeldFolder::RemoveFile(const char* relative) noexcept {
  if (handle_ != kNone) ::unlinkat(static_cast<int>(handle_), relative, 0);
}

}  // namespace vaskel::platform
