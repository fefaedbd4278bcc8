#include "catalogue/preview_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>

#include "storage/unique_fd.h"

namespace vaskel {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// Run's copies of help files keep their internal folders; deeper than this nothing goes (each
// level holds two descriptors while it is emptied).
constexpr int kDeepestFolder = 64;

bool IsOwnDirectory(const std::string& path, uid_t owner) {
  struct stat status {};
  return !path.empty() && path.front() == '/' && ::lstat(path.c_str(), &status) == 0 &&
         S_ISDIR(status.st_mode) && status.st_uid == owner;
}

std::string TemporaryDirectory() {
  std::error_code error;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  if (error || !temporary.is_absolute()) return "/tmp";
  std::string text = temporary.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string PerUserTemporaryName(uid_t owner) { return "vaskel-" + std::to_string(owner); }

std::string BaseFolderFor(uid_t owner) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && IsOwnDirectory(runtime, owner)) {
    std::string base = runtime;
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base;
  }
  return TemporaryDirectory() + "/" + PerUserTemporaryName(owner);
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder == "/" ? folder + name : folder + "/" + name;
}

// Opens `name` below `parent` (a folder descriptor, or AT_FDCWD with an absolute name) as a
// folder private to `owner`, first making it when `make` is set. On refusal `refusal` says why.
UniqueFd OpenPrivateFolder(int parent, const std::string& name, const std::string& shown,
                           uid_t owner, bool make, std::string& refusal) {
  if (make) ::mkdirat(parent, name.c_str(), 0700);  // an existing one is checked below
  struct stat named {};
  if (::fstatat(parent, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
    refusal = "The preview folder " + shown + " cannot be made: " + std::strerror(errno) + ".";
    return {};
  }
  if (S_ISLNK(named.st_mode)) {
    refusal = "The preview folder " + shown +
              " is a symbolic link, which Vaskel does not follow. Remove it and try again.";
    return {};
  }
  if (!S_ISDIR(named.st_mode)) {
    refusal = "The preview folder " + shown + " is not a folder. Remove it and try again.";
    return {};
  }
  if (named.st_uid != owner) {
    refusal = "The preview folder " + shown +
              " belongs to another user, so Vaskel does not use it. Remove it and try again.";
    return {};
  }
  UniqueFd folder(::openat(parent, name.c_str(), kFolderFlags));
  struct stat opened {};
  if (!folder || ::fstat(folder.Get(), &opened) != 0 || opened.st_dev != named.st_dev ||
      opened.st_ino != named.st_ino) {
    refusal = "The preview folder " + shown + " changed while it was checked. Try again.";
    return {};
  }
  // Ours, but perhaps readable by others: only the owner may look inside.
  if ((opened.st_mode & 07777) != 0700) ::fchmod(folder.Get(), 0700);
  return folder;
}

// Deletes what the folder open as `folder_fd` holds: files and links (never followed) and,
// emptied first, sub-folders down to kDeepestFolder levels. What cannot go stays.
void EmptyFolder(int folder_fd, int depth) {
  // The listing takes a descriptor of its own; `folder_fd` stays for the deletions.
  const int listing_fd = ::dup(folder_fd);
  if (listing_fd < 0) return;
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(listing_fd), ::closedir);
  if (!listing) {
    ::close(listing_fd);
    return;
  }
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat status {};
    if (::fstatat(folder_fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISDIR(status.st_mode)) {
      ::unlinkat(folder_fd, entry->d_name, 0);
      continue;
    }
    if (depth >= kDeepestFolder) continue;
    const UniqueFd inner(::openat(folder_fd, entry->d_name, kFolderFlags));
    if (!inner) continue;
    EmptyFolder(inner.Get(), depth + 1);
    ::unlinkat(folder_fd, entry->d_name, AT_REMOVEDIR);
  }
}

// The base folder, opened: a private per-user folder in the temporary directory is made when
// missing; $XDG_RUNTIME_DIR is only used (checked by BaseFolderFor) when it exists.
UniqueFd OpenBaseFolder(const std::string& base, uid_t owner, bool make, std::string& refusal) {
  return OpenPrivateFolder(AT_FDCWD, base, base, owner, make, refusal);
}

}  // namespace

std::string PreviewBaseFolder() { return BaseFolderFor(::geteuid()); }

std::string PreviewFolderPath() { return Joined(PreviewBaseFolder(), kPreviewFolderName); }

PreviewFolderCheck PreparePreviewFolder() {
  const uid_t owner = ::geteuid();
  PreviewFolderCheck check;
  const std::string base = BaseFolderFor(owner);
  check.path = Joined(base, kPreviewFolderName);
  const UniqueFd base_folder = OpenBaseFolder(base, owner, true, check.refusal);
  if (!base_folder) return check;
  OpenPrivateFolder(base_folder.Get(), kPreviewFolderName, check.path, owner, true, check.refusal);
  return check;
}

void ClearPreviewFolder() {
  const uid_t owner = ::geteuid();
  const std::string base = BaseFolderFor(owner);
  std::string refusal;
  const UniqueFd base_folder = OpenBaseFolder(base, owner, false, refusal);
  if (!base_folder) return;
  UniqueFd folder = OpenPrivateFolder(base_folder.Get(), kPreviewFolderName,
                                      Joined(base, kPreviewFolderName), owner, false, refusal);
  if (!folder) return;
  EmptyFolder(folder.Get(), 0);
  // Succeeds only when nothing is left inside.
  ::unlinkat(base_folder.Get(), kPreviewFolderName, AT_REMOVEDIR);
}

}  // namespace vaskel
