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

TEST(Utf8Names, ValidTextRoundTripsAndInvalidBytesBecomeReplacements) {
  const std::string valid = "a\xC3\xBC\xE6\x97\xA5\xF0\x9F\x98\x80z";
  EXPECT_EQ(platform::Utf8ToUtf16(valid), u"a\u00FC\u65E5\U0001F600z");
  EXPECT_EQ(platform::Utf16ToUtf8(platform::Utf8ToUtf16(valid)), valid);
  const std::pair<std::string, std::u16string> damaged[] = {
      {"\xC0\xAF", u"\uFFFD\uFFFD"},  // an overlong "/" must not become a separator
      {"\xC0\xAE\xC0\xAE", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // nor an overlong ".." a parent
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"ab\xE6\x97", u"ab\uFFFD\uFFFD"},                  // cut short
  };
  for (const auto& [bytes, expected] : damaged) EXPECT_EQ(platform::Utf8ToUtf16(bytes), expected);
  EXPECT_FALSE(platform::Utf16ToUtf8(u"x\xD800").has_value());
  EXPECT_FALSE(platform::Utf16ToUtf8(u"\xDC00x").has_value());
}

}  // namespace
}  // namespace vaskel::itss
