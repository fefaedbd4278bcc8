// Hashes streams on a second thread while the caller reads the next bytes: SHA-256 costs more
// than decoding, so overlapping the two nearly halves `vaskel-cli test`. Memory is a fixed pool
// of buffers; results come back in submission order.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace vaskel::cli {

class ChecksumPipeline {
 public:
  // Called on the hashing thread for each stream that ended cleanly, in order.
  using Sink = std::function<void(const std::string& path, const std::string& sha256_hex)>;

  explicit ChecksumPipeline(Sink sink);
  ~ChecksumPipeline();  // finishes every submitted stream
  ChecksumPipeline(const ChecksumPipeline&) = delete;
  ChecksumPipeline& operator=(const ChecksumPipeline&) = delete;

  // Names the stream whose bytes the following buffers carry.
  void BeginStream(std::string path);
  // A free buffer to fill; blocks while every buffer is queued.
  std::span<std::uint8_t> AcquireBuffer();
  // Queues the first `bytes` of the buffer last acquired. `last` ends the stream; a stream that
  // ended unclean is dropped without a result. A whole small stream thus costs one hand-over.
  void SubmitBuffer(std::size_t bytes, bool last, bool clean);

 private:
  struct Task {
    std::string path;  // set on a stream's first buffer
    std::size_t buffer = 0;
    std::size_t bytes = 0;
    bool first = false;
    bool last = false;
    bool clean = false;
    bool stop = false;
  };
  void Push(Task task);
  void Work();

  Sink sink_;
  std::vector<std::vector<std::uint8_t>> buffers_;
  std::vector<std::size_t> free_buffers_;
  std::size_t acquired_ = 0;
  std::string next_path_;
  bool stream_started_ = false;
  std::deque<Task> tasks_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread worker_;
};

}  // namespace vaskel::cli
