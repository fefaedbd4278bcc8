// A fixed number of decoded 32 KiB frames, least recently used first out. Buffers are allocated
// on first use and then reused, so memory never exceeds capacity × 32 KiB whatever the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vaskel::itss {

class FrameCache {
 public:
  explicit FrameCache(std::size_t capacity);

  // The frame's bytes if cached (it becomes the most recently used), otherwise null.
  const std::uint8_t* Find(std::uint64_t frame);

  // A frame-sized buffer to decode `frame` into: its existing slot, a new one, or the least
  // recently used one. The frame counts as cached from now on; Erase it if decoding fails.
  std::uint8_t* Insert(std::uint64_t frame);

  void Erase(std::uint64_t frame);

  std::size_t capacity() const { return capacity_; }

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  static constexpr std::uint64_t kNoFrame = UINT64_MAX;

  struct Slot {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint64_t frame = kNoFrame;
    std::uint32_t newer = kNone;
    std::uint32_t older = kNone;
  };

  std::uint32_t Lookup(std::uint64_t frame) const;
  void Unlink(std::uint32_t slot);
  void LinkAsNewest(std::uint32_t slot);

  std::size_t capacity_;
  std::vector<Slot> slots_;
  std::uint32_t newest_ = kNone;
  std::uint32_t oldest_ = kNone;
};

}  // namespace vaskel::itss
