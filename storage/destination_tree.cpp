#include "storage/destination_tree.h"

#include <cerrno>
#include <system_error>

#include "platform/text/translation.h"
#include "storage/extraction_error.h"

namespace vaskel {
namespace {

std::string Reason(int error) {
  switch (error) {
    case ELOOP:
      return Tr("a symbolic link is in the way; it is not followed");
    case EXDEV:
      return Tr("the path would lead outside the destination folder");
    default:
      return std::generic_category().message(error);
  }
}

[[noreturn]] void Throw(std::string path, int error) {
  throw ExtractionError(std::move(path), Reason(error), error);
}

}  // namespace

platform::HeldFolder& DestinationTree::DestinationFolder(const EntryTarget& target) {
  if (destination_fd_ && destination_ == target.destination_folder) return destination_fd_;
  Forget();
  if (const int error = destination_fd_.Open(target.destination_folder))
    Throw(target.destination_folder, error);
  destination_ = target.destination_folder;
  return destination_fd_;
}

void DestinationTree::MakeLevels(platform::HeldFolder& folder, const EntryTarget& target) {
  // Levels become known top down, so a known deepest level means every level is known.
  if (target.level_ends.empty() ||
      known_levels_.contains(target.Level(target.level_ends.size() - 1)))
    return;
  for (std::size_t index = 0; index < target.level_ends.size(); ++index) {
    if (known_levels_.contains(target.Level(index))) continue;
    std::string level(target.Level(index));
    if (const int error = folder.MakeLevel(level)) {
      const std::string full = target.full_path.substr(0, target.level_ends[index]);
      if (error == ENOTDIR) {
        throw ExtractionError(full, Tr("a file of that name is in the way of the folder"), ENOTDIR);
      }
      Throw(full, error);
    }
    known_levels_.insert(std::move(level));
  }
}

int DestinationTree::OpenForWriting(platform::HeldFolder& folder, const char* relative) {
  int error = 0;
  const int fd = folder.CreateForWriting(relative, &error);
  if (fd < 0) errno = error;
  return fd;
}

UniqueFd DestinationTree::CreateFile(const EntryTarget& target) {
  const bool relied_on_earlier_calls = static_cast<bool>(destination_fd_);
  MakeLevels(DestinationFolder(target), target);
  UniqueFd fd(OpenForWriting(destination_fd_, target.Relative()));
  if (!fd && errno == ENOENT && relied_on_earlier_calls) {
    // A folder known from earlier calls has gone (or the destination was replaced): check again.
    Forget();
    MakeLevels(DestinationFolder(target), target);
    fd = UniqueFd(OpenForWriting(destination_fd_, target.Relative()));
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
    destination_fd_.RemoveFile(target.Relative());
}

void DestinationTree::Forget() {
  destination_fd_.Reset();
  destination_.clear();
  last_prepared_.clear();
  known_levels_.clear();
}

}  // namespace vaskel
