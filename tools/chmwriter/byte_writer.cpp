#include "tools/chmwriter/byte_writer.h"

namespace vaskel::chmwriter {

void ByteWriter::U16(std::uint16_t value) {
  out_.push_back(static_cast<std::uint8_t>(value));
  out_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
  U16(static_cast<std::uint16_t>(value));
  U16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::U64(std::uint64_t value) {
  U32(static_cast<std::uint32_t>(value));
  U32(static_cast<std::uint32_t>(value >> 32));
}

void ByteWriter::Bytes(std::span<const std::uint8_t> bytes) {
  out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void ByteWriter::Text(std::string_view text) { out_.insert(out_.end(), text.begin(), text.end()); }

void ByteWriter::Zeros(std::size_t count) { out_.insert(out_.end(), count, 0); }

std::size_t EncIntLength(std::uint64_t value) {
  std::size_t length = 1;
  while (value >>= 7) ++length;
  return length;
}

void ByteWriter::EncInt(std::uint64_t value) {
  for (std::size_t group = EncIntLength(value); group-- > 0;) {
    const auto bits = static_cast<std::uint8_t>((value >> (7 * group)) & 0x7F);
    out_.push_back(group == 0 ? bits : static_cast<std::uint8_t>(bits | 0x80));
  }
}

}  // namespace vaskel::chmwriter
