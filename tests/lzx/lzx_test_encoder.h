// A small LZX writer for tests: stored, verbatim and aligned blocks laid out in 32 KiB frames
// the way help-file compressors write them, plus a greedy match finder and test data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/itss/lzx_decoder.h"
#include "tools/chmwriter/lzx_bit_writer.h"

namespace vaskel::itss::testing {

struct LzxToken {
  std::uint8_t literal = 0;
  std::uint32_t length = 0;  // 0 for a literal
  std::uint32_t offset = 0;  // match distance
};

enum class LzxBlockKind { kVerbatim = 1, kAligned = 2 };

// Records where every frame's bits begin, like a reset table.
class LzxTestEncoder {
 public:
  explicit LzxTestEncoder(int window_bits);

  // Starts a reset interval; must be at a frame boundary.
  void BeginInterval(std::uint32_t translation_size = 0);
  // `pad_in_next_frame` puts the pad byte of an odd block that ends a frame after that frame's
  // recorded end.
  void StoredBlock(std::span<const std::uint8_t> data, std::array<std::uint32_t, 3> r = {1, 1, 1},
                   bool pad_in_next_frame = false);
  // `skew` shapes the code lengths: larger values give longer codes (up to 16 bits).
  void CompressedBlock(LzxBlockKind kind, std::span<const LzxToken> tokens, unsigned skew = 6);
  // The pieces of a block, for building damaged streams.
  void BlockHeader(unsigned type, std::uint32_t size);
  void WriteLengths(std::span<const std::uint8_t> lengths, std::span<std::uint8_t> previous);

  chmwriter::LzxBitWriter& writer() { return out_; }
  std::vector<std::uint8_t> Finish();
  const std::vector<std::size_t>& frame_offsets() const { return frame_offsets_; }
  std::uint64_t output_size() const { return output_; }

 private:
  void AdvanceOutput(std::uint64_t bytes);
  void PutRawBytes(std::span<const std::uint8_t> bytes);
  void PutRawByte(std::uint8_t byte) { PutRawBytes({&byte, 1}); }

  unsigned main_symbols_;
  std::vector<std::uint8_t> bytes_;
  chmwriter::LzxBitWriter out_{bytes_};
  std::vector<std::size_t> frame_offsets_{0};
  std::uint64_t output_ = 0;
  bool header_due_ = true;
  std::uint32_t translation_size_ = 0;
  std::array<std::uint32_t, 3> r_{1, 1, 1};
  std::array<std::uint8_t, 656> main_previous_{};
  std::array<std::uint8_t, 249> length_previous_{};
};

// Greedy matches for data[begin, end), which may refer back to data[0] (the interval start) but
// never across a 32 KiB frame boundary (counted from data[0]).
std::vector<LzxToken> FindMatches(std::span<const std::uint8_t> data, std::size_t begin,
                                  std::size_t end, std::size_t window_size);

// Text-like data with repeats, long runs and some noise.
std::vector<std::uint8_t> MakeTestData(std::size_t size, std::uint32_t seed);

// Decodes a stream of `total` bytes, resetting every `frames_per_interval` frames. Returns false
// on the first frame that fails.
bool DecodeStream(LzxDecoder& decoder, std::span<const std::uint8_t> stream,
                  const std::vector<std::size_t>& frame_offsets, std::uint64_t total,
                  std::size_t frames_per_interval, std::vector<std::uint8_t>* out);

}  // namespace vaskel::itss::testing
