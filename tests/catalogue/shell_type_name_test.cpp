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

}  // namespace
}  // namespace vaskel
