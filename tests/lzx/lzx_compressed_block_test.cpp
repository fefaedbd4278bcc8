// Verbatim and aligned blocks written by the test encoder must decode back to their input.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/itss/lzx_decoder.h"
#include "tests/lzx/lzx_test_encoder.h"

namespace vaskel::itss {
namespace {

using testing::DecodeStream;
using testing::FindMatches;
using testing::LzxBlockKind;
using testing::LzxTestEncoder;
using testing::LzxToken;
using testing::MakeTestData;

constexpr std::size_t kFrame = kLzxFrameSize;

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(LzxCompressedBlocks, TinyVerbatimBlockWithRepeatedOffsets) {
  const std::vector<LzxToken> tokens = {
      {'a', 0, 0}, {'b', 0, 0}, {0, 3, 1},  // R0 (initially 1)
      {'c', 0, 0}, {0, 4, 3},               // a new offset
      {0, 2, 1},                            // R1, swapped into R0
      {0, 3, 3},                            // R1 again
  };
  LzxTestEncoder encoder(15);
  encoder.BeginInterval();
  encoder.CompressedBlock(LzxBlockKind::kVerbatim, tokens);
  const std::vector<std::uint8_t> stream = encoder.Finish();
  auto decoder = LzxDecoder::Create(15);
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(
      DecodeStream(*decoder, stream, encoder.frame_offsets(), encoder.output_size(), 1, &out));
  EXPECT_EQ(out, Bytes("abbbbcbbcbbbbbb"));
}

struct Plan {
  int window_bits;
  std::size_t size;
  std::size_t frames_per_interval;
  std::vector<std::size_t> block_sizes;  // cycled through; a block never crosses a reset
  unsigned skew;
};

// Encodes `data` with the plan's blocks, alternating verbatim, aligned and (every fourth block)
// stored blocks, and checks the decoder restores it.
void RoundTrip(const Plan& plan, std::uint32_t seed) {
  const std::vector<std::uint8_t> data = MakeTestData(plan.size, seed);
  const std::size_t interval = plan.frames_per_interval * kFrame;
  LzxTestEncoder encoder(plan.window_bits);
  std::size_t block = 0;
  for (std::size_t start = 0; start < data.size(); start += interval) {
    encoder.BeginInterval();
    const std::size_t end = std::min(data.size(), start + interval);
    const std::span<const std::uint8_t> interval_data(data.data() + start, end - start);
    for (std::size_t pos = 0; pos < interval_data.size(); ++block) {
      const std::size_t size =
          std::min(plan.block_sizes[block % plan.block_sizes.size()], interval_data.size() - pos);
      if (block % 4 == 3) {
        encoder.StoredBlock(interval_data.subspan(pos, size), {7, 3, 1});
      } else {
        const auto tokens =
            FindMatches(interval_data, pos, pos + size, std::size_t{1} << plan.window_bits);
        const auto kind = block % 2 == 0 ? LzxBlockKind::kVerbatim : LzxBlockKind::kAligned;
        encoder.CompressedBlock(kind, tokens, plan.skew + block % 3);
      }
      pos += size;
    }
  }
  const std::vector<std::uint8_t> stream = encoder.Finish();
  ASSERT_EQ(encoder.output_size(), data.size());
  auto decoder = LzxDecoder::Create(plan.window_bits);
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(DecodeStream(*decoder, stream, encoder.frame_offsets(), data.size(),
                           plan.frames_per_interval, &out));
  ASSERT_EQ(out.size(), data.size());
  EXPECT_TRUE(out == data) << "first difference at "
                           << std::mismatch(out.begin(), out.end(), data.begin()).first -
                                  out.begin();
}

TEST(LzxCompressedBlocks, RoundTripsAcrossFramesBlocksAndResets) {
  const std::vector<Plan> plans = {
      // The usual help-file layout: 64 KiB window, reset every two frames.
      {16, 5 * kFrame + 777, 2, {kFrame, kFrame}, 4},
      // Blocks that start and end inside frames and span frame ends.
      {16, 6 * kFrame, 6, {10000, 50001, 3, 70000}, 6},
      // Small window: matches limited to 32 KiB, history moved as output passes the window.
      {15, 8 * kFrame + 5, 8, {20000, 90000}, 8},
      // Large windows and long intervals.
      {17, 9 * kFrame, 9, {100000, 200000}, 10},
      {21, 4 * kFrame + 1, 4, {1 << 20}, 12},
  };
  for (std::size_t i = 0; i < plans.size(); ++i) {
    SCOPED_TRACE(i);
    RoundTrip(plans[i], static_cast<std::uint32_t>(10 + i));
  }
}

TEST(LzxCompressedBlocks, StoredBlockSetsRepeatedOffsets) {
  // A stored block loads R0..R2; the next block's first match uses R2 without sending it.
  const std::vector<std::uint8_t> head = Bytes("0123456789abcdef");
  LzxTestEncoder encoder(15);
  encoder.BeginInterval();
  encoder.StoredBlock(head, {2, 5, 16});
  encoder.CompressedBlock(LzxBlockKind::kVerbatim, std::vector<LzxToken>{{0, 4, 16}, {0, 3, 2}});
  const std::vector<std::uint8_t> stream = encoder.Finish();
  auto decoder = LzxDecoder::Create(15);
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(
      DecodeStream(*decoder, stream, encoder.frame_offsets(), encoder.output_size(), 1, &out));
  EXPECT_EQ(out, Bytes("0123456789abcdef0123232"));
}

TEST(LzxCompressedBlocks, AlignedBlockWithoutAlignedCodesIsFine) {
  // Only short offsets, so the aligned tree is empty and never consulted.
  std::vector<LzxToken> tokens = {{'x', 0, 0}, {'y', 0, 0}, {0, 6, 2}, {0, 2, 3}};
  LzxTestEncoder encoder(15);
  encoder.BeginInterval();
  encoder.CompressedBlock(LzxBlockKind::kAligned, tokens);
  const std::vector<std::uint8_t> stream = encoder.Finish();
  auto decoder = LzxDecoder::Create(15);
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(
      DecodeStream(*decoder, stream, encoder.frame_offsets(), encoder.output_size(), 1, &out));
  EXPECT_EQ(out, Bytes("xyxyxyxyyx"));
}

TEST(LzxCompressedBlocks, FinalFrameWithOrWithoutPadding) {
  // Compressors encode the final frame in full, zero-padded, so a match may cross the data's end.
  // A call 8 bytes before the end is translated only when the frame is seen in full.
  constexpr std::size_t kDataEnd = 20000;
  constexpr std::size_t kCall = kDataEnd - 8;
  std::vector<std::uint8_t> frame = MakeTestData(kFrame, 21);
  std::replace(frame.begin(), frame.end(), std::uint8_t{0xE8}, std::uint8_t{0xE9});
  std::fill(frame.begin() + kDataEnd - 300, frame.end(), 0);
  frame[kCall] = 0xE8;
  frame[kCall + 1] = 100;
  for (const std::size_t encoded : {kFrame, kDataEnd}) {
    SCOPED_TRACE(encoded);
    LzxTestEncoder encoder(16);
    encoder.BeginInterval(100000);
    encoder.CompressedBlock(LzxBlockKind::kVerbatim, FindMatches(frame, 0, encoded, 1 << 16));
    const std::vector<std::uint8_t> stream = encoder.Finish();
    auto decoder = LzxDecoder::Create(16);
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(DecodeStream(*decoder, stream, encoder.frame_offsets(), kDataEnd, 2, &out));
    std::vector<std::uint8_t> expected(frame.begin(), frame.begin() + kDataEnd);
    if (encoded == kFrame) {
      const std::uint32_t translated = 100 - static_cast<std::uint32_t>(kCall);
      for (std::size_t k = 0; k < 4 && kCall + 1 + k < kDataEnd; ++k) {
        expected[kCall + 1 + k] = static_cast<std::uint8_t>(translated >> (8 * k));
      }
    }
    EXPECT_TRUE(out == expected);
    // Nothing follows a final frame without a reset.
    EXPECT_FALSE(decoder->DecodeFrame(stream, std::span(out).first(100)));
  }
}

}  // namespace
}  // namespace vaskel::itss
