// A thread that does an unpack's disk work (making folders, creating, writing and closing files)
// in the order it was handed over, so that reading the next streams from the help file, which
// is mostly decoding, overlaps with the file system's work on another core. The bytes wait in a
// ring of fixed size, read straight into it and written straight from it: memory stays small
// whatever the stream sizes, and nothing is allocated per file for them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "storage/destination_tree.h"
#include "storage/entry_target.h"
#include "storage/unique_fd.h"

namespace vaskel {

class WriteBehind {
 public:
  // The most one Reserve may ask for.
  static constexpr std::size_t kMaxChunk = 256 << 10;

  explicit WriteBehind(DestinationTree& tree);
  // Completes the work handed over, then stops the thread.
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  void PrepareFolders(std::string destination_folder, std::string internal_path);

  // Room for `size` bytes (at most kMaxChunk), waiting for the writer when the ring is full.
  // Valid until the next Write, which hands over what was put there.
  std::span<std::uint8_t> Reserve(std::size_t size);
  // Writes the first `filled` bytes of the last reservation to a file: a new one when `target`
  // is given (created anew or emptied), else the one begun last; `last` closes it complete.
  void Write(std::shared_ptr<const EntryTarget> target, std::size_t filled, bool last);
  // The file begun last is closed and removed.
  void AbandonFile();

  // Waits until everything handed over is done; then rethrows the first failure, if any.
  void Settle();
  bool HasFailed() const { return failed_.load(std::memory_order_acquire); }

  std::size_t FilesCompleted() const;
  std::uint64_t BytesCompleted() const;

 private:
  struct Job {
    enum class Kind { kFolders, kWrite, kAbandon, kStop };
    Kind kind = Kind::kStop;
    std::string folder{};                         // kFolders
    std::string path{};                           // kFolders
    std::shared_ptr<const EntryTarget> target{};  // kWrite: begins a new file
    std::size_t offset = 0;                       // kWrite: the bytes in the ring
    std::size_t length = 0;
    std::size_t skipped = 0;  // ring bytes left unused before `offset` (the wrap-around)
    bool last = false;        // kWrite: closes the file
  };

  void Push(Job job);
  void WakeWriter();
  void Run();
  void Perform(const Job& job);
  void CloseFile(bool keep);
  void Fail(std::exception_ptr failure);

  DestinationTree& tree_;
  const std::unique_ptr<std::uint8_t[]> ring_;

  mutable std::mutex mutex_;
  std::condition_variable work_ready_;   // the writer waits on it
  std::condition_variable space_ready_;  // the caller waits on it (room, or all done)
  std::deque<Job> queue_;
  // Ring use: bytes from head_ (the oldest still to be written) to tail_ (where the next go).
  std::size_t head_ = 0;
  std::size_t tail_ = 0;
  std::size_t used_ = 0;
  std::size_t reserved_offset_ = 0;  // the last reservation
  std::size_t reserved_skip_ = 0;
  std::size_t queued_bytes_ = 0;  // in queued jobs, not yet taken by the writer
  bool writer_idle_ = false;      // waiting for work_ready_
  bool writer_busy_ = false;      // performing a job taken off the queue
  bool caller_waiting_ = false;
  bool urgent_ = false;  // someone waits for the writer: no batching
  std::exception_ptr failure_;
  std::atomic<bool> failed_{false};
  std::atomic<std::size_t> files_completed_{0};
  std::atomic<std::uint64_t> bytes_completed_{0};

  // The writer thread's own state.
  std::shared_ptr<const EntryTarget> current_target_;
  UniqueFd current_file_;
  std::uint64_t current_bytes_ = 0;

  std::thread writer_;
};

}  // namespace vaskel
