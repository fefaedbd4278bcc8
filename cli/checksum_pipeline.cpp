#include "cli/checksum_pipeline.h"

#include "platform/hash/sha256.h"

namespace vaskel::cli {
namespace {

constexpr std::size_t kBufferCount = 6;
constexpr std::size_t kBufferSize = 512 * 1024;

}  // namespace

ChecksumPipeline::ChecksumPipeline(Sink sink) : sink_(std::move(sink)) {
  for (std::size_t i = 0; i < kBufferCount; ++i) {
    buffers_.emplace_back(kBufferSize);
    free_buffers_.push_back(i);
  }
  worker_ = std::thread([this] { Work(); });
}

ChecksumPipeline::~ChecksumPipeline() {
  if (have_buffer_) HandOver();
  {
    std::lock_guard lock(mutex_);
    Batch stop;
    stop.stop = true;
    batches_.push_back(std::move(stop));
  }
  changed_.notify_all();
  worker_.join();
}

void ChecksumPipeline::BeginStream(std::string path) {
  next_path_ = std::move(path);
  stream_started_ = false;
}

std::span<std::uint8_t> ChecksumPipeline::Space() {
  if (have_buffer_ && kBufferSize - used_ < kMinimumSpace) HandOver();
  if (!have_buffer_) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !free_buffers_.empty(); });
    filling_.buffer = free_buffers_.back();
    free_buffers_.pop_back();
    have_buffer_ = true;
    used_ = 0;
  }
  return std::span(buffers_[filling_.buffer]).subspan(used_);
}

void ChecksumPipeline::Commit(std::size_t bytes, bool last, bool clean) {
  Segment segment;
  segment.first = !stream_started_;
  if (segment.first) segment.path = std::move(next_path_);
  stream_started_ = true;
  segment.offset = used_;
  segment.bytes = bytes;
  segment.last = last;
  segment.clean = clean;
  filling_.segments.push_back(std::move(segment));
  used_ += bytes;
}

void ChecksumPipeline::HandOver() {
  {
    std::lock_guard lock(mutex_);
    batches_.push_back(std::move(filling_));
  }
  changed_.notify_all();
  filling_ = Batch();
  have_buffer_ = false;
}

void ChecksumPipeline::Work() {
  platform::Sha256 checksum;
  std::string path;
  for (;;) {
    Batch batch;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return !batches_.empty(); });
      batch = std::move(batches_.front());
      batches_.pop_front();
    }
    if (batch.stop) return;
    const std::uint8_t* bytes = buffers_[batch.buffer].data();
    for (Segment& segment : batch.segments) {
      if (segment.first) {
        checksum.Reset();
        path = std::move(segment.path);
      }
      checksum.Update(bytes + segment.offset, segment.bytes);
      if (segment.last && segment.clean) sink_(path, checksum.HexDigest());
    }
    {
      std::lock_guard lock(mutex_);
      free_buffers_.push_back(batch.buffer);
    }
    changed_.notify_all();
  }
}

}  // namespace vaskel::cli
