// Written files checked by an extractor that shares no code with us: 7-Zip (ITSF version 3 only;
// it refuses the 0x58-byte version-2 header; the reader's round trips cover version 2).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/writer/writer_test_support.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel::chmwriter::test_support {
namespace {

// Both sections, frames crossed by files, empty files and folders, names outside ASCII, names
// differing only in case, compiler-style "#" and "$" names, and enough names for many chunks.
std::vector<Entry> MixedEntries(bool pad_to_whole_frames) {
  std::vector<Entry> entries = {
      {"/index.html", ToBytes("<html><body>Start</body></html>"), 1},
      {"/big.bin", PatternBytes(200000, 1), 1},
      {"/stored/big0.bin", PatternBytes(70001, 2), 0},
      {"/#SYSTEM", PatternBytes(321, 3), 1},
      {"/$OBJINST", PatternBytes(17, 4), 0},
      {"/empty.txt", {}, 1},
      {"/stored/empty0.txt", {}, 0},
      {"/empty/", {}, 0},
      {"/guide/", {}, 0},
      {"/guide/Intro.html", ToBytes("intro"), 1},
      {"/Ünïcödé/日本語.html", ToBytes("こんにちは"), 1},
      {"/café.txt", ToBytes("crème"), 0},
      {"/A.html", ToBytes("upper"), 1},
      {"/a.html", ToBytes("lower"), 1},
  };
  for (int i = 0; i < 60; ++i) {
    entries.push_back({"/pages/page" + std::to_string(i) + ".html",
                       PatternBytes(100 + 37 * i, 10 + i), i % 3 == 0 ? 0 : 1});
  }
  if (pad_to_whole_frames) {
    std::size_t section1 = 0;
    for (const auto& entry : entries) section1 += entry.section == 1 ? entry.data.size() : 0;
    entries.push_back({"/pad.bin", PatternBytes(0x8000 - section1 % 0x8000, 99), 1});
  }
  return entries;
}

void ExpectExtractsExactly(const std::vector<std::string>& command_before_file,
                           const std::vector<Entry>& entries, const Options& options) {
  TempFolder temp;
  const auto chm = temp.path() / "test.chm";
  const auto out = temp.path() / "out";
  WriteBytes(chm, WriteChm(entries, options));
  std::vector<std::string> argv = command_before_file;
  argv.push_back(chm.string());
  argv.push_back("-o" + out.string());
  const RunResult result = RunProgram(argv);
  ASSERT_TRUE(result.exited_ok) << result.output;
  const Tree expected = ExpectedTree(entries);
  const Tree extracted = ReadTree(out);
  ASSERT_EQ(Names(extracted), Names(expected));
  for (const auto& [name, bytes] : expected.files) {
    EXPECT_TRUE(extracted.files.at(name) == bytes) << name;
  }
}

struct Case {
  Options options;
  bool pad_to_whole_frames = false;
};

std::string Describe(const Case& c) {
  const Options& o = c.options;
  return "v" + std::to_string(o.version) + " window 2^" + std::to_string(o.window_bits) +
         " reset " + std::to_string(o.reset_interval) + " chunk " + std::to_string(o.chunk_size) +
         (o.sort_entries ? "" : " unsorted") + (o.write_index ? "" : " no-index") +
         (c.pad_to_whole_frames ? " whole-frames" : "");
}

TEST(WriterOracle, SevenZipExtractsEveryFileAcrossWindowsResetsAndChunkSizes) {
  if (!HaveProgram("7zz")) GTEST_SKIP() << "7zz not installed";
  const std::vector<Case> cases = {
      {{3, 15, 1, 4096, true, true}},       {{3, 16, 2, 512, true, true}},
      {{3, 21, 4, 256, false, true}},       {{3, 17, 8, 256, true, false}, true},
      {{3, 16, 2, 4096, true, true}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c));
    ExpectExtractsExactly({"7zz", "x", "-y"}, MixedEntries(c.pad_to_whole_frames), c.options);
  }
}

TEST(WriterOracle, SevenZipExtractsSectionZeroOnlyAndEmptyCompressedSection) {
  if (!HaveProgram("7zz")) GTEST_SKIP() << "7zz not installed";
  ExpectExtractsExactly({"7zz", "x", "-y"},
                        {{"/a.txt", ToBytes("Hello"), 0},
                         {"/empty.txt", {}, 0},
                         {"/sub/", {}, 0},
                         {"/sub/B.txt", ToBytes("World!"), 0}},
                        {});
  ExpectExtractsExactly({"7zz", "x", "-y"},
                        {{"/nothing.txt", {}, 1}, {"/raw.txt", ToBytes("raw"), 0}}, {});
}

TEST(WriterOracle, SevenZipExtractsFiftyMegabyteStream) {
  if (!HaveProgram("7zz")) GTEST_SKIP() << "7zz not installed";
  ExpectExtractsExactly(
      {"7zz", "x", "-y"},
      {{"/large.bin", PatternBytes(50u << 20, 7), 1}, {"/after.txt", ToBytes("tail"), 1}}, {});
}

}  // namespace
}  // namespace vaskel::chmwriter::test_support
