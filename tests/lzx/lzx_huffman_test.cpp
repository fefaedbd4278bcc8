// Table building: which codes are accepted, and that long codes decode through the second level.
#include "platform/itss/lzx_huffman.h"

#include <gtest/gtest.h>

#include <vector>

namespace vaskel::itss {
namespace {

using Table = LzxHuffmanTable<32, 6>;

HuffmanBuild Build(std::vector<std::uint8_t> lengths) {
  Table table;
  return table.Build(lengths);
}

TEST(LzxHuffman, AcceptsOnlyCompleteCodes) {
  EXPECT_EQ(Build({1, 1}), HuffmanBuild::kOk);
  EXPECT_EQ(Build({0, 2, 2, 1, 0}), HuffmanBuild::kOk);
  EXPECT_EQ(Build({0, 0, 0}), HuffmanBuild::kEmpty);
  EXPECT_EQ(Build({1}), HuffmanBuild::kInvalid);            // a single code
  EXPECT_EQ(Build({1, 2}), HuffmanBuild::kInvalid);         // incomplete
  EXPECT_EQ(Build({1, 1, 1}), HuffmanBuild::kInvalid);      // over-subscribed
  EXPECT_EQ(Build({1, 2, 2, 17}), HuffmanBuild::kInvalid);  // beyond 16 bits
}

TEST(LzxHuffman, EmptyTableYieldsNoSymbolWithoutConsumingBits) {
  Table table;
  ASSERT_EQ(table.Build(std::vector<std::uint8_t>(32, 0)), HuffmanBuild::kEmpty);
  const std::uint8_t bytes[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  LzxBitReader bits;
  bits.Start(bytes, sizeof bytes);
  bits.Refill();
  const unsigned before = bits.count;
  EXPECT_EQ(table.Decode(bits), kLzxNoSymbol);
  EXPECT_EQ(bits.count, before);
}

TEST(LzxHuffman, DecodesCodesOfEveryLength) {
  // Lengths 1..15 and two of 16: symbol s has code 1...10 (s ones), the last one is all ones.
  std::vector<std::uint8_t> lengths(32, 0);
  for (unsigned s = 0; s < 15; ++s) lengths[2 * s] = static_cast<std::uint8_t>(s + 1);
  lengths[30] = 16;
  lengths[31] = 16;
  Table table;
  ASSERT_EQ(table.Build(lengths), HuffmanBuild::kOk);
  for (unsigned s = 0; s < 17; ++s) {
    const unsigned ones = s < 16 ? s : 16;
    const std::uint32_t code = ((1u << ones) - 1) << (16 - ones);  // then zeros
    // Put the 16-bit code in the first word, followed by a marker word.
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(code),
                                   static_cast<std::uint8_t>(code >> 8), 0x34, 0x12};
    LzxBitReader bits;
    bits.Start(bytes, sizeof bytes);
    bits.Refill();
    const std::uint32_t symbol = table.Decode(bits);
    const std::uint32_t expected = s < 15 ? 2 * s : s == 15 ? 30 : 31;
    EXPECT_EQ(symbol, expected) << "code with " << ones << " leading ones";
    EXPECT_EQ(bits.Read(16 - lengths[expected]), 0u);
    EXPECT_EQ(bits.Read(16), 0x1234u);
  }
}

}  // namespace
}  // namespace vaskel::itss
