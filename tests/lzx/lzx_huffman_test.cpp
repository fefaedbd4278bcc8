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

}  // namespace
}  // namespace vaskel::itss
