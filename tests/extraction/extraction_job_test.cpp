// The extraction job through the real reader: whatever order the rows come in, the files
// written are the same, and match what 7-Zip writes from a help file compiled by chmcmd (really
// compressed, stored in an order unrelated to the names); read-ahead stays within its buffers.
#include "storage/extraction_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "storage/catalogue_list.h"
#include "storage/entry_files.h"
#include "storage/storage_engine.h"
#include "storage/type_and_icon_source.h"
#include "tests/extraction/extraction_test_support.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel {
namespace {

namespace fs = std::filesystem;
using chmwriter::Entry;
using testing::Bytes;
using ::testing::ElementsAre;
using testing::PatternBytes;
using testing::ReadBytes;
using testing::TreeOf;

class NoTypes final : public TypeAndIconSource {
 public:
  std::string_view TypeName(std::string_view) override { return {}; }
  int SmallIconIndex(std::string_view) override { return 0; }
};

enum class RowOrder { kCatalogue, kSortedByName, kReversed };

bool HasTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

class ExtractionJobTest : public ::testing::TestWithParam<RowOrder> {
 protected:
  void Open(const fs::path& file) {
    ASSERT_EQ(engine.OpenFile(file.string()), S_OK);
    engine.Reset();
    engine.WalkStorage(list, no_types, engine.GetRootStorage(), std::string());
  }
  void Open(const std::vector<Entry>& entries) {
    const Bytes bytes = chmwriter::WriteChm(entries);
    const fs::path file = work.path() / "made.chm";
    testing::WriteText(file, std::string(bytes.begin(), bytes.end()));
    Open(file);
  }
  std::vector<JobEntry> Rows(RowOrder order) const {
    std::vector<JobEntry> entries;
    for (int row = 0; row < list.GetItemCount(); ++row) {
      entries.push_back({ComPtr<IStorage>::Share(
                             engine.StorageAt(static_cast<std::int32_t>(list.GetItemData(row)))),
                         std::string(list.GetItemText(row, kPathColumn)),
                         std::string(list.GetItemText(row, kNameColumn))});
    }
    if (order == RowOrder::kSortedByName) {
      std::sort(entries.begin(), entries.end(),
                [](const JobEntry& a, const JobEntry& b) { return a.name < b.name; });
    } else if (order == RowOrder::kReversed) {
      std::reverse(entries.begin(), entries.end());
    }
    return entries;
  }
  // Writes the rows in `order` into `folder`; returns the files written.
  std::size_t Unpack(RowOrder order, const fs::path& folder, bool use_path = true) {
    fs::create_directories(folder);
    std::vector<JobEntry> entries = Rows(order);
    if (!use_path) entries = LastOfEachName(std::move(entries));
    ExtractionJob job(std::move(entries));
    EntryFiles files(job.Entries(), folder.string(), use_path);
    EXPECT_TRUE(job.Run(files));
    EXPECT_EQ(files.Damaged() + files.Skipped(), 0u);
    return files.FilesWritten();
  }

  testing::TempFolder work;
  StorageEngine engine;
  CatalogueList list;
  NoTypes no_types;
};

TEST_P(ExtractionJobTest, EveryRowComesOutByteForByte) {
  // Data laid out in another order than the names are listed, across many LZX frames.
  const Bytes big = PatternBytes(300000, 1);
  const Bytes page = PatternBytes(5000, 2);
  const Bytes deep = PatternBytes(8192, 3);
  Open({{"/html/deep/er/Page.HTM", deep, 1},
        {"/big.bin", big, 1},
        {"/html/index.html", page, 0},
        {"/empty.txt", {}, 1},
        {"/#SYSTEM", PatternBytes(10, 4), 0},
        {"/$meta/inside", PatternBytes(10, 5), 1}});
  EXPECT_EQ(Unpack(GetParam(), work.path() / "out"), 4u);
  EXPECT_THAT(TreeOf(work.path() / "out"),
              ElementsAre("big.bin", "empty.txt", "html/", "html/deep/", "html/deep/er/",
                          "html/deep/er/Page.HTM", "html/index.html"));
  EXPECT_EQ(ReadBytes(work.path() / "out/big.bin"), big);
  EXPECT_EQ(ReadBytes(work.path() / "out/html/index.html"), page);
  EXPECT_EQ(ReadBytes(work.path() / "out/html/deep/er/Page.HTM"), deep);
  EXPECT_TRUE(ReadBytes(work.path() / "out/empty.txt").empty());
}

TEST_P(ExtractionJobTest, CompressedFileMatchesSevenZip) {
  if (!HasTool("chmcmd") || !HasTool("7zz") || !HasTool("python3"))
    GTEST_SKIP() << "needs chmcmd, 7zz and python3";
  const fs::path tree = work.path() / "pages";
  const std::string make = "python3 '" VASKEL_SOURCE_DIR "/tools/chmcmd_tree.py' pages 400 '" +
                           tree.string() + "' && cd '" + tree.string() +
                           "' && chmcmd project.hhp >/dev/null 2>&1";
  ASSERT_EQ(std::system(make.c_str()), 0);
  const fs::path theirs = work.path() / "theirs";
  ASSERT_EQ(std::system(("cd '" + work.path().string() + "' && LC_ALL=C.UTF-8 7zz x pages.chm " +
                         "-otheirs -y -bso0 -bsp0 >/dev/null && find theirs -depth -mindepth 1 " +
                         "-name '[#$]*' -exec rm -rf {} +")
                            .c_str()),
            0);
  Open(work.path() / "pages.chm");
  ASSERT_GT(list.GetItemCount(), 400);
  Unpack(GetParam(), work.path() / "ours");
  const std::vector<std::string> paths = TreeOf(theirs);
  ASSERT_EQ(TreeOf(work.path() / "ours"), paths);
  for (const std::string& path : paths) {
    if (path.back() == '/') continue;
    ASSERT_EQ(ReadBytes(work.path() / "ours" / path), ReadBytes(theirs / path)) << path;
  }
}

INSTANTIATE_TEST_SUITE_P(RowOrders, ExtractionJobTest,
                         ::testing::Values(RowOrder::kCatalogue, RowOrder::kSortedByName,
                                           RowOrder::kReversed),
                         [](const auto& info) {
                           return info.param == RowOrder::kCatalogue      ? std::string("Catalogue")
                                  : info.param == RowOrder::kSortedByName ? std::string("Sorted")
                                                                          : std::string("Reversed");
                         });

class ExtractionJobFileTest : public ExtractionJobTest {};

TEST_F(ExtractionJobFileTest, FlatUnpackKeepsTheLastOfEqualNamesInListOrder) {
  Open({{"/a/index.html", PatternBytes(100, 1), 1},
        {"/b/index.html", PatternBytes(200, 2), 1},
        {"/index.html", PatternBytes(300, 3), 1}});
  for (const RowOrder order : {RowOrder::kCatalogue, RowOrder::kReversed}) {
    const std::string last = Rows(order).back().internal_path;
    // The Path text ends in the platform's separator, '/' here and '\\' on Windows.
    const Bytes expected = last.starts_with('a')   ? PatternBytes(100, 1)
                           : last.starts_with('b') ? PatternBytes(200, 2)
                                                   : PatternBytes(300, 3);
    const fs::path flat = work.path() / ("flat" + std::to_string(static_cast<int>(order)));
    EXPECT_EQ(Unpack(order, flat, false), 1u);
    EXPECT_THAT(TreeOf(flat), ElementsAre("index.html"));
    EXPECT_EQ(ReadBytes(flat / "index.html"), expected);
  }
}

// Takes its time over every write, so that the reading thread runs as far ahead as it may.
class SlowSink final : public EntrySink {
 public:
  void Begin(std::size_t, std::uint64_t) override {}
  void Write(std::span<const std::uint8_t> bytes) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    bytes_ += bytes.size();
  }
  void End(HRESULT) override {}
  std::uint64_t bytes_ = 0;
};

TEST_F(ExtractionJobFileTest, ReadsAheadNoFurtherThanItsBuffersWhateverTheStreamSize) {
  constexpr std::size_t kStream = 12 << 20;
  Open({{"/big.bin", PatternBytes(kStream, 7), 1}});
  ExtractionJob job(Rows(RowOrder::kCatalogue));
  SlowSink sink;
  EXPECT_TRUE(job.Run(sink));
  EXPECT_EQ(sink.bytes_, kStream);
  EXPECT_GT(job.PeakBufferedBytes(), ExtractionJob::kBufferSize);  // it did run ahead
  EXPECT_LE(job.PeakBufferedBytes(), ExtractionJob::kBufferCount * ExtractionJob::kBufferSize);
}

TEST_F(ExtractionJobFileTest, StopsBetweenEntriesWhenAsked) {
  Open({{"/a", PatternBytes(70000, 1), 1},
        {"/b", PatternBytes(70000, 2), 1},
        {"/c", PatternBytes(70000, 3), 1}});
  ExtractionJob job(Rows(RowOrder::kCatalogue));
  EntryFiles files(job.Entries(), (work.path() / "out").string(), true);
  fs::create_directories(work.path() / "out");
  EXPECT_FALSE(job.Run(files, [&files] { return files.FilesWritten() == 2; }));
  EXPECT_EQ(TreeOf(work.path() / "out").size(), 2u);  // both whole, nothing after them
}

}  // namespace
}  // namespace vaskel
