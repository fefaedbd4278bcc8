#include "cli/checksum_pipeline.h"

#include <glib.h>

#include <memory>

namespace vaskel::cli {
namespace {

constexpr std::size_t kBufferCount = 8;
constexpr std::size_t kBufferSize = 256 * 1024;

struct ChecksumDeleter {
  void operator()(GChecksum* checksum) const { g_checksum_free(checksum); }
};

}  // namespace

ChecksumPipeline::ChecksumPipeline(Sink sink) : sink_(std::move(sink)) {
  for (std::size_t i = 0; i < kBufferCount; ++i) {
    buffers_.emplace_back(kBufferSize);
    free_buffers_.push_back(i);
  }
  worker_ = std::thread([this] { Work(); });
}

ChecksumPipeline::~ChecksumPipeline() {
  Task stop;
  stop.stop = true;
  Push(std::move(stop));
  worker_.join();
}

void ChecksumPipeline::BeginStream(std::string path) {
  next_path_ = std::move(path);
  stream_started_ = false;
}

std::span<std::uint8_t> ChecksumPipeline::AcquireBuffer() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !free_buffers_.empty(); });
  acquired_ = free_buffers_.back();
  free_buffers_.pop_back();
  return buffers_[acquired_];
}

void ChecksumPipeline::SubmitBuffer(std::size_t bytes, bool last, bool clean) {
  Task task;
  task.first = !stream_started_;
  if (task.first) task.path = std::move(next_path_);
  stream_started_ = true;
  task.buffer = acquired_;
  task.bytes = bytes;
  task.last = last;
  task.clean = clean;
  Push(std::move(task));
}

void ChecksumPipeline::Push(Task task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  changed_.notify_all();
}

void ChecksumPipeline::Work() {
  std::unique_ptr<GChecksum, ChecksumDeleter> checksum(g_checksum_new(G_CHECKSUM_SHA256));
  std::string path;
  for (;;) {
    Task task;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return !tasks_.empty(); });
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    if (task.stop) return;
    if (task.first) {
      g_checksum_reset(checksum.get());
      path = std::move(task.path);
    }
    g_checksum_update(checksum.get(), buffers_[task.buffer].data(),
                      static_cast<gssize>(task.bytes));
    {
      std::lock_guard lock(mutex_);
      free_buffers_.push_back(task.buffer);
    }
    changed_.notify_all();
    if (task.last && task.clean) sink_(path, g_checksum_get_string(checksum.get()));
  }
}

}  // namespace vaskel::cli
