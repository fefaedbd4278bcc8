// Decoder for the LZX bitstream as compiled help files use it: output cut into 32 KiB frames,
// the input realigned to 16 bits at every frame end, and periodic resets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace vaskel::itss {

inline constexpr std::size_t kLzxFrameSize = 32768;

class LzxDecoder {
 public:
  // window_bits must be 15..21; returns null otherwise. Memory: the window plus fixed tables.
  static std::unique_ptr<LzxDecoder> Create(int window_bits);
  virtual ~LzxDecoder() = default;

  // Starts a reset interval: empty window, R0 = R1 = R2 = 1, all tree lengths zero, and the
  // translation header expected before the next block.
  virtual void Reset() = 0;

  // Decodes the next frame. `in` holds exactly this frame's compressed bytes (from its reset-table
  // entry to the next one, or to the end of the compressed data for the last frame); `out`
  // receives out.size() bytes, which is kLzxFrameSize except for the final frame of the data.
  // Returns false when the data is damaged (never reading outside `in` or writing outside `out`);
  // after a failure only Reset makes the decoder usable again.
  // A frame shorter than kLzxFrameSize is taken as the final one: its zero padding, if the input
  // holds it, is decoded but not returned, and the decoder needs a Reset before the next frame.
  virtual bool DecodeFrame(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) = 0;

  // Why the last DecodeFrame failed ("bad LZX block type 0").
  virtual std::string_view failure() const = 0;
};

}  // namespace vaskel::itss
