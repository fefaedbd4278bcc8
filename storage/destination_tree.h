// The disk side of an unpack: the destination folder held open and the folders below it already
// made or checked, so that each folder level costs its system calls once per unpack instead of
// once per file, and a file costs only its create, writes and close.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/fs/held_folder.h"
#include "storage/entry_target.h"
#include "storage/unique_fd.h"

namespace vaskel {

class DestinationTree {
 public:
  DestinationTree() = default;
  DestinationTree(const DestinationTree&) = delete;
  DestinationTree& operator=(const DestinationTree&) = delete;

  // Makes the target's missing folder levels top down (existing ones are passed over, once they
  // are seen to be real folders and not symbolic links), then creates the file anew, or empties
  // it, for writing. Nothing is created outside the destination folder and no symbolic link is
  // followed below it. Throws ExtractionError naming the path at fault and the reason.
  UniqueFd CreateFile(const EntryTarget& target);

  // Makes the folders that a row's Path text names below the destination folder, as CreateFile
  // would. An unpack that calls this for all its rows before extracting any is several times
  // faster on disks where creating folders between files is slow. Throws ExtractionError.
  void PrepareFolders(std::string_view destination_folder, std::string_view internal_path);

  // Removes a partly written file made by CreateFile; a failure to remove it is not reported.
  void RemoveFile(const EntryTarget& target) noexcept;

  // Drops what the session knows of the disk; the next call checks everything afresh.
  void Forget();

 private:
  platform::HeldFolder& DestinationFolder(const EntryTarget& target);
  void MakeLevels(platform::HeldFolder& folder, const EntryTarget& target);
  int OpenForWriting(platform::HeldFolder& folder, const char* relative);

  std::string destination_;
  std::string last_prepared_;  // folder and Path last prepared: rows of one folder come together
  platform::HeldFolder destination_fd_;
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  std::unordered_set<std::string, TextHash, std::equal_to<>> known_levels_;
};

}  // namespace vaskel
