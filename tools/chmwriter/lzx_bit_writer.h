// LZX bit order: fields are written most significant bit first into 16-bit little-endian words.
#pragma once

#include <cstdint>
#include <vector>

namespace vaskel::chmwriter {

class LzxBitWriter {
 public:
  explicit LzxBitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Put(std::uint32_t value, int bit_count);
  // Pads to the next word boundary; a no-op when already on one. Frames end this way.
  void AlignToWord();
  // An uncompressed block's header is followed by 1..16 padding bits: a whole word when the
  // header already ended on a boundary.
  void PadBeforeStoredBlock();
  bool aligned() const { return pending_bits_ == 0; }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint32_t word_ = 0;
  int pending_bits_ = 0;
};

}  // namespace vaskel::chmwriter
