#include "tools/chmwriter/stored_lzx_stream.h"

#include <algorithm>
#include <stdexcept>

#include "tools/chmwriter/byte_writer.h"
#include "tools/chmwriter/lzx_bit_writer.h"

namespace vaskel::chmwriter {
namespace {

constexpr std::uint32_t kUncompressedBlockType = 3;
// Block header (4 bytes once padded) plus the three repeated-offset registers.
constexpr std::uint64_t kFrameOverhead = 4 + 12;

// Hands out the concatenated pieces in order, zero-filling once they run out.
class PieceReader {
 public:
  explicit PieceReader(std::span<const std::span<const std::uint8_t>> pieces) : pieces_(pieces) {}

  void CopyTo(ByteWriter& writer, std::uint64_t count) {
    while (count > 0 && piece_ < pieces_.size()) {
      const auto piece = pieces_[piece_];
      const std::uint64_t take = std::min<std::uint64_t>(count, piece.size() - offset_);
      writer.Bytes(piece.subspan(offset_, take));
      offset_ += take;
      count -= take;
      if (offset_ == piece.size()) {
        ++piece_;
        offset_ = 0;
      }
    }
    writer.Zeros(count);
  }

 private:
  std::span<const std::span<const std::uint8_t>> pieces_;
  std::size_t piece_ = 0;
  std::size_t offset_ = 0;
};

}  // namespace

std::uint64_t StoredLzxFrameCount(std::uint64_t uncompressed_length) {
  return uncompressed_length / kLzxFrameSize + (uncompressed_length % kLzxFrameSize != 0);
}

std::uint64_t StoredLzxLength(std::uint64_t uncompressed_length) {
  return StoredLzxFrameCount(uncompressed_length) * (kFrameOverhead + kLzxFrameSize);
}

std::vector<std::uint64_t> StoredLzxFrameOffsets(std::uint64_t uncompressed_length) {
  std::vector<std::uint64_t> offsets(StoredLzxFrameCount(uncompressed_length));
  for (std::size_t frame = 0; frame < offsets.size(); ++frame) {
    offsets[frame] = frame * (kFrameOverhead + kLzxFrameSize);
  }
  return offsets;
}

std::vector<std::uint64_t> AppendStoredLzx(std::span<const std::span<const std::uint8_t>> pieces,
                                           std::uint32_t reset_interval,
                                           std::vector<std::uint8_t>& out) {
  if (reset_interval == 0) throw std::invalid_argument("LZX reset interval must not be 0");
  std::uint64_t total = 0;
  for (const auto piece : pieces) total += piece.size();

  const std::size_t stream_start = out.size();
  const std::uint64_t frame_count = StoredLzxFrameCount(total);
  std::vector<std::uint64_t> frame_offsets;
  frame_offsets.reserve(frame_count);
  ByteWriter bytes(out);
  LzxBitWriter bits(out);
  PieceReader reader(pieces);
  for (std::uint64_t frame = 0; frame < frame_count; ++frame) {
    frame_offsets.push_back(out.size() - stream_start);
    if (frame % reset_interval == 0) bits.Put(0, 1);  // translation header: no E8 translation
    bits.Put(kUncompressedBlockType, 3);
    bits.Put(static_cast<std::uint32_t>(kLzxFrameSize), 24);
    bits.PadBeforeStoredBlock();
    for (int reg = 0; reg < 3; ++reg) bytes.U32(1);  // R0..R2 as they stand after a reset
    // The frame size is even, so no pad byte follows, and the next frame starts word-aligned.
    reader.CopyTo(bytes, kLzxFrameSize);
  }
  return frame_offsets;
}

}  // namespace vaskel::chmwriter
