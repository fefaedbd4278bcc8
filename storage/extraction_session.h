// What the ExtractEntry calls of one unpack share: the destination tree (the destination folder
// held open, the folders known to exist below it), the copy buffer, and optionally a writer
// thread. Use one per unpack and drop it after: what it knows of the disk goes stale.
//
// Writing::kInCall does all disk work inside each ExtractEntry call, so each call reports its
// own failure. Writing::kBehind hands the disk work to a thread that follows in order while the
// next streams are read: a failure is then reported by a later ExtractEntry call or by Finish,
// always the first one in order, and no file after it is written.
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

class WriteBehind;

// What one ExtractEntry call did. With Writing::kBehind, "written" means handed to the writer:
// a failure to write it still comes, from a later call or from Finish.
struct ExtractedEntry {
  bool written = false;     // false: the stream could not be opened and was skipped
  std::uint64_t bytes = 0;  // the file's size
};

class ExtractionSession {
 public:
  enum class Writing { kInCall, kBehind };

  explicit ExtractionSession(Writing writing = Writing::kInCall);
  // Completes the files handed over (with kBehind); failures no longer reach anyone.
  ~ExtractionSession();
  ExtractionSession(const ExtractionSession&) = delete;
  ExtractionSession& operator=(const ExtractionSession&) = delete;

  // Makes the folders that a row's Path text names below the destination folder, as extraction
  // would. An unpack that does this for all its rows before extracting any is several times
  // faster on disks where making folders between files is slow. Throws ExtractionError.
  void PrepareFolders(std::string_view destination_folder, std::string_view internal_path);

  // Waits for the files still being written and throws the first failure among them.
  void Finish();
  // Files (and their bytes) closed complete so far.
  std::size_t FilesCompleted() const;
  std::uint64_t BytesCompleted() const;

  // The steps of one ExtractEntry call: BeginFile, then NextBuffer and Commit until the stream
  // ends (`last` closes the file complete), or AbandonFile when the stream turns out damaged.
  void ThrowEarlierFailure();
  void BeginFile(EntryTarget target, std::optional<std::uint64_t> stated_size);
  // Room for at least one read of the stream; valid until Commit.
  std::span<std::uint8_t> NextBuffer();
  void Commit(std::size_t filled, bool last);
  void AbandonFile();
  // The file begun last.
  const EntryTarget& CurrentTarget() const { return *current_target_; }
  // Throws the first failure of an earlier file when there is one, otherwise `error`.
  [[noreturn]] void Raise(const ExtractionError& error);

 private:
  DestinationTree tree_;
  std::unique_ptr<WriteBehind> behind_;
  std::vector<std::uint8_t> copy_buffer_;  // kInCall
  std::shared_ptr<const EntryTarget> current_target_;
  bool handed_over_ = false;  // kBehind: the writer has been told of the current file
  UniqueFd current_file_;     // kInCall
  std::uint64_t current_bytes_ = 0;
  std::optional<std::uint64_t> bytes_left_;  // what the stream says is still to come
  std::size_t files_completed_ = 0;
  std::uint64_t bytes_completed_ = 0;
};

}  // namespace vaskel
