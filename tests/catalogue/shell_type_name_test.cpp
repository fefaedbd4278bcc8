#include "catalogue/shell_type_name.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "catalogue/lookup_cache.h"
#include "catalogue/system_image_list.h"
#include "catalogue/type_lookup_key.h"

namespace vaskel {
namespace {

// GIO's own answer for one name, uncached, for comparison.
std::string DescriptionFromGio(const char* name) {
  gboolean uncertain = FALSE;
  char* type = g_content_type_guess(name, nullptr, 0, &uncertain);
  char* description = g_content_type_get_description(type);
  std::string text = description;
  g_free(description);
  g_free(type);
  return text;
}

TEST(ShellTypeNameTest, TheExtensionAloneDecidesTheType) {
  EXPECT_FALSE(ShellTypeName("index.html").empty());
  for (const char* name : {"page.html", "style.css", "logo.gif", "code.js", "notes.txt"}) {
    EXPECT_EQ(ShellTypeName(name), DescriptionFromGio(name)) << name;
  }
  for (const char* name : {"toc.zz-no-such-type", "noext", "#SYSTEM", "$FIftiMain", "end.", ""}) {
    EXPECT_EQ(ShellTypeName(name), "") << name;
  }
  EXPECT_EQ(ShellTypeName("INDEX.HTML"), ShellTypeName("index.html"));
  // GIO alone tells "a.C" (C++) from "a.c" (C), and "x.tar.gz" from "x.gz"; per extension each
  // pair gets one answer, whichever is asked first.
  EXPECT_EQ(ShellTypeName("x.C"), ShellTypeName("y.c"));
  EXPECT_EQ(ShellTypeName("archive.tar.gz"), ShellTypeName("plain.gz"));

  std::string key;
  MakeTypeLookupKey("Dir.Name.HTM", key);
  EXPECT_EQ(key, ".htm");
  MakeTypeLookupKey("Makefile", key);
  EXPECT_EQ(key, "Makefile");
  MakeTypeLookupKey("caf\xc3\x89.\xc3\x89X", key);
  EXPECT_EQ(key, ".\xc3\x89x") << "only ASCII letters are lower-cased";
}

TEST(ShellTypeNameTest, TypeNamesFitSeventyNineBytesOnCharacterBoundaries) {
  for (const char* name : {"a.html", "a.pdf", "a.docx", "a.odt", "a.xlsx"}) {
    const std::string type = ShellTypeName(name);
    EXPECT_LE(type.size(), kMaxTypeNameBytes) << name;
    EXPECT_TRUE(g_utf8_validate(type.data(), static_cast<gssize>(type.size()), nullptr));
  }
  std::string two_byte;
  for (int i = 0; i < 50; ++i) two_byte += "\xc3\xa9";  // byte 79 is inside a character
  CutAtCharacterBoundary(two_byte, 79);
  EXPECT_EQ(two_byte.size(), 78u);
  std::string three_byte = "a";
  for (int i = 0; i < 30; ++i) three_byte += "\xe6\x97\xa5";  // a character ends at byte 79
  CutAtCharacterBoundary(three_byte, 79);
  EXPECT_EQ(three_byte.size(), 79u);
}

TEST(ShellTypeNameTest, CachesStopStoringWhenFullOrGivenALongKey) {
  LookupCache<std::string> cache(2);
  std::string first = "first", again = "again", long_one = "long", second = "2", third = "3";
  const std::string* stored = cache.Insert(".a", std::move(first));
  EXPECT_EQ(cache.Insert(".a", std::move(again)), stored) << "the earlier answer stays";
  const std::string long_key(LookupCache<std::string>::kMaxKeyBytes + 1, 'k');
  EXPECT_EQ(cache.Insert(long_key, std::move(long_one)), nullptr);
  EXPECT_EQ(long_one, "long") << "a refused answer is left to the caller";
  EXPECT_NE(cache.Insert(".b", std::move(second)), nullptr);
  EXPECT_EQ(cache.Insert(".c", std::move(third)), nullptr);
  EXPECT_EQ(*cache.Find(".a"), "first");

  // Uncached answers are still right.
  SystemImageList images;
  const std::string long_name(300, 'n');
  EXPECT_EQ(images.TypeName(long_name), "");
  EXPECT_EQ(images.SmallIconIndex(long_name), images.GetIconIndex("#SYSTEM", false, true));
}

TEST(SystemImageListTest, ListsAreSharedAndLiveAsLongAsTheLastInstance) {
  auto first = std::make_unique<SystemImageList>();
  const IconIndexTable* list = first->GetImageList(true);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(first->GetImageList(false), list) << "small and large share their indexes";
  const int html = first->GetIconIndex("index.html", false, true);
  {
    SystemImageList second;
    EXPECT_EQ(second.GetImageList(true), list) << "a second instance creates no new list";
    EXPECT_EQ(second.GetIconIndex("other.html", false, true), html);
  }
  EXPECT_EQ(first->GetImageList(true), list);
  first.reset();
  SystemImageList fresh;
  EXPECT_EQ(fresh.GetImageList(true)->Count(), 0) << "the last instance released the list";
}

TEST(SystemImageListTest, OneTypeOneIndex) {
  SystemImageList images;
  const int html = images.GetIconIndex("a/index.html", false, true);
  ASSERT_GE(html, 0);
  EXPECT_EQ(images.GetIconIndex("INDEX.HTML", false, true), html);
  EXPECT_EQ(images.GetIconIndex("other.htm", false, false), html) << ".htm is HTML too";
  EXPECT_NE(images.GetIconIndex("logo.gif", false, true), html);
  const int unknown = images.GetIconIndex("#SYSTEM", false, true);
  EXPECT_EQ(images.GetIconIndex("table.zz-no-such-type", false, true), unknown);
  EXPECT_NE(unknown, html);
  EXPECT_EQ(images.IconNamesAt(html).at(0), "text-html");
  EXPECT_TRUE(images.IconNamesAt(images.GetImageList(true)->Count()).empty());

  const int open_html = images.GetIconIndex("index.html", true, true);
  EXPECT_NE(open_html, html);
  EXPECT_EQ(images.IconNamesAt(open_html).at(0), "text-html-open");
  EXPECT_EQ(images.GetIconIndex("b.html", true, true), open_html);
}

TEST(SystemImageListTest, WalkAnswersAgreeWithTheDirectOnes) {
  SystemImageList images;
  // More extensions than the instance's recent-key slots, revisited in another order, with
  // type and icon asked for different names in turn.
  std::vector<std::string> names;
  for (const char* extension : {".html", ".gif", ".css", ".png", ".js", ".txt", ".pdf", ".HTM"}) {
    names.push_back(std::string("page") + extension);
  }
  for (int i = 0; i < 150; ++i) names.push_back("f." + std::to_string(i) + "x");
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string& name = pass == 0 ? names[i] : names[names.size() - 1 - i];
      const std::string& other = names[(i * 7) % names.size()];
      EXPECT_EQ(images.TypeName(name), ShellTypeName(name)) << name;
      EXPECT_EQ(images.SmallIconIndex(other), images.GetIconIndex(other, false, true)) << other;
      EXPECT_EQ(images.SmallIconIndex(name), images.GetIconIndex(name, false, true)) << name;
    }
  }
}

}  // namespace
}  // namespace vaskel
