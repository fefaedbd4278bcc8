#include "platform/itss/lzx_huffman.h"

#include <algorithm>

namespace vaskel::itss {
namespace {

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
  if (table_bits > kLzxMaxTableBits || table.size() < primary_size) return HuffmanBuild::kInvalid;

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

  std::array<std::uint32_t, kLzxMaxCodeLength + 1> next_code{};
  std::uint32_t code = 0;
  count[0] = 0;
  for (unsigned length = 1; length <= kLzxMaxCodeLength; ++length) {
    code = (code + count[length - 1]) << 1;
    next_code[length] = code;
  }

  // Direct entries first; for longer codes remember the deepest code under each primary prefix.
  std::array<std::uint8_t, std::size_t{1} << kLzxMaxTableBits> deepest_storage;
  std::span<std::uint8_t> deepest(deepest_storage.data(), primary_size);
  std::fill(deepest.begin(), deepest.end(), 0);
  bool any_long = false;
  for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
    const unsigned length = lengths[symbol];
    if (length == 0) continue;
    const std::uint32_t symbol_code = next_code[length]++;
    if (length <= table_bits) {
      const unsigned spread = table_bits - length;
      const std::uint32_t entry = static_cast<std::uint32_t>(symbol << 8) | length;
      FillEntries(table.data() + (std::size_t{symbol_code} << spread), std::size_t{1} << spread,
                  entry);
    } else {
      const std::uint32_t prefix = symbol_code >> (length - table_bits);
      deepest[prefix] = std::max<std::uint8_t>(deepest[prefix], static_cast<std::uint8_t>(length));
      any_long = true;
    }
  }
  if (!any_long) return HuffmanBuild::kOk;

  std::size_t next_free = primary_size;
  for (std::size_t prefix = 0; prefix < primary_size; ++prefix) {
    if (deepest[prefix] == 0) continue;
    const unsigned width = deepest[prefix] - table_bits;
    if (table.size() - next_free < (std::size_t{1} << width)) return HuffmanBuild::kInvalid;
    table[prefix] = static_cast<std::uint32_t>(next_free << 8) | kHuffmanLinkFlag | width;
    next_free += std::size_t{1} << width;
  }

  // Second pass over the long codes, regenerating their canonical values.
  for (unsigned length = 1; length <= kLzxMaxCodeLength; ++length) {
    next_code[length] -= count[length];
  }
  for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
    const unsigned length = lengths[symbol];
    if (length == 0) continue;
    const std::uint32_t symbol_code = next_code[length]++;
    if (length <= table_bits) continue;
    const unsigned tail_bits = length - table_bits;
    const std::uint32_t link = table[symbol_code >> tail_bits];
    const unsigned width = link & 0x1F;
    const unsigned spread = width - tail_bits;
    const std::size_t start =
        (link >> 8) + (std::size_t{symbol_code & ((1u << tail_bits) - 1)} << spread);
    FillEntries(table.data() + start, std::size_t{1} << spread,
                static_cast<std::uint32_t>(symbol << 8) | length);
  }
  return HuffmanBuild::kOk;
}

}  // namespace vaskel::itss
