// A thread that does an unpack's disk work (making folders, creating, writing and closing files)
// in the order it was handed over, so that reading the next streams from the help file, which
// is mostly decoding, overlaps with the file system's work on another core. The work in flight
// is bounded by bytes, so memory stays small whatever the stream sizes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "storage/destination_tree.h"
#include "storage/entry_target.h"

namespace vaskel {

class WriteBehind {
 public:
  explicit WriteBehind(DestinationTree& tree);
  // Completes the work handed over, then stops the thread.
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  void PrepareFolders(std::string destination_folder, std::string internal_path);
  void BeginFile(std::shared_ptr<const EntryTarget> target);
  void Write(std::vector<std::uint8_t> bytes);
  void EndFile();
  // The file begun last is closed and removed.
  void AbandonFile();

  // A buffer of `size` bytes for the next Write, reused from earlier writes when possible.
  std::vector<std::uint8_t> TakeBuffer(std::size_t size);

  // Waits until everything handed over is done; then rethrows the first failure, if any.
  void Settle();
  bool HasFailed() const { return failed_.load(std::memory_order_acquire); }

  std::size_t FilesCompleted() const;
  std::uint64_t BytesCompleted() const;

 private:
  struct Job {
    enum class Kind { kFolders, kBegin, kWrite, kEnd, kAbandon, kStop } kind;
    std::shared_ptr<const EntryTarget> target;  // kBegin
    std::string folder, path;                   // kFolders
    std::vector<std::uint8_t> bytes;            // kWrite
  };

  void Push(Job job);
  void Run();
  void Perform(Job& job);
  void CloseFile(bool keep);
  void Fail(std::exception_ptr failure);

  DestinationTree& tree_;

  mutable std::mutex mutex_;
  std::condition_variable work_ready_;   // the writer waits on it
  std::condition_variable space_ready_;  // the caller waits on it (room in flight, or settled)
  std::deque<Job> queue_;
  std::size_t bytes_in_flight_ = 0;  // queued and being written
  bool writer_idle_ = false;         // waiting for work_ready_
  bool writer_busy_ = false;         // performing a job taken off the queue
  bool caller_waiting_ = false;
  bool urgent_ = false;  // a Settle or the destructor waits: no batching
  std::vector<std::vector<std::uint8_t>> spare_buffers_;
  std::exception_ptr failure_;
  std::atomic<bool> failed_{false};
  std::size_t files_completed_ = 0;
  std::uint64_t bytes_completed_ = 0;

  // The writer thread's own state.
  std::shared_ptr<const EntryTarget> current_target_;
  UniqueFd current_file_;
  std::uint64_t current_bytes_ = 0;

  std::thread writer_;
};

}  // namespace vaskel
