// Stored (uncompressed) blocks: frame layout, blocks spanning frames, pad bytes, E8 translation.
#include <gtest/gtest.h>

#include <numeric>

#include "platform/itss/lzx_decoder.h"
#include "tests/lzx/lzx_test_encoder.h"

namespace vaskel::itss {
namespace {

using testing::DecodeStream;
using testing::LzxTestEncoder;
using testing::MakeTestData;

constexpr std::size_t kFrame = kLzxFrameSize;

std::vector<std::uint8_t> Decode(int window_bits, LzxTestEncoder& encoder,
                                 const std::vector<std::uint8_t>& stream,
                                 std::size_t frames_per_interval) {
  auto decoder = LzxDecoder::Create(window_bits);
  std::vector<std::uint8_t> out;
  EXPECT_TRUE(DecodeStream(*decoder, stream, encoder.frame_offsets(), encoder.output_size(),
                           frames_per_interval, &out));
  return out;
}

TEST(LzxDecoderCreate, AcceptsOnlyWindowsOf32KiBTo2MiB) {
  EXPECT_EQ(LzxDecoder::Create(14), nullptr);
  EXPECT_EQ(LzxDecoder::Create(22), nullptr);
  EXPECT_EQ(LzxDecoder::Create(-1), nullptr);
  for (int bits = 15; bits <= 21; ++bits) EXPECT_NE(LzxDecoder::Create(bits), nullptr);
}

TEST(LzxStoredBlocks, BlocksSpanFramesAndCarryPadBytes) {
  const std::vector<std::uint8_t> data = MakeTestData(4 * kFrame, 2);
  // Odd sizes, several blocks in one frame, a block over three frames, an odd block ending
  // exactly at a frame end with its pad byte on either side of the frame boundary.
  const std::vector<std::size_t> sizes = {1001, 31767, 7, 2 * kFrame + 1, kFrame - 8};
  for (const bool pad_in_next_frame : {false, true}) {
    SCOPED_TRACE(pad_in_next_frame);
    LzxTestEncoder encoder(15);
    encoder.BeginInterval();
    std::size_t done = 0;
    for (std::size_t size : sizes) {
      encoder.StoredBlock(std::span(data).subspan(done, size), {1, 1, 1}, pad_in_next_frame);
      done += size;
    }
    ASSERT_EQ(done, data.size());
    EXPECT_EQ(Decode(15, encoder, encoder.Finish(), 4), data);
  }
}

TEST(LzxStoredBlocks, OddBlockAtFrameEndThenBitsContinue) {
  // The frame boundary falls right after an odd block; the next block starts at the next frame.
  const std::vector<std::uint8_t> data = MakeTestData(2 * kFrame, 3);
  for (const bool pad_in_next_frame : {false, true}) {
    LzxTestEncoder encoder(16);
    encoder.BeginInterval();
    encoder.StoredBlock(std::span(data).first(101));
    encoder.StoredBlock(std::span(data).subspan(101, kFrame - 101), {1, 1, 1}, pad_in_next_frame);
    encoder.StoredBlock(std::span(data).subspan(kFrame));
    EXPECT_EQ(Decode(16, encoder, encoder.Finish(), 2), data);
  }
}

std::vector<std::uint8_t> WithCall(std::vector<std::uint8_t> data, std::size_t at,
                                   std::int32_t operand) {
  data[at] = 0xE8;
  for (int k = 0; k < 4; ++k) data[at + 1 + k] = static_cast<std::uint8_t>(operand >> (8 * k));
  return data;
}

std::int32_t OperandAt(const std::vector<std::uint8_t>& data, std::size_t at) {
  std::uint32_t v = 0;
  for (int k = 0; k < 4; ++k) v |= std::uint32_t{data[at + 1 + k]} << (8 * k);
  return static_cast<std::int32_t>(v);
}

TEST(LzxE8Translation, AppliesPerFrameFromIntervalStart) {
  constexpr std::int32_t kTranslationSize = 5000000;
  constexpr std::int32_t kF = static_cast<std::int32_t>(kFrame);
  struct Call {
    std::size_t at;
    std::int32_t stored, expected;
  };
  const std::vector<Call> calls = {
      {100, 1000, 1000 - 100},                    // absolute, in range
      {200, -150, -150 + kTranslationSize},       // negative but not below -cur
      {300, -301, -301},                          // below -cur
      {400, kTranslationSize, kTranslationSize},  // not below the translation size
      {500, kTranslationSize - 1, kTranslationSize - 1 - 500},
      {700, 800, 100},  // two calls back to back
      {705, 800, 95},
      {kFrame - 11, 77, 77 - (kF - 11)},  // last position scanned
      {kFrame - 6, 77, 77},               // never starts in the last 10 bytes
      {kFrame + 50, 9, 9 - (kF + 50)},    // positions count from the interval start
      {2 * kFrame - 10, 0, 0},
      {2 * kFrame + 60, 9, 9},  // next interval: translation off
  };
  std::vector<std::uint8_t> data(3 * kFrame, 0x20);
  std::vector<std::uint8_t> expected = data;
  for (const Call& call : calls) {
    data = WithCall(data, call.at, call.stored);
    expected = WithCall(expected, call.at, call.expected);
  }

  LzxTestEncoder encoder(16);
  encoder.BeginInterval(kTranslationSize);
  encoder.StoredBlock(std::span(data).first(2 * kFrame));
  encoder.BeginInterval();
  encoder.StoredBlock(std::span(data).subspan(2 * kFrame));
  EXPECT_EQ(Decode(16, encoder, encoder.Finish(), 2), expected);
}

TEST(LzxE8Translation, FramesOfTenBytesOrLessAreLeftAlone) {
  for (const std::size_t last_frame : {11u, 10u}) {
    std::vector<std::uint8_t> data =
        WithCall(std::vector<std::uint8_t>(kFrame + last_frame, 0), kFrame, 5);
    LzxTestEncoder encoder(15);
    encoder.BeginInterval(1000);
    encoder.StoredBlock(data);
    const std::vector<std::uint8_t> out = Decode(15, encoder, encoder.Finish(), 4);
    EXPECT_EQ(OperandAt(out, kFrame), last_frame == 11 ? 5 - static_cast<std::int32_t>(kFrame) : 5);
  }
}

}  // namespace
}  // namespace vaskel::itss
