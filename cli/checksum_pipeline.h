// Hashes streams on a second thread while the caller reads the next bytes: SHA-256 costs more
// than decoding, so overlapping the two nearly halves `vaskel-cli test`. Bytes of many small
// streams share one buffer, so the threads meet once per buffer rather than once per stream.
// Memory is a fixed pool of buffers; results come back in submission order.
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

  // Names the stream whose bytes the following commits carry.
  void BeginStream(std::string path);
  // Room to read into: the rest of the current buffer, at least kMinimumSpace bytes. Blocks
  // while every buffer waits to be hashed.
  std::span<std::uint8_t> Space();
  // Records that the first `bytes` of Space() belong to the current stream. `last` ends the
  // stream; a stream that ended unclean is dropped without a result.
  void Commit(std::size_t bytes, bool last, bool clean);

  static constexpr std::size_t kMinimumSpace = 64 * 1024;

 private:
  struct Segment {
    std::string path;  // set on a stream's first segment
    std::size_t offset = 0;
    std::size_t bytes = 0;
    bool first = false;
    bool last = false;
    bool clean = false;
  };
  struct Batch {
    std::size_t buffer = 0;
    std::vector<Segment> segments;
    bool stop = false;
  };
  void HandOver();
  void Work();

  Sink sink_;
  std::vector<std::vector<std::uint8_t>> buffers_;
  std::vector<std::size_t> free_buffers_;
  Batch filling_;
  bool have_buffer_ = false;
  std::size_t used_ = 0;
  std::string next_path_;
  bool stream_started_ = false;
  std::deque<Batch> batches_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread worker_;
};

}  // namespace vaskel::cli
