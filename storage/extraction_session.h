// What the ExtractEntry calls of one unpack share: the destination folder held open, the folders
// below it already made or checked, and the copy buffer. With it each folder level costs its
// system calls once per unpack instead of once per file, and a file costs only its create,
// writes and close.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

#include "storage/entry_target.h"
#include "storage/unique_fd.h"

namespace vaskel {

// What one ExtractEntry call did.
struct ExtractedEntry {
  bool written = false;     // false: the stream could not be opened and was skipped
  std::uint64_t bytes = 0;  // the file's size
};

class ExtractionSession {
 public:
  ExtractionSession() = default;
  ExtractionSession(const ExtractionSession&) = delete;
  ExtractionSession& operator=(const ExtractionSession&) = delete;

  // Makes the target's missing folder levels top down (existing ones are passed over, once they
  // are seen to be real folders and not symbolic links), then creates the file anew, or empties
  // it, for writing. Nothing is created outside the destination folder and no symbolic link is
  // followed below it. Throws ExtractionError naming the path at fault and the reason.
  UniqueFd CreateFile(const EntryTarget& target);

  // Removes a partly written file made by CreateFile; a failure to remove it is not reported.
  void RemoveFile(const EntryTarget& target) noexcept;

  // A buffer of a fixed size, kept for the whole unpack.
  std::span<std::uint8_t> CopyBuffer();

  // Drops what the session knows of the disk; the next call checks everything afresh.
  void Forget();

 private:
  int DestinationFolder(const EntryTarget& target);
  void MakeLevels(int folder, const EntryTarget& target);
  int OpenForWriting(int folder, const char* relative);

  std::string destination_;
  UniqueFd destination_fd_;
  std::unordered_set<std::string> known_levels_;
  std::vector<std::uint8_t> copy_buffer_;
  bool resolve_beneath_works_ = true;
};

}  // namespace vaskel
