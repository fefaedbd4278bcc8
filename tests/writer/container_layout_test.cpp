// The container structure of written files: chunk chains, counts, quickrefs, index levels, order,
// raw names and the compressed section's description.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/writer/stored_directory.h"
#include "tests/writer/writer_test_support.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel::chmwriter::test_support {
namespace {

const std::string kMs = "::DataSpace/Storage/MSCompressed/";
const std::string kResetTable =
    kMs + "Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";

std::string Folded(std::string name) {
  for (char& c : name) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return name;
}

std::vector<std::string> NamesOf(const std::vector<StoredEntry>& entries) {
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.name);
  return names;
}

Bytes Section0(const Bytes& file, const StoredDirectory& dir, const std::string& name) {
  const StoredEntry& entry = dir.Find(name);
  if (dir.content_offset + entry.offset + entry.length > file.size()) {
    throw std::out_of_range(name + " runs past the file");
  }
  const auto begin = file.begin() + static_cast<std::ptrdiff_t>(dir.content_offset + entry.offset);
  return Bytes(begin, begin + static_cast<std::ptrdiff_t>(entry.length));
}

std::uint64_t Le64(const Bytes& bytes, std::size_t at) {
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value |= std::uint64_t{bytes.at(at + i)} << (8 * i);
  return value;
}

TEST(WriterLayout, ListingAndIndexChunksAreLinkedCountedAndSorted) {
  std::vector<Entry> entries;
  for (int i = 0; i < 150; ++i) {
    entries.push_back({"/Topics/Page_" + std::to_string(i * 7919 % 150) + ".html",
                       ToBytes(std::to_string(i)), i % 2});
  }
  entries.push_back({"/[brackets].txt", ToBytes("b"), 1});
  const Bytes file = WriteChm(entries, {3, 16, 2, 256, true, true});
  const StoredDirectory dir = ReadStoredDirectory(file);

  ASSERT_GE(dir.depth, 3u) << "expected more than one index level at this chunk size";
  ASSERT_EQ(dir.root_index, static_cast<std::int32_t>(dir.chunks.size() - 1));
  ASSERT_EQ(dir.first_listing, 0u);
  for (std::uint32_t i = 0; i < dir.chunks.size(); ++i) {
    const StoredChunk& chunk = dir.chunks[i];
    ASSERT_EQ(chunk.is_listing, i <= dir.last_listing) << i;
    for (std::size_t k = 0; k < chunk.quickrefs.size(); ++k) {
      EXPECT_EQ(chunk.quickrefs[k], chunk.entry_offsets[(k + 1) * 5]) << "chunk " << i;
    }
    if (chunk.is_listing) {
      EXPECT_EQ(chunk.previous, i == 0 ? -1 : static_cast<std::int32_t>(i - 1));
      EXPECT_EQ(chunk.next, i == dir.last_listing ? -1 : static_cast<std::int32_t>(i + 1));
    }
    // Each index entry names the first name found below it.
    for (const auto& [name, child] : chunk.children) {
      ASSERT_LT(child, i);
      const StoredChunk& below = dir.chunks[child];
      EXPECT_EQ(name, below.is_listing ? below.entries.front().name : below.children.front().first);
    }
  }

  std::vector<std::string> listed = NamesOf(dir.ListingOrder());
  EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(),
                             [](const auto& a, const auto& b) { return Folded(a) < Folded(b); }));
  std::vector<std::string> expected = {"/",
                                       "::DataSpace/NameList",
                                       kMs + "Content",
                                       kMs + "ControlData",
                                       kMs + "SpanInfo",
                                       kMs + "Transform/List",
                                       kResetTable};
  for (const auto& entry : entries) expected.push_back(entry.path);
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
}

TEST(WriterLayout, UnsortedHostileNamesAreStoredRawAndInTheGivenOrder) {
  const std::vector<std::string> names = {
      "/z.txt",     "/a/../b", "/./x",    "//x",      "/back\\slash", "/#hash", "/$dollar",
      "/ünï/ß.txt", "/A.html", "/a.html", "relative", "/empty/",      "/zero"};
  std::vector<Entry> entries;
  for (const auto& name : names) {
    const bool empty = name == "/empty/" || name == "/zero";
    entries.push_back({name, empty ? Bytes{} : ToBytes("data of " + name), 0});
  }
  const Bytes file = WriteChm(entries, {2, 16, 2, 512, false, true});
  const StoredDirectory dir = ReadStoredDirectory(file);
  EXPECT_EQ(dir.version, 2u);

  std::vector<std::string> expected = {"/"};
  expected.insert(expected.end(), names.begin(), names.end());
  expected.push_back("::DataSpace/NameList");
  EXPECT_EQ(NamesOf(dir.ListingOrder()), expected);
  for (const Entry& entry : entries) {
    EXPECT_TRUE(Section0(file, dir, entry.path) == entry.data) << entry.path;
  }
  EXPECT_EQ(dir.Find("/zero").offset, 0u);
  // Section 0 only: the name list holds just "Uncompressed".
  EXPECT_EQ(Section0(file, dir, "::DataSpace/NameList").size(), 32u);
}

// What the extractors cannot see: ControlData fields (stored blocks decode with any window), and
// the closing reset-table entry that 7-Zip needs when section 1 is a whole number of frames.
TEST(WriterLayout, ControlDataAndResetTableDescribeTheFrames) {
  const Bytes data = PseudoRandomBytes(4 * 0x8000, 1);
  const Bytes file = WriteChm({{"/four-frames.bin", data, 1}}, {3, 17, 2, 4096, true, true});
  const StoredDirectory dir = ReadStoredDirectory(file);
  const Bytes expected_control = {6, 0, 0, 0, 'L', 'Z', 'X', 'C', 2, 0, 0, 0, 2, 0,
                                  0, 0, 4, 0, 0,   0,   1,   0,   0, 0, 0, 0, 0, 0};
  EXPECT_TRUE(Section0(file, dir, kMs + "ControlData") == expected_control);
  EXPECT_EQ(Le64(Section0(file, dir, kMs + "SpanInfo"), 0), data.size());

  const Bytes table = Section0(file, dir, kResetTable);
  const std::uint64_t content_length = dir.Find(kMs + "Content").length;
  ASSERT_EQ(table.size(), 0x28u + 8 * 5);
  EXPECT_EQ(Le64(table, 4) & 0xFFFFFFFF, 5u);
  EXPECT_EQ(Le64(table, 0x10), data.size());
  EXPECT_EQ(Le64(table, 0x18), content_length);
  EXPECT_EQ(Le64(table, 0x20), 0x8000u);
  EXPECT_EQ(Le64(table, 0x28 + 8 * 4), content_length);
}

TEST(WriterLayout, OutputIsReproducibleAndImpossibleRequestsAreRefused) {
  const std::vector<Entry> entries = {{"/b", ToBytes("bee"), 1}, {"/a", ToBytes("ay"), 0}};
  EXPECT_EQ(WriteChm(entries), WriteChm(entries));

  for (const Options& bad :
       {Options{.version = 4}, Options{.window_bits = 14}, Options{.window_bits = 22},
        Options{.reset_interval = 0}, Options{.chunk_size = 0x10001}}) {
    EXPECT_THROW(WriteChm(entries, bad), std::invalid_argument);
  }
  EXPECT_THROW(WriteChm({{"/x", ToBytes("x"), 2}}), std::invalid_argument);
  EXPECT_THROW(WriteChm({{"/" + std::string(300, 'n'), {}, 0}}, {.chunk_size = 256}),
               std::invalid_argument);
}

}  // namespace
}  // namespace vaskel::chmwriter::test_support
