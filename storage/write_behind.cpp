#include "storage/write_behind.h"

#include <system_error>

#include "storage/extraction_error.h"
#include "storage/stream_copy.h"

namespace vaskel {
namespace {

// At most this much is queued or being written; the caller waits beyond it.
constexpr std::size_t kMaxBytesInFlight = 4 << 20;
// A waiting caller resumes once the writer has brought the amount down to this.
constexpr std::size_t kResumeBytes = 2 << 20;
// An idle writer is woken once this much work is queued, not for every job: each wake-up is a
// system call on both sides.
constexpr std::size_t kWakeBytes = 512 << 10;
constexpr std::size_t kWakeJobs = 64;
// What a job costs besides its bytes, so that many empty files are bounded too.
constexpr std::size_t kJobOverhead = 256;
constexpr std::size_t kMaxSpareBuffers = 16;

}  // namespace

WriteBehind::WriteBehind(DestinationTree& tree) : tree_(tree), writer_([this] { Run(); }) {}

WriteBehind::~WriteBehind() {
  {
    std::lock_guard lock(mutex_);
    urgent_ = true;
  }
  Push(Job{Job::Kind::kStop, {}, {}, {}, {}});
  writer_.join();
}

void WriteBehind::PrepareFolders(std::string destination_folder, std::string internal_path) {
  Push(Job{Job::Kind::kFolders, {}, std::move(destination_folder), std::move(internal_path), {}});
}

void WriteBehind::BeginFile(std::shared_ptr<const EntryTarget> target) {
  Push(Job{Job::Kind::kBegin, std::move(target), {}, {}, {}});
}

void WriteBehind::Write(std::vector<std::uint8_t> bytes) {
  Push(Job{Job::Kind::kWrite, {}, {}, {}, std::move(bytes)});
}

void WriteBehind::EndFile() { Push(Job{Job::Kind::kEnd, {}, {}, {}, {}}); }

void WriteBehind::AbandonFile() { Push(Job{Job::Kind::kAbandon, {}, {}, {}, {}}); }

std::vector<std::uint8_t> WriteBehind::TakeBuffer(std::size_t size) {
  std::vector<std::uint8_t> buffer;
  {
    std::lock_guard lock(mutex_);
    if (!spare_buffers_.empty()) {
      buffer = std::move(spare_buffers_.back());
      spare_buffers_.pop_back();
    }
  }
  buffer.resize(size);
  return buffer;
}

void WriteBehind::Push(Job job) {
  const std::size_t cost = job.bytes.size() + kJobOverhead;
  std::unique_lock lock(mutex_);
  if (failed_.load(std::memory_order_relaxed) && job.kind != Job::Kind::kStop) return;
  while (bytes_in_flight_ > 0 && bytes_in_flight_ + cost > kMaxBytesInFlight) {
    if (writer_idle_) {
      writer_idle_ = false;
      work_ready_.notify_one();
    }
    caller_waiting_ = true;
    space_ready_.wait(lock);
    caller_waiting_ = false;
  }
  bytes_in_flight_ += cost;
  const bool stop = job.kind == Job::Kind::kStop;
  queue_.push_back(std::move(job));
  if (writer_idle_ &&
      (urgent_ || stop || queue_.size() >= kWakeJobs || bytes_in_flight_ >= kWakeBytes)) {
    writer_idle_ = false;
    work_ready_.notify_one();
  }
}

void WriteBehind::Settle() {
  std::unique_lock lock(mutex_);
  urgent_ = true;
  if (writer_idle_ && !queue_.empty()) {
    writer_idle_ = false;
    work_ready_.notify_one();
  }
  caller_waiting_ = true;
  space_ready_.wait(lock, [this] { return queue_.empty() && !writer_busy_; });
  caller_waiting_ = false;
  urgent_ = false;
  if (failure_) std::rethrow_exception(failure_);
}

std::size_t WriteBehind::FilesCompleted() const {
  std::lock_guard lock(mutex_);
  return files_completed_;
}

std::uint64_t WriteBehind::BytesCompleted() const {
  std::lock_guard lock(mutex_);
  return bytes_completed_;
}

void WriteBehind::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (queue_.empty()) {
      if (caller_waiting_) space_ready_.notify_one();
      writer_idle_ = true;
      work_ready_.wait(lock, [this] { return !writer_idle_; });
      continue;
    }
    Job job = std::move(queue_.front());
    queue_.pop_front();
    writer_busy_ = true;
    const bool skip = failed_.load(std::memory_order_relaxed);
    lock.unlock();
    if (job.kind != Job::Kind::kStop && !skip) {
      try {
        Perform(job);
      } catch (const ExtractionError&) {
        Fail(std::current_exception());
      }
    }
    lock.lock();
    writer_busy_ = false;
    bytes_in_flight_ -= job.bytes.size() + kJobOverhead;
    if (job.bytes.capacity() > 0 && spare_buffers_.size() < kMaxSpareBuffers)
      spare_buffers_.push_back(std::move(job.bytes));
    if (caller_waiting_ && (bytes_in_flight_ <= kResumeBytes || queue_.empty()))
      space_ready_.notify_one();
    if (job.kind == Job::Kind::kStop) return;
  }
}

void WriteBehind::Perform(Job& job) {
  switch (job.kind) {
    case Job::Kind::kFolders:
      tree_.PrepareFolders(job.folder, job.path);
      break;
    case Job::Kind::kBegin:
      current_target_ = std::move(job.target);
      current_bytes_ = 0;
      current_file_ = tree_.CreateFile(*current_target_);
      break;
    case Job::Kind::kWrite:
      if (!current_file_) break;
      if (const int error = WriteAll(current_file_.Get(), job.bytes)) {
        throw ExtractionError(current_target_->full_path, std::generic_category().message(error),
                              error);
      }
      current_bytes_ += job.bytes.size();
      break;
    case Job::Kind::kEnd:
      CloseFile(true);
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
    std::lock_guard lock(mutex_);
    ++files_completed_;
    bytes_completed_ += current_bytes_;
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
