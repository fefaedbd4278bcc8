// Files made by the project's writer: every layout option, awkward names, and read orders that
// exercise the shared frame cache.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "platform/itss/itss_component.h"
#include "platform/itss/itss_diagnostics.h"
#include "tests/itss/itss_test_support.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel::itss::testing {
namespace {

using chmwriter::Entry;
using chmwriter::Options;

constexpr std::size_t kFrame = 32768;

Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

ComPtr<IStorage> Open(const TempFolder& dir, const std::vector<Entry>& entries,
                      Options options = {}) {
  return OpenBytes(dir, chmwriter::WriteChm(entries, options));
}

// What a walk should find: path -> bytes, or nothing for a storage.
using Expected = std::map<std::string, std::optional<Bytes>>;

void ExpectPresented(IStorage* root, const Expected& expected) {
  std::map<std::string, bool> seen, wanted;
  for (const PresentedItem& item : WalkTree(root)) seen[item.path] = item.is_storage;
  for (const auto& [path, bytes] : expected) wanted[path] = !bytes;
  EXPECT_EQ(seen, wanted);
  for (const auto& [path, bytes] : expected) {
    if (!bytes) continue;
    const ReadOutcome outcome = ReadPath(root, path);
    EXPECT_EQ(outcome.result, S_OK) << path;
    EXPECT_TRUE(outcome.bytes == *bytes) << path;
  }
}

// Version, window bits, reset interval (frames), chunk size.
class WriterLayouts
    : public ::testing::TestWithParam<std::tuple<int, int, std::uint32_t, std::uint32_t>> {};

TEST_P(WriterLayouts, PresentsAndReadsEverything) {
  Options options;
  std::tie(options.version, options.window_bits, options.reset_interval, options.chunk_size) =
      GetParam();
  std::vector<Entry> entries = {
      {"/index.html", Text("<html>start</html>"), 1},
      {"/#SYSTEM", PatternBytes(4218, 1), 0},
      {"/$WWKeywordLinks/Property", Text("four"), 1},
      {"/empty-stored.txt", {}, 0},
      {"/empty-compressed.txt", {}, 1},
      {"/empty-folder/", {}, 0},
      {"/big/first.bin", PatternBytes(3 * kFrame + 123, 2), 1},
      {"/big/second.bin", PatternBytes(5 * kFrame - 7, 3), 1},
      {"/deep/er/still/file.txt", PatternBytes(100, 4), 1},
      {"/stored/raw.bin", PatternBytes(70000, 5), 0},
  };
  // Many small files force many directory chunks when chunks are small.
  for (int i = 0; i < 300; ++i) {
    entries.push_back({"/many/file" + std::to_string(i) + ".htm", PatternBytes(i * 37, 100 + i),
                       i % 3 == 0 ? 0 : 1});
  }
  Expected expected;
  for (const Entry& entry : entries) {
    const std::string path = entry.path.substr(1);
    for (std::size_t slash = path.find('/'); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
      expected[path.substr(0, slash)] = std::nullopt;
    }
    if (!path.ends_with('/')) expected[path] = entry.data;
  }
  TempFolder dir;
  ComPtr<IStorage> root = Open(dir, entries, options);
  ASSERT_TRUE(root);
  ExpectPresented(root.Get(), expected);
  EXPECT_EQ(UnsafeEntryCount(root.Get()), 0u);
}

INSTANTIATE_TEST_SUITE_P(VersionsWindowsResetsChunks, WriterLayouts,
                         ::testing::Values(std::tuple(3, 16, 2u, 4096u),
                                           std::tuple(2, 16, 2u, 4096u),
                                           std::tuple(3, 15, 1u, 256u), std::tuple(2, 21, 4u, 512u),
                                           std::tuple(3, 17, 8u, 1024u),
                                           std::tuple(2, 18, 3u, 300u),
                                           std::tuple(3, 16, 1u, 65536u)));

TEST(WriterNames, UnsafeNamesAreHiddenAndCounted) {
  const std::vector<std::string> unsafe = {
      "/../evil.txt",
      "/a/../../evil.txt",
      "/p/../q",
      "/./x",
      "//x",
      "/a//b",
      "/..",
      "/.",
      "/dir/./",
      "/back\\slash.txt",
      "/n/\\",
      std::string("/nul\0x", 6),
      std::string("\0/x", 3),
      "",
  };
  std::vector<Entry> entries = {{"/safe.txt", Text("safe"), 1}, {"relative.txt", Text("r"), 0}};
  for (const std::string& name : unsafe) entries.push_back({name, Text("bad"), 1});
  TempFolder dir;
  ComPtr<IStorage> root = Open(dir, entries, {.sort_entries = false});
  ASSERT_TRUE(root);
  // Nothing of an unsafe entry appears, not even the folders its path implies ("a", "p", "n").
  ExpectPresented(root.Get(), {{"safe.txt", Text("safe")}, {"relative.txt", Text("r")}});
  EXPECT_EQ(UnsafeEntryCount(root.Get()), unsafe.size());
}

TEST(WriterNames, ConflictsKeepTheFirstEntry) {
  TempFolder dir;
  ComPtr<IStorage> root = Open(dir,
                               {{"/x", Text("stream x"), 1},
                                {"/x/inside.txt", Text("lost"), 1},  // needs x as a storage
                                {"/y/inside\xF0\x9F\x98\x80.txt", Text("kept"), 1},
                                {"/y", Text("lost too"), 1},         // y is already a storage
                                {"/dup\xFF.txt", Text("first"), 1},  // both read "dup\uFFFD.txt"
                                {"/dup\xFE.txt", Text("second"), 0},
                                {"/y/", {}, 0}},  // an explicit entry for an existing folder
                               {.sort_entries = false});
  ASSERT_TRUE(root);
  ExpectPresented(root.Get(), {{"x", Text("stream x")},
                               {"y", std::nullopt},
                               {"y/inside\xF0\x9F\x98\x80.txt", Text("kept")},
                               {"dup\xEF\xBF\xBD.txt", Text("first")}});
}

// Three large files back to back in section 1, with a 4-frame reset interval.
class WriterLargeSection : public ::testing::Test {
 protected:
  ComPtr<IStorage> OpenSection() { return Open(dir_, entries_, {.reset_interval = 4}); }
  std::uint64_t frames() const { return (77 * kFrame + 6 + kFrame - 1) / kFrame; }

  TempFolder dir_;
  const std::vector<Entry> entries_ = {
      {"/a.bin", PatternBytes(40 * kFrame + 1000, 11), 1},
      {"/b.bin", PatternBytes(7 * kFrame + 5, 12), 1},
      {"/c.bin", PatternBytes(30 * kFrame - 999, 13), 1},
  };
};

TEST_F(WriterLargeSection, AStreamInTheMiddleDecodesFromItsResetPointOnly) {
  ComPtr<IStorage> root = OpenSection();
  ASSERT_TRUE(root);
  EXPECT_EQ(ReadPath(root.Get(), "b.bin").bytes, entries_[1].data);
  // b touches 9 frames; at most 3 more come before it in its reset interval.
  EXPECT_LE(DecodeStatisticsOf(root.Get()).frames_decoded, 9u + 3u);
}

TEST_F(WriterLargeSection, ReadingInDataOrderDecodesEveryFrameOnce) {
  for (const std::uint32_t read_size : {4096u, 65536u}) {
    ComPtr<IStorage> root = OpenSection();
    ASSERT_TRUE(root);
    for (const Entry& entry : entries_) {
      EXPECT_EQ(ReadPath(root.Get(), entry.path.substr(1), read_size).bytes, entry.data);
    }
    EXPECT_EQ(DecodeStatisticsOf(root.Get()).frames_decoded, frames());
    // Frames read in part are kept (read again, free); frames read whole are not (decoded again).
    EXPECT_EQ(ReadPath(root.Get(), "c.bin", read_size).bytes, entries_[2].data);
    EXPECT_EQ(DecodeStatisticsOf(root.Get()).frames_decoded - frames() == 0, read_size < kFrame);
  }
}

TEST_F(WriterLargeSection, ReadingInReverseDataOrderCostsAtMostAResetIntervalPerJump) {
  ComPtr<IStorage> root = OpenSection();
  ASSERT_TRUE(root);
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    EXPECT_EQ(ReadPath(root.Get(), it->path.substr(1)).bytes, it->data);
  }
  EXPECT_LE(DecodeStatisticsOf(root.Get()).frames_decoded, frames() + 3 * 4);
}

}  // namespace
}  // namespace vaskel::itss::testing
