// Damaged streams must fail cleanly: no crash, no hang, no read outside the frame's bytes.
#include <gtest/gtest.h>

#include <random>

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

// Decodes the first frame of `encoder`'s stream (plus trailing zero bytes) into `size` bytes.
bool DecodeFirstFrame(LzxTestEncoder& encoder, std::size_t size) {
  std::vector<std::uint8_t> stream = encoder.Finish();
  stream.resize(stream.size() + 64, 0);
  std::vector<std::uint8_t> out(size);
  auto decoder = LzxDecoder::Create(15);
  return decoder->DecodeFrame(stream, out);
}

std::vector<std::uint8_t> Lengths(std::size_t count,
                                  std::initializer_list<std::pair<std::size_t, int>> set) {
  std::vector<std::uint8_t> lengths(count, 0);
  for (auto [symbol, length] : set) lengths[symbol] = static_cast<std::uint8_t>(length);
  return lengths;
}

// Writes a verbatim or aligned block header and its main and length trees.
void WriteTrees(LzxTestEncoder& encoder, const std::vector<std::uint8_t>& main,
                const std::vector<std::uint8_t>& length) {
  std::vector<std::uint8_t> previous(496, 0), previous_length(249, 0);
  encoder.WriteLengths(std::span(main).first(256), std::span(previous).first(256));
  encoder.WriteLengths(std::span(main).subspan(256), std::span(previous).subspan(256));
  encoder.WriteLengths(length, previous_length);
}

TEST(LzxDamage, InvalidBlockHeaders) {
  for (unsigned type : {0u, 4u, 5u, 6u, 7u}) {
    LzxTestEncoder encoder(15);
    encoder.BeginInterval();
    encoder.BlockHeader(type, 100);
    EXPECT_FALSE(DecodeFirstFrame(encoder, 100)) << "type " << type;
  }
  for (unsigned type : {1u, 2u, 3u}) {
    LzxTestEncoder encoder(15);
    encoder.BeginInterval();
    encoder.BlockHeader(type, 0);
    EXPECT_FALSE(DecodeFirstFrame(encoder, 100)) << "empty block of type " << type;
  }
}

TEST(LzxDamage, BadTrees) {
  const std::vector<std::uint8_t> no_lengths(249, 0);
  const std::vector<std::uint8_t> two_literals = Lengths(496, {{'a', 1}, {'b', 1}});
  struct Case {
    const char* name;
    std::vector<std::uint8_t> main, length;
  };
  const std::vector<Case> cases = {
      {"empty main tree", std::vector<std::uint8_t>(496, 0), no_lengths},
      {"incomplete main tree", Lengths(496, {{'a', 1}, {'b', 2}}), no_lengths},
      {"single-code main tree", Lengths(496, {{'a', 1}}), no_lengths},
      {"over-subscribed main tree", Lengths(496, {{'a', 1}, {'b', 1}, {300, 2}}), no_lengths},
      {"incomplete length tree", two_literals, Lengths(249, {{0, 1}, {5, 2}})},
  };
  for (const Case& c : cases) {
    LzxTestEncoder encoder(15);
    encoder.BeginInterval();
    encoder.BlockHeader(1, 50);
    WriteTrees(encoder, c.main, c.length);
    EXPECT_FALSE(DecodeFirstFrame(encoder, 50)) << c.name;
  }

  LzxTestEncoder pretree(15);
  pretree.BeginInterval();
  pretree.BlockHeader(1, 50);
  for (int i = 0; i < 20; ++i) pretree.writer().Put(1, 4);
  EXPECT_FALSE(DecodeFirstFrame(pretree, 50)) << "over-subscribed pretree";

  LzxTestEncoder aligned(15);
  aligned.BeginInterval();
  aligned.BlockHeader(2, 50);
  for (int i = 0; i < 8; ++i) aligned.writer().Put(1, 3);
  WriteTrees(aligned, two_literals, no_lengths);
  EXPECT_FALSE(DecodeFirstFrame(aligned, 50)) << "over-subscribed aligned tree";
}

TEST(LzxDamage, EmptyTreeThatIsNeeded) {
  // A match with length header 7 needs the (empty) length tree.
  LzxTestEncoder length(15);
  length.BeginInterval();
  length.BlockHeader(1, 20);
  WriteTrees(length, Lengths(496, {{'a', 1}, {256 + 7, 1}}), std::vector<std::uint8_t>(249, 0));
  length.writer().Put(0b01, 2);  // 'a', then the long match
  EXPECT_FALSE(DecodeFirstFrame(length, 20));

  // Slot 8 has 3 footer bits, which an aligned block takes from the (empty) aligned tree.
  LzxTestEncoder aligned(15);
  aligned.BeginInterval();
  aligned.BlockHeader(2, 20);
  for (int i = 0; i < 8; ++i) aligned.writer().Put(0, 3);
  WriteTrees(aligned, Lengths(496, {{'a', 1}, {256 + 8 * 8 + 1, 1}}),
             std::vector<std::uint8_t>(249, 0));
  aligned.writer().Put(0b0000000000000001, 16);
  EXPECT_FALSE(DecodeFirstFrame(aligned, 20));
}

TEST(LzxDamage, MatchesOutsideTheirBounds) {
  struct Case {
    const char* name;
    std::vector<LzxToken> tokens;
  };
  const std::vector<Case> cases = {
      {"match at the very start", {{0, 3, 1}, {'a', 0, 0}}},
      {"offset beyond decoded data", {{'a', 0, 0}, {'b', 0, 0}, {0, 3, 3}}},
  };
  for (const Case& c : cases) {
    LzxTestEncoder encoder(15);
    encoder.BeginInterval();
    encoder.CompressedBlock(LzxBlockKind::kVerbatim, c.tokens);
    EXPECT_FALSE(DecodeFirstFrame(encoder, encoder.output_size())) << c.name;
  }

  // A match running over the frame end.
  std::vector<LzxToken> tokens(kFrame - 2, LzxToken{'q', 0, 0});
  tokens.push_back({0, 5, 1});
  LzxTestEncoder encoder(15);
  encoder.BeginInterval();
  encoder.CompressedBlock(LzxBlockKind::kVerbatim, tokens);
  EXPECT_FALSE(DecodeFirstFrame(encoder, kFrame));
}

TEST(LzxDamage, MatchIntoThePreviousResetInterval) {
  const std::vector<std::uint8_t> data = MakeTestData(kFrame, 5);
  LzxTestEncoder encoder(16);
  encoder.BeginInterval();
  encoder.StoredBlock(data);
  encoder.BeginInterval();
  encoder.CompressedBlock(LzxBlockKind::kVerbatim, std::vector<LzxToken>{{'z', 0, 0}, {0, 4, 9}});
  const std::vector<std::uint8_t> stream = encoder.Finish();
  auto decoder = LzxDecoder::Create(16);
  std::vector<std::uint8_t> out;
  EXPECT_FALSE(
      DecodeStream(*decoder, stream, encoder.frame_offsets(), encoder.output_size(), 1, &out));
}

// A valid stream mixing all block kinds, frames spanning blocks and two intervals.
struct Sample {
  std::vector<std::uint8_t> stream;
  std::vector<std::size_t> frame_offsets;
  std::vector<std::uint8_t> data;
};

Sample MakeSample() {
  Sample sample;
  sample.data = MakeTestData(4 * kFrame + 300, 9);
  LzxTestEncoder encoder(16);
  for (std::size_t start = 0; start < sample.data.size(); start += 2 * kFrame) {
    encoder.BeginInterval(start == 0 ? 12345678 : 0);
    const std::size_t end = std::min(sample.data.size(), start + 2 * kFrame);
    const std::span<const std::uint8_t> interval(sample.data.data() + start, end - start);
    const std::size_t a = std::min<std::size_t>(interval.size(), 20000);
    const std::size_t b = std::min<std::size_t>(interval.size(), 21001);
    encoder.CompressedBlock(LzxBlockKind::kVerbatim, FindMatches(interval, 0, a, 1 << 16), 9);
    if (b > a) encoder.StoredBlock(interval.subspan(a, b - a), {1, 1, 1});
    if (interval.size() > b) {
      encoder.CompressedBlock(LzxBlockKind::kAligned,
                              FindMatches(interval, b, interval.size(), 1 << 16), 12);
    }
  }
  sample.stream = encoder.Finish();
  sample.frame_offsets = encoder.frame_offsets();
  return sample;
}

// Decodes with every frame's bytes in a buffer of their own, so that reading past a frame is
// caught by the address sanitizer. Returns the number of frames decoded.
std::size_t DecodeSeparately(LzxDecoder& decoder, const std::vector<std::uint8_t>& stream,
                             const std::vector<std::size_t>& offsets, std::size_t total) {
  const std::size_t frames = (total + kFrame - 1) / kFrame;
  std::vector<std::uint8_t> out(kFrame);
  std::size_t good = 0;
  for (std::size_t f = 0; f < frames; ++f) {
    if (f % 2 == 0) decoder.Reset();
    const std::size_t begin = std::min(offsets[f], stream.size());
    const std::size_t end =
        f + 1 < frames ? std::min(offsets[f + 1], stream.size()) : stream.size();
    const std::vector<std::uint8_t> in(stream.begin() + begin,
                                       stream.begin() + std::max(begin, end));
    const std::size_t size = std::min(kFrame, total - f * kFrame);
    if (decoder.DecodeFrame(in, std::span(out).first(size))) ++good;
  }
  return good;
}

TEST(LzxDamage, TruncatedFramesFail) {
  const Sample sample = MakeSample();
  auto decoder = LzxDecoder::Create(16);
  ASSERT_EQ(DecodeSeparately(*decoder, sample.stream, sample.frame_offsets, sample.data.size()),
            5u);
  for (std::size_t f = 0; f < 5; ++f) {
    const std::size_t begin = sample.frame_offsets[f];
    const std::size_t end = f < 4 ? sample.frame_offsets[f + 1] : sample.stream.size();
    for (std::size_t cut :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, (end - begin) / 2, end - begin}) {
      // Decode the interval up to frame f intact, then frame f short by `cut` bytes.
      decoder->Reset();
      std::vector<std::uint8_t> out(kFrame);
      for (std::size_t g = f - f % 2; g < f; ++g) {
        ASSERT_TRUE(decoder->DecodeFrame(
            std::span(sample.stream)
                .subspan(sample.frame_offsets[g],
                         sample.frame_offsets[g + 1] - sample.frame_offsets[g]),
            out));
      }
      const std::vector<std::uint8_t> in(sample.stream.begin() + begin,
                                         sample.stream.begin() + (end - cut));
      const std::size_t size = std::min(kFrame, sample.data.size() - f * kFrame);
      EXPECT_FALSE(decoder->DecodeFrame(in, std::span(out).first(size)))
          << "frame " << f << " cut " << cut;
      // A failure sticks until the next reset.
      EXPECT_FALSE(decoder->DecodeFrame(in, std::span(out).first(size)));
    }
  }
  decoder->Reset();
  EXPECT_EQ(DecodeSeparately(*decoder, sample.stream, sample.frame_offsets, sample.data.size()),
            5u);
}

}  // namespace
}  // namespace vaskel::itss
