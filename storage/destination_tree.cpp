#include "storage/destination_tree.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "storage/extraction_error.h"

namespace vaskel {
namespace {

constexpr int kCreateFlags = O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC | O_NOFOLLOW;
constexpr mode_t kFileMode = 0666;    // narrowed by the umask
constexpr mode_t kFolderMode = 0777;  // narrowed by the umask

std::string Reason(int error) {
  switch (error) {
    case ELOOP:
      return "a symbolic link is in the way; it is not followed";
    case EXDEV:
      return "the path would lead outside the destination folder";
    default:
      return std::generic_category().message(error);
  }
}

[[noreturn]] void Throw(std::string path, int error) {
  throw ExtractionError(std::move(path), Reason(error), error);
}

}  // namespace

int DestinationTree::DestinationFolder(const EntryTarget& target) {
  if (destination_fd_ && destination_ == target.destination_folder) return destination_fd_.Get();
  Forget();
  // O_PATH: the folder needs no read permission to have files made in it.
  UniqueFd fd(::open(target.destination_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!fd) {
    const int error = errno;
    Throw(target.destination_folder, error);
  }
  destination_fd_ = std::move(fd);
  destination_ = target.destination_folder;
  return destination_fd_.Get();
}

void DestinationTree::MakeLevels(int folder, const EntryTarget& target) {
  // Levels become known top down, so a known deepest level means every level is known.
  if (target.level_ends.empty() ||
      known_levels_.contains(target.Level(target.level_ends.size() - 1)))
    return;
  for (std::size_t index = 0; index < target.level_ends.size(); ++index) {
    if (known_levels_.contains(target.Level(index))) continue;
    std::string level(target.Level(index));
    if (::mkdirat(folder, level.c_str(), kFolderMode) != 0) {
      const int error = errno;
      const std::string full = target.full_path.substr(0, target.level_ends[index]);
      if (error != EEXIST) Throw(full, error);
      // An existing level is passed over only when it is a real folder.
      struct stat status;
      if (::fstatat(folder, level.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        const int stat_error = errno;
        Throw(full, stat_error);
      }
      if (S_ISLNK(status.st_mode)) Throw(full, ELOOP);
      if (!S_ISDIR(status.st_mode)) {
        throw ExtractionError(full, "a file of that name is in the way of the folder", ENOTDIR);
      }
    }
    known_levels_.insert(std::move(level));
  }
}

int DestinationTree::OpenForWriting(int folder, const char* relative) {
  if (resolve_beneath_works_) {
    // The kernel itself keeps the path below the folder and refuses every symbolic link on it,
    // which also covers a level swapped for a link after it was checked.
    open_how how{};
    how.flags = kCreateFlags;
    how.mode = kFileMode;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
    const long fd = ::syscall(SYS_openat2, folder, relative, &how, sizeof how);
    if (fd >= 0 || errno != ENOSYS) return static_cast<int>(fd);
    resolve_beneath_works_ = false;  // older kernel: the checked levels and O_NOFOLLOW remain
  }
  return ::openat(folder, relative, kCreateFlags, kFileMode);
}

UniqueFd DestinationTree::CreateFile(const EntryTarget& target) {
  const bool relied_on_earlier_calls = static_cast<bool>(destination_fd_);
  int folder = DestinationFolder(target);
  MakeLevels(folder, target);
  UniqueFd fd(OpenForWriting(folder, target.Relative()));
  if (!fd && errno == ENOENT && relied_on_earlier_calls) {
    // A folder known from earlier calls has gone (or the destination was replaced): check again.
    Forget();
    folder = DestinationFolder(target);
    MakeLevels(folder, target);
    fd = UniqueFd(OpenForWriting(folder, target.Relative()));
  }
  if (!fd) {
    const int error = errno;
    Throw(target.full_path, error);
  }
  return fd;
}

void DestinationTree::PrepareFolders(std::string_view destination_folder,
                                     std::string_view internal_path) {
  if (internal_path.empty()) return;
  std::string key(destination_folder);
  key += '\0';
  key += internal_path;
  if (destination_fd_ && key == last_prepared_) return;
  const EntryTarget target = ComposeFolderTarget(destination_folder, internal_path);
  MakeLevels(DestinationFolder(target), target);
  last_prepared_ = std::move(key);
}

void DestinationTree::RemoveFile(const EntryTarget& target) noexcept {
  if (destination_fd_ && destination_ == target.destination_folder)
    ::unlinkat(destination_fd_.Get(), target.Relative(), 0);
}

void DestinationTree::Forget() {
  destination_fd_.Reset();
  destination_.clear();
  last_prepared_.clear();
  known_levels_.clear();
}

}  // namespace vaskel
