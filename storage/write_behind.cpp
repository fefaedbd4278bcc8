#include "storage/write_behind.h"

#include <system_error>

#include "storage/extraction_error.h"
#include "storage/stream_copy.h"

namespace vaskel {
namespace {

constexpr std::size_t kRingSize = 4 << 20;
// At most this many jobs wait, so that many empty files are bounded too.
constexpr std::size_t kMaxQueuedJobs = 4096;
// An idle writer is woken once this much work is queued, not for every job: each wake-up is a
// system call on both sides.
constexpr std::size_t kWakeBytes = 1 << 20;
constexpr std::size_t kWakeJobs = 256;
// While working through a batch, the writer gives ring space back in steps of this size.
constexpr std::size_t kGiveBackBytes = 512 << 10;

}  // namespace

WriteBehind::WriteBehind(DestinationTree& tree)
    : tree_(tree),
      ring_(std::make_unique_for_overwrite<std::uint8_t[]>(kRingSize)),
      writer_([this] { Run(); }) {}

WriteBehind::~WriteBehind() {
  {
    std::lock_guard lock(mutex_);
    urgent_ = true;
  }
  Push(Job{.kind = Job::Kind::kStop});
  writer_.join();
}

void WriteBehind::PrepareFolders(std::string destination_folder, std::string internal_path) {
  Push(Job{.kind = Job::Kind::kFolders,
           .folder = std::move(destination_folder),
           .path = std::move(internal_path)});
}

std::span<std::uint8_t> WriteBehind::Reserve(std::size_t size) {
  if (size > kMaxChunk) size = kMaxChunk;
  std::unique_lock lock(mutex_);
  for (;;) {
    if (used_ == 0) head_ = tail_ = 0;  // empty: start over at the front
    // Wrapped: the waiting bytes run from head_ to the end and on from the front to tail_;
    // tail_ == head_ then means full, not empty.
    const bool wrapped = used_ > 0 && tail_ <= head_;
    if (wrapped) {
      if (head_ - tail_ >= size) {
        reserved_offset_ = tail_;
        reserved_skip_ = 0;
        break;
      }
    } else if (kRingSize - tail_ >= size) {  // room at the end
      reserved_offset_ = tail_;
      reserved_skip_ = 0;
      break;
    } else if (head_ >= size) {  // room at the front; the end's remainder is skipped
      reserved_offset_ = 0;
      reserved_skip_ = kRingSize - tail_;
      break;
    }
    WakeWriter();
    caller_waiting_ = true;
    space_ready_.wait(lock);
    caller_waiting_ = false;
  }
  return std::span(ring_.get() + reserved_offset_, size);
}

void WriteBehind::Write(std::shared_ptr<const EntryTarget> target, std::size_t filled, bool last) {
  Job job{.kind = Job::Kind::kWrite, .target = std::move(target), .last = last};
  if (filled > 0) {
    job.offset = reserved_offset_;
    job.length = filled;
    job.skipped = reserved_skip_;
  }
  Push(std::move(job));
}

void WriteBehind::AbandonFile() { Push(Job{.kind = Job::Kind::kAbandon}); }

void WriteBehind::Push(Job job) {
  std::unique_lock lock(mutex_);
  if (failed_.load(std::memory_order_relaxed) && job.kind != Job::Kind::kStop) return;
  while (queue_.size() >= kMaxQueuedJobs) {
    WakeWriter();
    caller_waiting_ = true;
    space_ready_.wait(lock);
    caller_waiting_ = false;
  }
  if (job.length > 0) {
    used_ += job.skipped + job.length;
    tail_ = job.offset + job.length;
    queued_bytes_ += job.length;
  }
  const bool stop = job.kind == Job::Kind::kStop;
  queue_.push_back(std::move(job));
  if (urgent_ || stop || queue_.size() >= kWakeJobs || queued_bytes_ >= kWakeBytes) WakeWriter();
}

void WriteBehind::WakeWriter() {
  if (writer_idle_) {
    writer_idle_ = false;
    work_ready_.notify_one();
  }
}

void WriteBehind::Settle() {
  std::unique_lock lock(mutex_);
  urgent_ = true;
  if (!queue_.empty()) WakeWriter();
  caller_waiting_ = true;
  space_ready_.wait(lock, [this] { return queue_.empty() && !writer_busy_; });
  caller_waiting_ = false;
  urgent_ = false;
  if (failure_) std::rethrow_exception(failure_);
}

std::size_t WriteBehind::FilesCompleted() const {
  return files_completed_.load(std::memory_order_relaxed);
}

std::uint64_t WriteBehind::BytesCompleted() const {
  return bytes_completed_.load(std::memory_order_relaxed);
}

void WriteBehind::Run() {
  std::deque<Job> batch;
  std::unique_lock lock(mutex_);
  for (;;) {
    if (queue_.empty()) {
      if (caller_waiting_) space_ready_.notify_one();
      writer_idle_ = true;
      work_ready_.wait(lock, [this] { return !writer_idle_; });
      continue;
    }
    // Everything queued is taken at once: one lock per batch, not per job.
    batch.swap(queue_);
    queued_bytes_ = 0;
    writer_busy_ = true;
    lock.unlock();

    bool stop = false;
    std::size_t done_bytes = 0;  // ring bytes written since space was last given back
    std::size_t new_head = 0;
    auto give_back_space = [&] {
      std::lock_guard relock(mutex_);
      head_ = new_head;
      used_ -= done_bytes;
      done_bytes = 0;
      if (caller_waiting_ && used_ <= kRingSize / 2) space_ready_.notify_one();
    };
    for (const Job& job : batch) {
      if (job.kind == Job::Kind::kStop) {
        stop = true;
      } else if (!failed_.load(std::memory_order_relaxed)) {
        try {
          Perform(job);
        } catch (...) {  // whatever it is, the caller hears of it; the thread carries on
          Fail(std::current_exception());
        }
      }
      if (job.length > 0) {
        new_head = job.offset + job.length;
        done_bytes += job.skipped + job.length;
        if (done_bytes >= kGiveBackBytes) give_back_space();
      }
    }
    if (done_bytes > 0) give_back_space();
    batch.clear();

    lock.lock();
    writer_busy_ = false;
    if (caller_waiting_) space_ready_.notify_one();
    if (stop) return;
  }
}

void WriteBehind::Perform(const Job& job) {
  switch (job.kind) {
    case Job::Kind::kFolders:
      tree_.PrepareFolders(job.folder, job.path);
      break;
    case Job::Kind::kWrite:
      if (job.target) {
        current_target_ = job.target;
        current_bytes_ = 0;
        current_file_ = tree_.CreateFile(*current_target_);
      }
      if (!current_file_) break;
      if (const int error =
              WriteAll(current_file_.Get(), std::span(ring_.get() + job.offset, job.length))) {
        throw ExtractionError(current_target_->full_path, std::generic_category().message(error),
                              error);
      }
      current_bytes_ += job.length;
      if (job.last) CloseFile(true);
      break;
    case Job::Kind::kAbandon:
      CloseFile(false);
      break;
    case Job::Kind::kStop:
      break;
  }
}

void WriteBehind::CloseFile(bool keep) {
  if (!current_file_) return;
  const int error = current_file_.Close() == 0 ? 0 : errno;
  if (!keep || error != 0) tree_.RemoveFile(*current_target_);
  if (keep && error != 0) {
    throw ExtractionError(current_target_->full_path, std::generic_category().message(error),
                          error);
  }
  if (keep) {
    files_completed_.fetch_add(1, std::memory_order_relaxed);
    bytes_completed_.fetch_add(current_bytes_, std::memory_order_relaxed);
  }
}

void WriteBehind::Fail(std::exception_ptr failure) {
  if (current_file_) {
    current_file_.Reset();
    tree_.RemoveFile(*current_target_);
  }
  std::lock_guard lock(mutex_);
  if (!failure_) failure_ = std::move(failure);
  failed_.store(true, std::memory_order_release);
}

}  // namespace vaskel
