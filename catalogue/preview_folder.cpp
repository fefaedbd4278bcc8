#include "catalogue/preview_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "catalogue/folder_tree_removal.h"
#include "platform/text/translation.h"
#include "storage/unique_fd.h"

namespace vaskel {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr char kRemovedSuffix[] = ".gone-";

struct BaseFolder {
  std::string path;
  bool runtime = false;  // $XDG_RUNTIME_DIR: given to us, so looked at and never changed
};

// Usable as the base: a folder of the user's, not a link, that no one else can write to, or
// only with the sticky bit that keeps them from removing or renaming what is ours.
bool IsOwnRuntimeDirectory(const std::string& path, uid_t owner) {
  struct stat status {};
  return !path.empty() && path.front() == '/' && ::lstat(path.c_str(), &status) == 0 &&
         S_ISDIR(status.st_mode) && status.st_uid == owner &&
         ((status.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (status.st_mode & S_ISVTX) != 0);
}

std::string TemporaryDirectory() {
  std::error_code error;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  if (error || !temporary.is_absolute()) return "/tmp";
  std::string text = temporary.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

BaseFolder BaseFolderFor(uid_t owner) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && IsOwnRuntimeDirectory(runtime, owner)) {
    std::string base = runtime;
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return {base, true};
  }
  return {TemporaryDirectory() + "/vaskel-" + std::to_string(owner), false};
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder == "/" ? folder + name : folder + "/" + name;
}

// Opens `name` below `parent` (a folder descriptor, or AT_FDCWD with an absolute name) as a
// folder private to `owner`, first making it when `make` is set, and making it owner-only when
// `tighten` is. On refusal `refusal` says why.
UniqueFd OpenPrivateFolder(int parent, const std::string& name, const std::string& shown,
                           uid_t owner, bool make, bool tighten, std::string& refusal) {
  if (make) ::mkdirat(parent, name.c_str(), 0700);  // an existing one is checked below
  struct stat named {};
  if (::fstatat(parent, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
    // TRANSLATORS: the folder, then the system's reason.
    refusal = FormatText(Tr("The preview folder %s cannot be made: %s."), shown.c_str(),
                         std::strerror(errno));
    return {};
  }
  if (S_ISLNK(named.st_mode)) {
    refusal = FormatText(Tr("The preview folder %s is a symbolic link, which Vaskel does not "
                            "follow. Remove it and try again."),
                         shown.c_str());
    return {};
  }
  if (!S_ISDIR(named.st_mode)) {
    refusal = FormatText(Tr("The preview folder %s is not a folder. Remove it and try again."),
                         shown.c_str());
    return {};
  }
  if (named.st_uid != owner) {
    refusal = FormatText(Tr("The preview folder %s belongs to another user, so Vaskel does not "
                            "use it. Remove it and try again."),
                         shown.c_str());
    return {};
  }
  UniqueFd folder(::openat(parent, name.c_str(), kFolderFlags));
  struct stat opened {};
  if (!folder || ::fstat(folder.Get(), &opened) != 0 || opened.st_dev != named.st_dev ||
      opened.st_ino != named.st_ino) {
    refusal = FormatText(Tr("The preview folder %s changed while it was checked. Try again."),
                         shown.c_str());
    return {};
  }
  // Ours, but perhaps readable by others: only the owner may look inside.
  if (tighten && (opened.st_mode & 07777) != 0700) ::fchmod(folder.Get(), 0700);
  return folder;
}

UniqueFd OpenBaseFolder(const BaseFolder& base, uid_t owner, bool make, std::string& refusal) {
  return OpenPrivateFolder(AT_FDCWD, base.path, base.path, owner, make && !base.runtime,
                           !base.runtime, refusal);
}

std::string FirstLine(const char* file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// The start time of process `pid` in clock ticks after boot (the 22nd field of its stat, the
// first after the command name 19 on); empty when it does not run.
std::string StartTimeOf(const std::string& pid) {
  const std::string stat = FirstLine(("/proc/" + pid + "/stat").c_str());
  const std::size_t after_name = stat.rfind(')');
  if (after_name == std::string::npos) return {};
  std::size_t at = after_name + 1;
  for (int field = 3; field <= 22; ++field) {
    at = stat.find_first_not_of(' ', at);
    if (at == std::string::npos) return {};
    const std::size_t end = std::min(stat.find(' ', at), stat.size());
    if (field == 22) return stat.substr(at, end - at);
    at = end;
  }
  return {};
}

std::string BootId() {
  std::string boot;
  for (char c : FirstLine("/proc/sys/kernel/random/boot_id")) {
    if (std::isxdigit(static_cast<unsigned char>(c)) && boot.size() < 8) boot += c;
  }
  return boot.size() == 8 ? boot : "00000000";
}

// "<boot>-<pid>-<start>": unique to this process among all that ran since boot and all that
// run on other boots.
const std::string& ProcessFolderName() {
  static const std::string name = [] {
    const std::string pid = std::to_string(::getpid());
    std::string start = StartTimeOf(pid);
    if (start.empty()) start = "0";
    return BootId() + "-" + pid + "-" + start;
  }();
  return name;
}

// Whether the process a folder is named after may still run. A name not of our making says
// nothing, and is never taken for abandoned.
bool OwnerMayRun(std::string_view name) {
  // Without the processes' start times nothing can be told apart.
  static const bool known = !StartTimeOf(std::to_string(::getpid())).empty();
  if (!known) return true;
  if (const std::size_t suffix = name.find('.'); suffix != std::string_view::npos) {
    name = name.substr(0, suffix);
  }
  const std::size_t first = name.find('-');
  const std::size_t second = first == std::string_view::npos ? first : name.find('-', first + 1);
  if (first != 8 || second == std::string_view::npos || second + 1 == name.size()) return true;
  const std::string_view pid = name.substr(first + 1, second - first - 1);
  const std::string_view start = name.substr(second + 1);
  const auto digits = [](std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (!digits(pid) || !digits(start)) return true;
  if (name.substr(0, 8) != std::string_view(ProcessFolderName()).substr(0, 8)) return false;
  return StartTimeOf(std::string(pid)) == start;
}

// Removals run here, off the window's thread; joined before the program ends.
class Remover {
 public:
  ~Remover() { Finish(); }

  void Start(UniqueFd base, UniqueFd preview, std::vector<std::string> names) {
    const std::lock_guard<std::mutex> lock(mutex_);
    threads_.emplace_back(
        [base = std::move(base), preview = std::move(preview), names = std::move(names)] {
          for (const std::string& name : names) RemoveTree(preview.Get(), name.c_str());
          // Succeeds only when no other process's folder is left.
          ::unlinkat(base.Get(), kPreviewFolderName, AT_REMOVEDIR);
        });
  }
  void Finish() {
    std::vector<std::thread> threads;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      threads.swap(threads_);
    }
    for (std::thread& thread : threads) thread.join();
  }

 private:
  std::mutex mutex_;
  std::vector<std::thread> threads_;
};

Remover& TheRemover() {
  static Remover remover;
  return remover;
}

struct OpenedPreview {
  UniqueFd base;
  UniqueFd preview;
};

// The base folder and the PreviewFolder, opened when they exist and are the user's.
OpenedPreview OpenExistingPreview() {
  const uid_t owner = ::geteuid();
  const BaseFolder base = BaseFolderFor(owner);
  std::string refusal;
  OpenedPreview opened;
  opened.base = OpenBaseFolder(base, owner, false, refusal);
  if (!opened.base) return {};
  opened.preview =
      OpenPrivateFolder(opened.base.Get(), kPreviewFolderName,
                        Joined(base.path, kPreviewFolderName), owner, false, true, refusal);
  if (!opened.preview) return {};
  return opened;
}

// Renames `name` inside the folder to a name of this process's that nothing else uses; empty
// when it could not be.
std::string RenamedAside(int preview_fd, const std::string& name) {
  static int counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string aside = ProcessFolderName() + kRemovedSuffix + std::to_string(++counter);
    if (::renameat2(preview_fd, name.c_str(), preview_fd, aside.c_str(), RENAME_NOREPLACE) == 0) {
      return aside;
    }
    if (errno != EEXIST) return {};
  }
  return {};
}

const char* AreaName(PreviewArea area) {
  switch (area) {
    case PreviewArea::kRun:
      return "run";
    case PreviewArea::kPages:
      return "pages";
    case PreviewArea::kDrags:
      return "drags";
  }
  return "run";
}

}  // namespace

std::string PreviewBaseFolder() { return BaseFolderFor(::geteuid()).path; }

std::string PreviewFolderPath() { return Joined(PreviewBaseFolder(), kPreviewFolderName); }

std::string ProcessPreviewFolderPath() { return PreviewFolderPath() + "/" + ProcessFolderName(); }

PreviewFolderCheck PreparePreviewFolder(PreviewArea area) {
  const uid_t owner = ::geteuid();
  PreviewFolderCheck check;
  const BaseFolder base = BaseFolderFor(owner);
  UniqueFd folder = OpenBaseFolder(base, owner, true, check.refusal);
  if (!folder) {
    check.path = base.path;
    return check;
  }
  std::string path = base.path;
  for (const std::string& name :
       {std::string(kPreviewFolderName), ProcessFolderName(), std::string(AreaName(area))}) {
    path = Joined(path, name);
    folder = OpenPrivateFolder(folder.Get(), name, path, owner, true, true, check.refusal);
    if (!folder) {
      check.path = path;
      return check;
    }
  }
  check.path = path;
  return check;
}

void RemoveFromPreviewFolder(PreviewArea area, const std::string& name) {
  const OpenedPreview opened = OpenExistingPreview();
  if (!opened.preview || name.empty() || name.find('/') != std::string::npos) return;
  std::string refusal;
  const uid_t owner = ::geteuid();
  const UniqueFd process = OpenPrivateFolder(opened.preview.Get(), ProcessFolderName(), {}, owner,
                                             false, false, refusal);
  if (!process) return;
  const UniqueFd folder =
      OpenPrivateFolder(process.Get(), AreaName(area), {}, owner, false, false, refusal);
  if (folder) RemoveTree(folder.Get(), name.c_str());
}

void ClearPreviewFolder() {
  const OpenedPreview opened = OpenExistingPreview();
  if (!opened.preview) return;
  RemoveTree(opened.preview.Get(), ProcessFolderName().c_str());
  ::unlinkat(opened.base.Get(), kPreviewFolderName, AT_REMOVEDIR);
}

void StartPreviewFolderRemoval() {
  OpenedPreview opened = OpenExistingPreview();
  if (!opened.preview) return;
  const std::string aside = RenamedAside(opened.preview.Get(), ProcessFolderName());
  if (aside.empty()) {
    // Nothing to remove, or it cannot move: removed in place, as the window closes.
    RemoveTree(opened.preview.Get(), ProcessFolderName().c_str());
    ::unlinkat(opened.base.Get(), kPreviewFolderName, AT_REMOVEDIR);
    return;
  }
  TheRemover().Start(std::move(opened.base), std::move(opened.preview), {aside});
}

void SweepAbandonedPreviewFolders() {
  OpenedPreview opened = OpenExistingPreview();
  if (!opened.preview) return;
  std::vector<std::string> abandoned;
  {
    const int listing_fd = ::dup(opened.preview.Get());
    if (listing_fd < 0) return;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(listing_fd), ::closedir);
    if (!listing) {
      ::close(listing_fd);
      return;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
      const std::string_view name = entry->d_name;
      if (name == "." || name == ".." || OwnerMayRun(name)) continue;
      abandoned.emplace_back(name);
    }
  }
  std::vector<std::string> aside;
  // Renamed first, so that two programs starting at once never remove the same folder.
  for (const std::string& name : abandoned) {
    std::string moved = RenamedAside(opened.preview.Get(), name);
    if (!moved.empty()) aside.push_back(std::move(moved));
  }
  if (aside.empty()) return;
  TheRemover().Start(std::move(opened.base), std::move(opened.preview), std::move(aside));
}

void FinishPreviewFolderRemoval() { TheRemover().Finish(); }

}  // namespace vaskel
