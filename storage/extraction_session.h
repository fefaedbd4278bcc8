// What the ExtractEntry calls of one unpack share: the destination tree (the destination folder
// held open, the folders known to exist below it) and the copy buffer. Each call does its disk
// work itself and reports its own failure. Use one per unpack and drop it after: what it knows
// of the disk goes stale.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "storage/destination_tree.h"
#include "storage/entry_target.h"
#include "storage/extraction_error.h"
#include "storage/unique_fd.h"

namespace vaskel {

// What one ExtractEntry call did.
struct ExtractedEntry {
  bool written = false;     // false: the stream could not be opened and was skipped
  std::uint64_t bytes = 0;  // the file's size
};

class ExtractionSession {
 public:
  ExtractionSession();
  ~ExtractionSession();
  ExtractionSession(const ExtractionSession&) = delete;
  ExtractionSession& operator=(const ExtractionSession&) = delete;

  // Makes the folders that a row's Path text names below the destination folder, as extraction
  // would. An unpack that does this for all its rows before extracting any is several times
  // faster on disks where making folders between files is slow. Throws ExtractionError.
  void PrepareFolders(std::string_view destination_folder, std::string_view internal_path);

  // The steps of one ExtractEntry call: BeginFile, then NextBuffer and Commit until the stream
  // ends (`last` closes the file complete), or AbandonFile when the stream turns out damaged.
  void BeginFile(EntryTarget target, std::optional<std::uint64_t> stated_size);
  // Room for at least one read of the stream; valid until Commit.
  std::span<std::uint8_t> NextBuffer();
  void Commit(std::size_t filled, bool last);
  void AbandonFile();
  // The file begun last.
  const EntryTarget& CurrentTarget() const { return *current_target_; }
  [[noreturn]] void Raise(const ExtractionError& error);

 private:
  DestinationTree tree_;
  std::vector<std::uint8_t> copy_buffer_;
  std::shared_ptr<const EntryTarget> current_target_;
  UniqueFd current_file_;
};

}  // namespace vaskel
