// The platform layer Windows adds: its name refusals, UTF-16 names on disk, CNG's SHA-256 and
// the wildcard matcher. Built and run on Linux too, where the same tables hold for the Linux
// implementations (fnmatch(3) itself checks the wildcard table).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/fs/held_folder.h"
#include "platform/fs/name_rules.h"
#include "platform/hash/sha256.h"
#include "platform/process/process_environment.h"
#include "storage/path_limit.h"
#include "tests/extraction/extraction_test_support.h"

namespace vaskel::platform {
namespace {

std::filesystem::path Utf8Path(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

struct NameCase {
  const char* name;
  bool refused;
};

class WindowsNameRules : public ::testing::TestWithParam<NameCase> {};

TEST_P(WindowsNameRules, RefusesWhatWindowsResolvesElsewhere) {
  EXPECT_EQ(WindowsNameRefusal(GetParam().name) != nullptr, GetParam().refused) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsNameRules,
    ::testing::Values(
        // Drive letters and streams.
        NameCase{"C:", true}, NameCase{"C:x", true}, NameCase{"a.htm:stream", true},
        NameCase{"a/b", true}, NameCase{"a\\b", true},
        // Devices, with or without an extension, in any case.
        NameCase{"CON", true}, NameCase{"con", true}, NameCase{"aux.txt", true},
        NameCase{"Nul.tar.gz", true}, NameCase{"PRN ", true}, NameCase{"AUX .htm", true},
        NameCase{"COM1", true}, NameCase{"com9.log", true}, NameCase{"LPT3", true},
        NameCase{"CONIN$", true}, NameCase{"COM\xC2\xB9", true},
        // Trailing dots and spaces.
        NameCase{"x.", true}, NameCase{"x ", true}, NameCase{"...", true},
        // Characters no Windows name holds, control characters among them.
        NameCase{"a<b", true}, NameCase{"a>b", true}, NameCase{"say \"hi\".htm", true},
        NameCase{"a|b", true}, NameCase{"why?.htm", true}, NameCase{"*.htm", true},
        NameCase{"tab\there", true}, NameCase{"\x1F", true}, NameCase{"new\nline", true},
        // Near misses that are ordinary names.
        NameCase{"CONSOLE", false}, NameCase{"COM10", false}, NameCase{"com", false},
        NameCase{"aux_", false}, NameCase{"LPT", false}, NameCase{"nul2.txt", false},
        NameCase{"x.txt", false}, NameCase{".hidden", false}, NameCase{"a b.htm", false},
        NameCase{"Gr\xC3\xBC\xC3\x9F"
                 "e.htm",
                 false}));

struct GlobCase {
  const char* pattern;
  const char* text;
  bool matches;
};

class Wildcards : public ::testing::TestWithParam<GlobCase> {};

TEST_P(Wildcards, MatchAsFnmatchDoes) {
  EXPECT_EQ(GlobMatches(GetParam().pattern, GetParam().text), GetParam().matches)
      << GetParam().pattern << " against " << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Wildcards,
    ::testing::Values(GlobCase{"*.htm", "a.htm", true}, GlobCase{"*.htm", "html/a.htm", true},
                      GlobCase{"*.htm", "a.html", false}, GlobCase{"*.HTM", "a.htm", false},
                      GlobCase{"images/*", "images/x/y.gif", true}, GlobCase{"a?c", "abc", true},
                      GlobCase{"a?c", "ac", false}, GlobCase{"[a-c]x", "bx", true},
                      GlobCase{"[!a-c]x", "bx", false}, GlobCase{"[]]", "]", true},
                      GlobCase{"\\*", "*", true}, GlobCase{"\\*", "a", false},
                      GlobCase{"*a*b*", "xaybz", true}, GlobCase{"*a*b", "xaybz", false},
                      GlobCase{"[ab", "[ab", true}, GlobCase{"", "", true},
                      GlobCase{"*", "", true}));

TEST(Sha256, DigestsStreamAfterStream) {
  Sha256 hash;
  const std::string abc = "abc";
  hash.Update(reinterpret_cast<const std::uint8_t*>(abc.data()), abc.size());
  EXPECT_EQ(hash.HexDigest(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  hash.Reset();
  EXPECT_EQ(hash.HexDigest(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(HeldFolder, WritesNamesOutsideAnyCodePage) {
  testing::TempFolder temp;
  HeldFolder folder;
  ASSERT_EQ(folder.Open(temp.path().string()), 0);
  const std::string level =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE6\x97\xA5\xE6\x9C\xAC";  // "Grüße 日本"
  ASSERT_EQ(folder.MakeLevel(level), 0);
  EXPECT_EQ(folder.MakeLevel(level), 0) << "an existing real folder counts as made";
  const std::string file = level + kPathSeparator + "\xF0\x9F\x93\x96.htm";  // U+1F4D6
  int error = 0;
  const int fd = folder.CreateForWriting(file.c_str(), &error);
  ASSERT_GE(fd, 0) << error;
  ASSERT_EQ(::write(fd, "page", 4), 4);
  ASSERT_EQ(::close(fd), 0);
  const auto on_disk = temp.path() / Utf8Path(level) / Utf8Path("\xF0\x9F\x93\x96.htm");
  {
    std::ifstream in(on_disk, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "page");
  }
  EXPECT_EQ(folder.MakeLevel(level + kPathSeparator + "\xF0\x9F\x93\x96.htm"), ENOTDIR);
  folder.RemoveFile(file.c_str());
  EXPECT_FALSE(std::filesystem::exists(on_disk));
}

TEST(HeldFolder, LevelSwappedForALinkAfterItWasMadeIsNotFollowed) {
  testing::TempFolder temp;
  testing::TempFolder elsewhere;
  HeldFolder folder;
  ASSERT_EQ(folder.Open(temp.path().string()), 0);
  ASSERT_EQ(folder.MakeLevel("a"), 0);
  std::filesystem::remove(temp.path() / "a");
  std::error_code link_error;
  std::filesystem::create_directory_symlink(elsewhere.path(), temp.path() / "a", link_error);
  if (link_error || !std::filesystem::is_symlink(temp.path() / "a")) {
    GTEST_SKIP() << "no links to folders here";
  }
  const std::string file = std::string("a") + kPathSeparator + "x.htm";
  int error = 0;
  const int fd = folder.CreateForWriting(file.c_str(), &error);
  if (fd >= 0) ::close(fd);
  EXPECT_LT(fd, 0);
  EXPECT_EQ(error, ELOOP);
  EXPECT_EQ(folder.MakeLevel(std::string("a") + kPathSeparator + "b"), ELOOP);
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
}

}  // namespace
}  // namespace vaskel::platform
