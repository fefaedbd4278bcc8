#include "catalogue/folder_tree_removal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/unique_fd.h"

namespace vaskel {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

using Identity = std::pair<dev_t, ino_t>;

bool IdentityOf(int fd, Identity& identity) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return false;
  identity = {status.st_dev, status.st_ino};
  return true;
}

// Unlinks every non-folder in the folder and returns the name of one sub-folder not yet given
// up on; empty when none is left.
std::string EmptyFilesAndFindFolder(int folder_fd, const std::set<Identity>& given_up) {
  const int listing_fd = ::dup(folder_fd);
  if (listing_fd < 0) return {};
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(listing_fd), ::closedir);
  if (!listing) {
    ::close(listing_fd);
    return {};
  }
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat status {};
    if (::fstatat(folder_fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISDIR(status.st_mode)) {
      ::unlinkat(folder_fd, entry->d_name, 0);
    } else if (given_up.count({status.st_dev, status.st_ino}) == 0) {
      return std::string(name);
    }
  }
  return {};
}

// Opens `name` below `parent_fd` as a folder, never through a link.
UniqueFd OpenFolder(int parent_fd, const char* name, Identity& identity) {
  UniqueFd folder(::openat(parent_fd, name, kFolderFlags));
  if (folder && !IdentityOf(folder.Get(), identity)) folder.Reset();
  return folder;
}

}  // namespace

bool RemoveTree(int parent_fd, const char* name) {
  struct stat status {};
  if (::fstatat(parent_fd, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (!S_ISDIR(status.st_mode)) return ::unlinkat(parent_fd, name, 0) == 0 || errno == ENOENT;

  struct Level {
    Identity identity;
    std::string name;  // in the level above
  };
  Identity top{};
  UniqueFd current = OpenFolder(parent_fd, name, top);
  if (!current || top != Identity{status.st_dev, status.st_ino}) return false;
  std::vector<Level> path{{top, name}};  // the levels from the top down to `current`
  std::set<Identity> given_up;           // folders that could not be emptied
  while (true) {
    const std::string inner = EmptyFilesAndFindFolder(current.Get(), given_up);
    if (!inner.empty()) {
      Identity identity{};
      UniqueFd next = OpenFolder(current.Get(), inner.c_str(), identity);
      if (next) {
        path.push_back({identity, inner});
        current = std::move(next);
        continue;
      }
      // Neither openable nor, then, removable: passed over from now on.
      struct stat blocked {};
      if (::fstatat(current.Get(), inner.c_str(), &blocked, AT_SYMLINK_NOFOLLOW) == 0) {
        given_up.insert({blocked.st_dev, blocked.st_ino});
      }
      continue;
    }
    // This level holds no folder any more; it goes, from the level above.
    const Level done = path.back();
    path.pop_back();
    if (path.empty()) {
      current.Reset();
      return ::unlinkat(parent_fd, name, AT_REMOVEDIR) == 0;
    }
    Identity above{};
    UniqueFd up = OpenFolder(current.Get(), "..", above);
    // Moved elsewhere while it was emptied: what is left there stays.
    if (!up || above != path.back().identity) return false;
    if (::unlinkat(up.Get(), done.name.c_str(), AT_REMOVEDIR) != 0) given_up.insert(done.identity);
    current = std::move(up);
  }
}

}  // namespace vaskel
