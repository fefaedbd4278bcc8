// The small parsers every name and number of a file goes through.
#include <gtest/gtest.h>

#include "platform/itss/encint.h"
#include "platform/text/utf_text.h"

namespace vaskel::itss {
namespace {

TEST(EncInt, DecodesUpToNineBytesAndStopsAtTheEnd) {
  const struct {
    std::vector<std::uint8_t> bytes;
    EncIntResult result;
    std::uint64_t value;
    std::size_t end;
  } cases[] = {
      {{0x7F}, EncIntResult::kOk, 0x7F, 1},
      {{0x81, 0x80, 0x00}, EncIntResult::kOk, 0x4000, 3},
      {{0x80, 0x80, 0x05}, EncIntResult::kOk, 5, 3},  // redundant leading groups
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, EncIntResult::kOk, ~0ull >> 1, 9},
      {{0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00},
       EncIntResult::kMalformed,
       0,
       10},
      {{0x81}, EncIntResult::kTruncated, 0, 0},
  };
  for (const auto& c : cases) {
    std::size_t pos = 0;
    std::uint64_t value = 0;
    EXPECT_EQ(ReadEncInt(c.bytes, &pos, &value), c.result);
    EXPECT_EQ(pos, c.end);
    EXPECT_TRUE(c.result != EncIntResult::kOk || value == c.value);
  }
}

TEST(WholeCharactersLength, DropsOnlyACharacterACutLeftIncomplete) {
  std::string two_byte;
  for (int i = 0; i < 40; ++i) two_byte += "\xc3\xa9";
  EXPECT_EQ(platform::WholeCharactersLength(std::string_view(two_byte).substr(0, 79)), 78u);
  std::string three_byte = "a";
  for (int i = 0; i < 30; ++i) three_byte += "\xe6\x97\xa5";  // a character ends at byte 79
  EXPECT_EQ(platform::WholeCharactersLength(std::string_view(three_byte).substr(0, 79)), 79u);
  EXPECT_EQ(platform::WholeCharactersLength(std::string_view(three_byte).substr(0, 78)), 76u);
  EXPECT_EQ(platform::WholeCharactersLength("abc"), 3u);
}

}  // namespace
}  // namespace vaskel::itss
