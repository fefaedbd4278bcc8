// Canonical Huffman decoding tables for LZX: one primary lookup indexed by the next kBits bits of
// the stream, plus second-level tables for the longer codes (at most 16 bits).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/itss/lzx_bit_reader.h"

namespace vaskel::itss {

inline constexpr unsigned kLzxMaxCodeLength = 16;
inline constexpr unsigned kLzxMaxTableBits = 12;
// Returned by Decode on a tree that has no codes at all.
inline constexpr std::uint32_t kLzxNoSymbol = 0xFFFF;

enum class HuffmanBuild {
  kOk,
  kEmpty,    // every length zero: decodes to kLzxNoSymbol without consuming bits
  kInvalid,  // over-subscribed or incomplete
};

// Entry layout: bits 8.. hold a symbol (or a second-level table start), bit 7 marks a link to a
// second-level table, bits 0..4 hold the code length (or the second-level index width).
inline constexpr std::uint32_t kHuffmanLinkFlag = 0x80;

// Fills `table` (primary part first, 2^table_bits entries, table_bits <= kLzxMaxTableBits) for the
// code given by `lengths` (each 0..16). Fails as kInvalid if the second-level tables would not fit
// in `table`.
HuffmanBuild BuildHuffmanTable(std::span<const std::uint8_t> lengths, unsigned table_bits,
                               std::span<std::uint32_t> table);

// kMaxLength bounds the code lengths the table will be built for.
template <unsigned kSymbols, unsigned kBits, unsigned kMaxLength = kLzxMaxCodeLength>
class LzxHuffmanTable {
 public:
  static_assert(kBits <= kLzxMaxTableBits && kMaxLength <= kLzxMaxCodeLength);

  // Lengths above kMaxLength must have been ruled out by the caller.
  HuffmanBuild Build(std::span<const std::uint8_t> lengths) {
    return BuildHuffmanTable(lengths, kBits, entries_);
  }

  // Needs at least 16 bits in the reader.
  inline std::uint32_t Decode(LzxBitReader& bits) const {
    std::uint32_t entry = entries_[bits.Peek(kBits)];
    if (entry & kHuffmanLinkFlag) [[unlikely]] {
      const unsigned width = entry & 0x1F;
      entry = entries_[(entry >> 8) +
                       static_cast<std::uint32_t>((bits.buffer << kBits) >> (64 - width))];
    }
    bits.Skip(entry & 0x1F);
    return entry >> 8;
  }

 private:
  // A second-level table of width w serves a complete subtree holding at least w + 1 codes, so
  // kSymbols codes need no more than this many second-level entries.
  static constexpr unsigned kMaxWidth = kMaxLength > kBits ? kMaxLength - kBits : 0;
  static constexpr std::size_t kSecondLevel =
      kMaxWidth == 0 ? 0 : (std::size_t{kSymbols} / (kMaxWidth + 1) + 1) << kMaxWidth;
  std::array<std::uint32_t, (std::size_t{1} << kBits) + kSecondLevel> entries_{};
};

}  // namespace vaskel::itss
