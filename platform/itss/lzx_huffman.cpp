#include "platform/itss/lzx_huffman.h"

#include <algorithm>

namespace vaskel::itss {
namespace {

// More than any LZX tree has.
constexpr std::size_t kMaxSymbols = 1024;

// `count` is a power of two; unrolled so the compiler can use wide stores.
inline void FillEntries(std::uint32_t* entries, std::size_t count, std::uint32_t entry) {
  if (count < 4) {
    for (std::size_t i = 0; i < count; ++i) entries[i] = entry;
    return;
  }
  for (std::size_t i = 0; i < count; i += 4) {
    entries[i] = entry;
    entries[i + 1] = entry;
    entries[i + 2] = entry;
    entries[i + 3] = entry;
  }
}

}  // namespace

HuffmanBuild BuildHuffmanTable(std::span<const std::uint8_t> lengths, unsigned table_bits,
                               std::span<std::uint32_t> table) {
  const std::size_t primary_size = std::size_t{1} << table_bits;
  if (table_bits > kLzxMaxTableBits || table.size() < primary_size ||
      lengths.size() > kMaxSymbols) {
    return HuffmanBuild::kInvalid;
  }

  std::array<std::uint32_t, kLzxMaxCodeLength + 1> count{};
  for (const std::uint8_t length : lengths) {
    if (length > kLzxMaxCodeLength) return HuffmanBuild::kInvalid;
    ++count[length];
  }
  if (count[0] == lengths.size()) {
    std::fill_n(table.begin(), primary_size, kLzxNoSymbol << 8);
    return HuffmanBuild::kEmpty;
  }

  // The code must fill the code space exactly.
  std::int64_t left = 1;
  for (unsigned length = 1; length <= kLzxMaxCodeLength; ++length) {
    left = left * 2 - count[length];
    if (left < 0) return HuffmanBuild::kInvalid;
  }
  if (left != 0) return HuffmanBuild::kInvalid;

  // Symbols by code length, then by value: the canonical order, in which the codes run through
  // the table from its first entry to its last without gaps.
  std::array<std::uint32_t, kLzxMaxCodeLength + 1> offset;
  offset[0] = 0;
  for (unsigned length = 1; length <= kLzxMaxCodeLength; ++length) {
    offset[length] = offset[length - 1] + count[length - 1];
  }
  std::array<std::uint16_t, kMaxSymbols> sorted;
  for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
    sorted[offset[lengths[symbol]]++] = static_cast<std::uint16_t>(symbol);
  }

  std::size_t next = count[0];  // into `sorted`
  std::size_t filled = 0;       // primary entries
  const unsigned direct_lengths = std::min(table_bits, kLzxMaxCodeLength);
  for (unsigned length = 1; length <= direct_lengths; ++length) {
    const std::size_t spread = std::size_t{1} << (table_bits - length);
    for (std::uint32_t n = count[length]; n > 0; --n) {
      FillEntries(table.data() + filled, spread, std::uint32_t{sorted[next++]} << 8 | length);
      filled += spread;
    }
  }
  if (filled == primary_size) return HuffmanBuild::kOk;

  // Longer codes, still in canonical order, as positions in a 16-bit code space: the top
  // table_bits pick the primary entry, the bits below it the second-level one. All codes under
  // one primary entry come together, the longest last, and fill their table exactly.
  const unsigned below = kLzxMaxCodeLength - table_bits;
  std::uint32_t code = static_cast<std::uint32_t>(filled) << below;
  std::size_t next_free = primary_size;
  while (next < lengths.size()) {
    const std::uint32_t prefix = code >> below;
    std::size_t group_end = next;
    std::uint32_t group_code = code;
    while (group_end < lengths.size() && group_code >> below == prefix) {
      group_code += std::uint32_t{1} << (kLzxMaxCodeLength - lengths[sorted[group_end++]]);
    }
    const unsigned width = lengths[sorted[group_end - 1]] - table_bits;
    if (table.size() - next_free < (std::size_t{1} << width)) return HuffmanBuild::kInvalid;
    table[prefix] = static_cast<std::uint32_t>(next_free << 8) | kHuffmanLinkFlag | width;
    for (; next < group_end; ++next) {
      const std::uint32_t symbol = sorted[next];
      const unsigned length = lengths[symbol];
      const std::uint32_t within = (code & ((1u << below) - 1)) >> (below - width);
      FillEntries(table.data() + next_free + within,
                  std::size_t{1} << (table_bits + width - length), symbol << 8 | length);
      code += std::uint32_t{1} << (kLzxMaxCodeLength - length);
    }
    next_free += std::size_t{1} << width;
  }
  return HuffmanBuild::kOk;
}

}  // namespace vaskel::itss
