#include "storage/text_conversion.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

std::u16string Convert(std::string_view text, std::size_t room = 64) {
  std::u16string out(room, u'x');
  auto written = NarrowToWide(text, out);
  if (!written) return u"<too long>";
  EXPECT_EQ(out[*written], u'\0');
  return out.substr(0, *written);
}

TEST(TextConversionTest, Utf8RoundTripsThroughUtf16) {
  const std::string samples[] = {"index.html", "Übersicht.htm", "日本語.html",
                                 "emoji \xF0\x9F\x98\x80"};
  for (const auto& sample : samples) EXPECT_EQ(WideToNarrow(Convert(sample)), sample);
  EXPECT_EQ(Convert("\xF0\x9F\x98\x80"), u"\xD83D\xDE00");
}

TEST(TextConversionTest, InvalidSequencesBecomeQuestionMarks) {
  EXPECT_EQ(Convert("a\xFF"
                    "b"),
            u"a?b");
  EXPECT_EQ(Convert("\xC0\xAF"), u"??");        // overlong '/'
  EXPECT_EQ(Convert("\xED\xA0\x80"), u"???");   // encoded surrogate
  EXPECT_EQ(Convert("end\xE6\x97"), u"end??");  // truncated at the end
  EXPECT_EQ(WideToNarrow(u"a\xD800"
                         u"b"),
            "a?b");
}

TEST(TextConversionTest, StopsAtNulAndRefusesWhatDoesNotFit) {
  EXPECT_EQ(Convert(std::string_view("ab\0cd", 5)), u"ab");
  EXPECT_EQ(Convert("abc", 4), u"abc");
  EXPECT_EQ(Convert("abcd", 4), u"<too long>");
  // A surrogate pair is never split at the limit.
  EXPECT_EQ(Convert("a\xF0\x9F\x98\x80", 3), u"<too long>");
}

}  // namespace
}  // namespace vaskel
