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

std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

// The items a walk should find: path -> (is storage, bytes).
using Expected = std::map<std::string, std::pair<bool, std::vector<std::uint8_t>>>;

void ExpectPresented(IStorage* root, const Expected& expected) {
  std::map<std::string, bool> seen;
  for (const PresentedItem& item : WalkTree(root)) seen[item.path] = item.is_storage;
  std::map<std::string, bool> wanted;
  for (const auto& [path, what] : expected) wanted[path] = what.first;
  EXPECT_EQ(seen, wanted);
  for (const auto& [path, what] : expected) {
    if (what.first) continue;
    SCOPED_TRACE(path);
    const ReadOutcome outcome = ReadPath(root, path);
    EXPECT_EQ(outcome.result, S_OK);
    EXPECT_TRUE(outcome.bytes == what.second);
  }
}

// Version, window bits, reset interval (frames), chunk size.
using Layout = std::tuple<int, int, std::uint32_t, std::uint32_t>;

class WriterLayouts : public ::testing::TestWithParam<Layout> {};

TEST_P(WriterLayouts, PresentsAndReadsEverything) {
  const auto [version, window_bits, reset_interval, chunk_size] = GetParam();
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
  Options options;
  options.version = version;
  options.window_bits = window_bits;
  options.reset_interval = reset_interval;
  options.chunk_size = chunk_size;

  Expected expected;
  for (const Entry& entry : entries) {
    std::string path = entry.path.substr(1);
    const bool folder = path.ends_with('/');
    if (folder) path.pop_back();
    expected[path] = {folder, entry.data};
    for (std::size_t slash = path.find('/'); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
      expected[path.substr(0, slash)] = {true, {}};
    }
  }

  TempDir dir;
  HRESULT hr = E_FAIL;
  ComPtr<IStorage> root = OpenBytes(dir, chmwriter::WriteChm(entries, options), &hr);
  ASSERT_EQ(hr, S_OK);
  ExpectPresented(root.Get(), expected);
  EXPECT_EQ(UnsafeEntryCount(root.Get()), 0u);
}

INSTANTIATE_TEST_SUITE_P(VersionsWindowsResetsChunks, WriterLayouts,
                         ::testing::Values(Layout{3, 16, 2, 4096}, Layout{2, 16, 2, 4096},
                                           Layout{3, 15, 1, 256}, Layout{2, 21, 4, 512},
                                           Layout{3, 17, 8, 1024}, Layout{2, 18, 3, 300},
                                           Layout{3, 16, 1, 65536}));

TEST(WriterNames, DirectoryOrderCaseAndNonAsciiNamesArePreserved) {
  const std::vector<Entry> entries = {
      {"/zeta.html", Text("z"), 1},
      {"/A.html", Text("upper"), 1},
      {"/a.html", Text("lower"), 0},
      {"/M\xC3\xBCller/na\xC3\xAFve.html", Text("umlaut"), 1},
      {"/\xE6\x97\xA5\xE6\x9C\xAC.txt", Text("cjk"), 1},
      {"/\xF0\x9F\x98\x80.txt", Text("emoji"), 0},
      {"/#STRINGS", Text("s"), 1},
      {"/$OBJINST", Text("o"), 1},
      {"/bad\xFF.txt", Text("invalid utf-8"), 1},
  };
  Options options;
  options.sort_entries = false;
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, chmwriter::WriteChm(entries, options));
  ASSERT_TRUE(root);

  std::vector<std::u16string> names;
  ComPtr<IEnumSTATSTG> elements;
  ASSERT_EQ(root->EnumElements(0, nullptr, 0, elements.Put()), S_OK);
  for (STATSTG stat; elements->Next(1, &stat, nullptr) == S_OK;) names.push_back(stat.pwcsName);
  const std::vector<std::u16string> expected = {
      u"zeta.html",      u"A.html",   u"a.html",   u"M\u00FCller",  u"\u65E5\u672C.txt",
      u"\U0001F600.txt", u"#STRINGS", u"$OBJINST", u"bad\uFFFD.txt"};
  EXPECT_EQ(names, expected);

  EXPECT_EQ(ReadPath(root.Get(), "A.html").bytes, Text("upper"));
  EXPECT_EQ(ReadPath(root.Get(), "a.html").bytes, Text("lower"));
  EXPECT_EQ(ReadPath(root.Get(), "M\xC3\xBCller/na\xC3\xAFve.html").bytes, Text("umlaut"));
  EXPECT_EQ(ReadPath(root.Get(), "\xF0\x9F\x98\x80.txt").bytes, Text("emoji"));
  EXPECT_EQ(ReadPath(root.Get(), "bad\xEF\xBF\xBD.txt").bytes, Text("invalid utf-8"));
  EXPECT_EQ(UnsafeEntryCount(root.Get()), 0u);
}

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
      "/trailing/..",
  };
  std::vector<Entry> entries = {{"/safe.txt", Text("safe"), 1}, {"relative.txt", Text("r"), 0}};
  for (const std::string& name : unsafe) entries.push_back({name, Text("bad"), 1});
  Options options;
  options.sort_entries = false;
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, chmwriter::WriteChm(entries, options));
  ASSERT_TRUE(root);

  // Nothing of an unsafe entry appears, not even the folders its path implies ("a", "p", "n").
  Expected expected = {{"safe.txt", {false, Text("safe")}}, {"relative.txt", {false, Text("r")}}};
  ExpectPresented(root.Get(), expected);
  EXPECT_EQ(UnsafeEntryCount(root.Get()), unsafe.size());
}

TEST(WriterNames, ConflictsKeepTheFirstEntry) {
  const std::vector<Entry> entries = {
      {"/x", Text("stream x"), 1},
      {"/x/inside.txt", Text("lost"), 1},  // needs x as a storage
      {"/y/inside.txt", Text("kept"), 1},
      {"/y", Text("lost too"), 1},  // y is already a storage
      {"/dup.txt", Text("first"), 1},
      {"/dup.txt", Text("second"), 0},
      {"/y/", {}, 0},  // an explicit folder entry for an existing folder changes nothing
  };
  Options options;
  options.sort_entries = false;
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, chmwriter::WriteChm(entries, options));
  ASSERT_TRUE(root);
  Expected expected = {{"x", {false, Text("stream x")}},
                       {"y", {true, {}}},
                       {"y/inside.txt", {false, Text("kept")}},
                       {"dup.txt", {false, Text("first")}}};
  ExpectPresented(root.Get(), expected);
  EXPECT_EQ(UnsafeEntryCount(root.Get()), 0u);
}

// Three large files back to back in section 1, with a 4-frame reset interval.
struct LargeSection {
  std::vector<Entry> entries = {
      {"/a.bin", PatternBytes(40 * kFrame + 1000, 11), 1},
      {"/b.bin", PatternBytes(7 * kFrame + 5, 12), 1},
      {"/c.bin", PatternBytes(30 * kFrame - 999, 13), 1},
  };
  std::uint64_t frames() const {
    std::uint64_t total = 0;
    for (const Entry& entry : entries) total += entry.data.size();
    return (total + kFrame - 1) / kFrame;
  }
  std::vector<std::uint8_t> Write() const {
    Options options;
    options.reset_interval = 4;
    return chmwriter::WriteChm(entries, options);
  }
};

TEST(WriterLargeSection, AStreamInTheMiddleDecodesFromItsResetPointOnly) {
  LargeSection section;
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, section.Write());
  ASSERT_TRUE(root);
  EXPECT_EQ(ReadPath(root.Get(), "b.bin").bytes, section.entries[1].data);
  // b spans 8 or 9 frames; at most 3 more come before it in its reset interval.
  EXPECT_LE(DecodeStatisticsOf(root.Get()).frames_decoded, 9u + 3u);
}

TEST(WriterLargeSection, ReadingInDataOrderDecodesEveryFrameOnce) {
  LargeSection section;
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, section.Write());
  ASSERT_TRUE(root);
  for (const std::uint32_t read_size : {4096u, 65536u, 1000u}) {
    ComPtr<IStorage> again =
        OpenBytes(dir, section.Write(), nullptr, "size" + std::to_string(read_size) + ".chm");
    for (const Entry& entry : section.entries) {
      EXPECT_EQ(ReadPath(again.Get(), entry.path.substr(1), read_size).bytes, entry.data);
    }
    EXPECT_EQ(DecodeStatisticsOf(again.Get()).frames_decoded, section.frames());
  }
}

TEST(WriterLargeSection, ReadingInReverseDataOrderGivesCorrectBytes) {
  LargeSection section;
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, section.Write());
  ASSERT_TRUE(root);
  for (auto it = section.entries.rbegin(); it != section.entries.rend(); ++it) {
    EXPECT_EQ(ReadPath(root.Get(), it->path.substr(1)).bytes, it->data);
  }
  // Each jump back costs at most one reset interval of extra decoding.
  EXPECT_LE(DecodeStatisticsOf(root.Get()).frames_decoded, section.frames() + 3 * 4);
}

TEST(WriterLargeSection, InterleavedStreamsShareTheDecoder) {
  LargeSection section;
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, section.Write());
  ASSERT_TRUE(root);
  std::vector<ComPtr<IStream>> streams;
  std::vector<std::vector<std::uint8_t>> got(section.entries.size());
  for (const Entry& entry : section.entries) {
    streams.push_back(OpenStreamAt(root.Get(), entry.path.substr(1)));
  }
  std::vector<std::uint8_t> buffer(50000);
  for (bool progress = true; progress;) {
    progress = false;
    for (std::size_t i = 0; i < streams.size(); ++i) {
      ULONG read = 0;
      ASSERT_EQ(streams[i]->Read(buffer.data(), static_cast<ULONG>(buffer.size()), &read), S_OK);
      got[i].insert(got[i].end(), buffer.begin(), buffer.begin() + read);
      progress = progress || read > 0;
    }
  }
  for (std::size_t i = 0; i < streams.size(); ++i) EXPECT_TRUE(got[i] == section.entries[i].data);
}

}  // namespace
}  // namespace vaskel::itss::testing
