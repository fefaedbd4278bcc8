#include "storage/entry_target.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "storage/extraction_error.h"
#include "storage/path_limit.h"

namespace vaskel {
namespace {

constexpr std::size_t kLongestPath = kPlatformPathLimit - 1;

int RefusalOf(std::string_view folder, std::string_view path, std::string_view name,
              bool use_path = true) {
  try {
    ComposeEntryTarget(folder, path, name, use_path);
  } catch (const ExtractionError& error) {
    return error.OsError();
  }
  return 0;
}

TEST(EntryTargetTest, JoinsEveryPartWithExactlyOneSeparator) {
  const EntryTarget nested = ComposeEntryTarget("out", "a/b/", "page.html", true);
  EXPECT_EQ(nested.full_path, "out/a/b/page.html");
  EXPECT_STREQ(nested.Relative(), "a/b/page.html");
  ASSERT_EQ(nested.level_ends.size(), 2u);
  EXPECT_EQ(nested.Level(0), "a");
  EXPECT_EQ(nested.Level(1), "a/b");

  EXPECT_EQ(ComposeEntryTarget("out/", "a/", "x", true).full_path, "out/a/x");
  EXPECT_EQ(ComposeEntryTarget("out///", "", "x", true).full_path, "out/x");
  EXPECT_EQ(ComposeEntryTarget("/", "a/", "x", true).full_path, "/a/x");
  EXPECT_EQ(ComposeEntryTarget("/", "", "x", true).destination_folder, "/");
  // A Path without its trailing separator still names its last level.
  EXPECT_EQ(ComposeEntryTarget("out", "a/b", "x", true).full_path, "out/a/b/x");
}

TEST(EntryTargetTest, FlatTargetsIgnoreThePathAndKeepTheNamesLetterCase) {
  const EntryTarget flat = ComposeEntryTarget("out", "a/b/", "ReadMe.TXT", false);
  EXPECT_EQ(flat.full_path, "out/ReadMe.TXT");
  EXPECT_TRUE(flat.level_ends.empty());
  // With use path on, a root stream has no levels either.
  EXPECT_TRUE(ComposeEntryTarget("out", "", "x", true).level_ends.empty());
  // A backslash is an ordinary character of a name here.
  EXPECT_EQ(ComposeEntryTarget("out", "a\\b/", "c\\d", true).full_path, "out/a\\b/c\\d");
}

TEST(EntryTargetTest, RefusesNamesThatWouldLeaveTheDestinationFolder) {
  for (const char* path : {"../", "a/../", "./", "a//", "/a/", "a/./b/"}) {
    EXPECT_EQ(RefusalOf("out", path, "x"), EINVAL) << path;
  }
  for (const char* name : {"..", ".", "", "a/b", "/etc"}) {
    EXPECT_EQ(RefusalOf("out", "", name), EINVAL) << name;
    EXPECT_EQ(RefusalOf("out", "a/", name, false), EINVAL) << name;
  }
  EXPECT_EQ(RefusalOf("out", std::string("a\0b/", 4), "x"), EINVAL);
  EXPECT_EQ(RefusalOf("out", "", std::string("x\0y", 3)), EINVAL);
  // Unsafe levels do not matter when the path is not used.
  EXPECT_EQ(RefusalOf("out", "../", "x", false), 0);
  EXPECT_EQ(RefusalOf("", "", "x"), EINVAL);
}

TEST(EntryTargetTest, RefusesPathsBeyondThePlatformLimitAndNamesTheCulprit) {
  const std::string folder_at_limit(kLongestPath, 'd');
  EXPECT_EQ(RefusalOf(folder_at_limit + "d", "", "x"), ENAMETOOLONG);
  try {
    ComposeEntryTarget(folder_at_limit + "d", "", "x", true);
  } catch (const ExtractionError& error) {
    EXPECT_EQ(error.Destination(), folder_at_limit + "d");
    EXPECT_NE(error.Reason().find(std::to_string(kLongestPath)), std::string::npos);
  }

  // The composed path may use the limit exactly, not one byte more.
  const std::string folder(kLongestPath - 2 - 100 - 50, 'd');
  const std::string level(100, 'l');
  const std::string name(50, 'n');
  EXPECT_EQ(ComposeEntryTarget(folder, level + "/", name, true).full_path.size(), kLongestPath);
  EXPECT_EQ(RefusalOf(folder, level + "/", name + "n"), ENAMETOOLONG);
  // The same entry fits when the level is not used.
  EXPECT_EQ(RefusalOf(folder, level + "/", name + "n", false), 0);
  // A single name longer than file systems take is refused up front as well.
  EXPECT_EQ(RefusalOf("out", "", std::string(256, 'n')), ENAMETOOLONG);
  EXPECT_EQ(RefusalOf("out", std::string(256, 'l') + "/", "x"), ENAMETOOLONG);
  EXPECT_EQ(RefusalOf("out", "", std::string(255, 'n')), 0);
}

}  // namespace
}  // namespace vaskel
