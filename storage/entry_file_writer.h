// The one way stored files reach the disk: every writer of entries (an unpack's job, Run, the
// page preview, the command line) writes its files through this, so that they all keep the same
// rules. A file is created below its destination folder and nowhere else, through no symbolic
// link (DestinationTree); a file that cannot be written to the end, because the disk refused
// a write or the close, or because the entry's data turned out damaged, is removed, as is a
// file still in hand when the writer is dropped; each failure names the file and the cause.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "storage/destination_tree.h"
#include "storage/entry_target.h"
#include "storage/extraction_error.h"
#include "storage/unique_fd.h"

namespace vaskel {

class EntryFileWriter {
 public:
  EntryFileWriter() = default;
  ~EntryFileWriter();
  EntryFileWriter(const EntryFileWriter&) = delete;
  EntryFileWriter& operator=(const EntryFileWriter&) = delete;

  // Makes the folders a row's Path text names below the destination folder, as Begin would.
  // Throws ExtractionError.
  void PrepareFolders(std::string_view destination_folder, std::string_view internal_path);

  // Creates the target's file anew, or empties it, its missing folders made first. A file still
  // in hand from before is removed. Throws ExtractionError naming the path at fault.
  void Begin(EntryTarget target);
  // Throws ExtractionError naming the file and the system's reason, the file removed.
  void Write(std::span<const std::uint8_t> bytes);
  // Closes the file complete and returns its size; a close that reports a late write error
  // throws as Write does.
  std::uint64_t Finish();
  // The entry's data turned out damaged: the file is removed, and the failure to report comes
  // back, naming the file, `entry` (its internal path and name) and `reason`.
  ExtractionError Abandon(const std::string& reason, const std::string& entry);

 private:
  [[noreturn]] void FailWriting(int error);
  void RemoveInHand() noexcept;

  DestinationTree tree_;
  std::optional<EntryTarget> target_;  // the file in hand
  UniqueFd file_;
  std::uint64_t bytes_ = 0;
};

}  // namespace vaskel
