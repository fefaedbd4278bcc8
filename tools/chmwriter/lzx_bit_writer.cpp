#include "tools/chmwriter/lzx_bit_writer.h"

namespace vaskel::chmwriter {

void LzxBitWriter::Put(std::uint32_t value, int bit_count) {
  for (int bit = bit_count - 1; bit >= 0; --bit) {
    word_ = (word_ << 1) | ((value >> bit) & 1u);
    if (++pending_bits_ == 16) {
      out_.push_back(static_cast<std::uint8_t>(word_ & 0xFF));
      out_.push_back(static_cast<std::uint8_t>((word_ >> 8) & 0xFF));
      word_ = 0;
      pending_bits_ = 0;
    }
  }
}

void LzxBitWriter::AlignToWord() {
  if (pending_bits_ != 0) Put(0, 16 - pending_bits_);
}

void LzxBitWriter::PadBeforeStoredBlock() { Put(0, 16 - pending_bits_); }

}  // namespace vaskel::chmwriter
