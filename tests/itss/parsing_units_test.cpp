// The small parsers every name and number of a file goes through.
#include <gtest/gtest.h>

#include "platform/itss/encint.h"
#include "platform/itss/frame_cache.h"
#include "platform/itss/utf_text.h"

namespace vaskel::itss {
namespace {

struct EncIntCase {
  std::vector<std::uint8_t> bytes;
  EncIntResult result;
  std::uint64_t value;
  std::size_t end;
};

TEST(EncInt, DecodesBoundsAndRejectsOverlongOnes) {
  const std::vector<EncIntCase> cases = {
      {{0x7F}, EncIntResult::kOk, 0x7F, 1},
      {{0x81, 0x00}, EncIntResult::kOk, 0x80, 2},
      {{0xFF, 0x7F}, EncIntResult::kOk, 0x3FFF, 2},
      {{0x81, 0x80, 0x00}, EncIntResult::kOk, 0x4000, 3},
      {{0x80, 0x80, 0x05}, EncIntResult::kOk, 5, 3},  // redundant leading groups
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
       EncIntResult::kOk,
       0x7FFFFFFFFFFFFFFF,
       9},
      {{0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00},
       EncIntResult::kMalformed,
       0,
       10},
      {{0x81}, EncIntResult::kTruncated, 0, 0},
      {{}, EncIntResult::kTruncated, 0, 0},
  };
  for (const EncIntCase& c : cases) {
    std::size_t pos = 0;
    std::uint64_t value = 0;
    EXPECT_EQ(ReadEncInt(c.bytes, &pos, &value), c.result);
    EXPECT_EQ(pos, c.end);
    if (c.result == EncIntResult::kOk) {
      EXPECT_EQ(value, c.value);
    }
  }
}

TEST(Utf8Names, ValidTextRoundTripsAndInvalidBytesBecomeReplacements) {
  const std::string valid = "a\xC3\xBC\xE6\x97\xA5\xF0\x9F\x98\x80z";
  bool invalid = true;
  const std::u16string wide = Utf8ToUtf16(valid, &invalid);
  EXPECT_FALSE(invalid);
  EXPECT_EQ(wide, u"a\u00FC\u65E5\U0001F600z");
  EXPECT_EQ(Utf16ToUtf8(wide), valid);

  const struct {
    std::string bytes;
    std::u16string expected;
  } damaged[] = {
      {"\xFF", u"\uFFFD"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},  // overlong "/" must not become a separator
      {"\xC0\xAE\xC0\xAE", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong ".."
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"ab\xE6\x97", u"ab\uFFFD\uFFFD"},                  // cut short
  };
  for (const auto& c : damaged) {
    EXPECT_EQ(Utf8ToUtf16(c.bytes, &invalid), c.expected);
    EXPECT_TRUE(invalid);
  }
  EXPECT_FALSE(Utf16ToUtf8(u"x\xD800").has_value());
  EXPECT_FALSE(Utf16ToUtf8(u"\xDC00x").has_value());
}

TEST(FrameCache, EvictsTheLeastRecentlyUsedFrame) {
  FrameCache cache(2);
  cache.Insert(10)[0] = 10;
  cache.Insert(11)[0] = 11;
  ASSERT_NE(cache.Find(10), nullptr);  // 11 is now the oldest
  cache.Insert(12)[0] = 12;
  EXPECT_EQ(cache.Find(11), nullptr);
  ASSERT_NE(cache.Find(10), nullptr);
  EXPECT_EQ(cache.Find(10)[0], 10);
  EXPECT_EQ(cache.Find(12)[0], 12);
  cache.Erase(12);
  EXPECT_EQ(cache.Find(12), nullptr);
  cache.Insert(13)[0] = 13;  // reuses the erased slot, keeps 10
  EXPECT_EQ(cache.Find(10)[0], 10);
  EXPECT_EQ(cache.Find(13)[0], 13);
}

}  // namespace
}  // namespace vaskel::itss
