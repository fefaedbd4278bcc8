// Reads the LZX bitstream: 16-bit little-endian words, each consumed from its top bit down.
// The reader is a plain value type so the decoding loops can keep a copy in registers.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/itss/byte_order.h"

namespace vaskel::itss {

static_assert(std::endian::native == std::endian::little, "word loads assume little-endian");

struct LzxBitReader {
  // Bits not yet consumed sit at the top of `buffer`; `count` of them are valid.
  const std::uint8_t* next = nullptr;
  const std::uint8_t* end = nullptr;
  std::uint64_t buffer = 0;
  unsigned count = 0;
  // Zero bits supplied past the end of the input. They sit below every real bit, so the decoder
  // has consumed some of them exactly when phantom_bits > count.
  std::uint64_t phantom_bits = 0;

  void Start(const std::uint8_t* data, std::size_t size) {
    next = data;
    end = data + size;
    buffer = 0;
    count = 0;
    phantom_bits = 0;
  }

  // Guarantees at least 49 bits in the buffer, padding with zeros past the end of the input.
  inline void Refill() {
    if (count > 48) return;
    if (end - next >= 8) {
      std::uint64_t raw;
      std::memcpy(&raw, next, 8);
      // Little-endian load gives words w0..w3 from the bottom up; we want w0 on top.
      raw = (raw << 32) | (raw >> 32);
      raw = ((raw & 0x0000FFFF0000FFFFull) << 16) | ((raw >> 16) & 0x0000FFFF0000FFFFull);
      const unsigned words = (64 - count) >> 4;
      const unsigned bits = words * 16;
      raw &= ~std::uint64_t{0} << (64 - bits);
      buffer |= raw >> count;
      count += bits;
      next += words * 2;
    } else {
      RefillNearEnd();
    }
  }

  void RefillNearEnd() {
    while (count <= 48) {
      std::uint64_t word = 0;
      // A lone trailing byte cannot form a word; it is left for the raw byte reads.
      if (end - next >= 2) {
        word = LoadLe16(next);
        next += 2;
      } else {
        phantom_bits += 16;
      }
      buffer |= word << (48 - count);
      count += 16;
    }
  }

  // n in 1..32; needs count >= n.
  inline std::uint32_t Peek(unsigned n) const {
    return static_cast<std::uint32_t>(buffer >> (64 - n));
  }
  inline void Skip(unsigned n) {
    buffer <<= n;
    count -= n;
  }
  // n in 0..32; needs count >= n.
  inline std::uint32_t Read(unsigned n) {
    const auto value = static_cast<std::uint32_t>((buffer >> 1) >> (63 - n));
    Skip(n);
    return value;
  }

  bool ConsumedPastEnd() const { return phantom_bits > count; }

  // Drops the rest of the current 16-bit word (frame end).
  bool AlignToWord() {
    Skip(count % 16);
    return !ConsumedPastEnd();
  }

  // Leaves bit mode for raw byte reads: drops 1..16 bits up to the next word boundary (a whole
  // word when already on one) and hands buffered whole words back to the byte stream.
  bool EnterByteMode() {
    if (count < 16) RefillNearEnd();
    const unsigned partial = count % 16;
    Skip(partial == 0 ? 16 : partial);
    if (ConsumedPastEnd()) return false;
    next -= (count - phantom_bits) / 8;
    buffer = 0;
    count = 0;
    phantom_bits = 0;
    return true;
  }

  // Byte mode only (count == 0).
  std::size_t BytesLeft() const { return static_cast<std::size_t>(end - next); }
};

}  // namespace vaskel::itss
