// What Run on a page copies besides the page: the references the scanner finds and where they
// lead inside the help file.
#include "storage/html_references.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

TEST(HtmlReferencesTest, FindsSourcesAndLinksOfTheTagsABrowserFollows) {
  const std::vector<HtmlReference> found = HtmlReferences(
      "<HTML><Link REL=stylesheet HREF='s.css'><img alt=\"a > b\" src = \"x.png\"/>"
      "<!-- <img src=\"commented.png\"> --><p src=\"no.png\"><a name=top><a href=next.htm>"
      "<frame src=\"f.htm\"><iframe src=i.htm></iframe><script src=\"j.js\"></script>"
      "<imgx src=\"no2.png\"><img src=\"unterminated");
  std::vector<std::string> targets;
  for (const HtmlReference& reference : found) {
    targets.push_back(reference.target + (reference.frame ? " (frame)" : ""));
  }
  EXPECT_EQ(targets, (std::vector<std::string>{"s.css", "x.png", "next.htm", "f.htm (frame)",
                                               "i.htm (frame)", "j.js"}));
  EXPECT_TRUE(HtmlReferences("<!-- never closed <img src=x.png>").empty());
}

TEST(HtmlReferencesTest, ResolvesAgainstThePagesFolderAndRefusesWhatLeadsOutside) {
  struct Case {
    const char* folder;
    const char* reference;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"a/b/", "x.png", "a/b/x.png"},
      {"a/b/", "../css/s.css#part", "a/css/s.css"},
      {"a/b/", "/top.htm?query", "top.htm"},
      {"a/b/", "./sub/./p%20q.htm", "a/b/sub/p q.htm"},
      {"a/", "p&amp;q.htm?a=1", "a/p&q.htm"},
      {"", "img\\win.gif", "img/win.gif"},
      {"a/", "../../outside.htm", std::nullopt},
      {"a/", "http://example.org/x.htm", std::nullopt},
      {"a/", "mailto:someone@example.org", std::nullopt},
      {"a/", "javascript:void(0)", std::nullopt},
      {"a/", "#fragment-only", std::nullopt},
      {"a/", "folder/", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveReference(c.folder, c.reference), c.expected) << c.folder << c.reference;
  }
}

}  // namespace
}  // namespace vaskel
