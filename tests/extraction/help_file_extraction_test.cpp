// Extraction through the real reader: a writer-made help file is walked into the catalogue and
// every row extracted, as the unpack command and the window's Unpack do.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "storage/catalogue_list.h"
#include "storage/entry_extraction.h"
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

class HelpFileExtractionTest : public ::testing::TestWithParam<ExtractionSession::Writing> {
 protected:
  void Open(const std::vector<Entry>& entries) {
    const Bytes bytes = chmwriter::WriteChm(entries);
    const fs::path file = work.path() / "made.chm";
    testing::WriteText(file, std::string(bytes.begin(), bytes.end()));
    ASSERT_EQ(engine.OpenFile(file.string()), S_OK);
    engine.Reset();
    engine.WalkStorage(list, no_types, engine.GetRootStorage(), std::string());
  }

  // Extracts every row in list order into `folder`.
  void ExtractAll(const fs::path& folder, bool use_path) {
    fs::create_directories(folder);
    ExtractionSession session(GetParam());
    for (int row = 0; row < list.GetItemCount(); ++row) {
      const ExtractedEntry entry = engine.ExtractEntry(
          engine.StorageAt(static_cast<std::int32_t>(list.GetItemData(row))),
          list.GetItemText(row, kPathColumn), list.GetItemText(row, kNameColumn), folder.string(),
          use_path, &session);
      EXPECT_TRUE(entry.written) << list.GetItemText(row, kNameColumn);
    }
    session.Finish();
  }

  testing::TempFolder work;
  StorageEngine engine;
  CatalogueList list;
  NoTypes no_types;
};

TEST_P(HelpFileExtractionTest, EveryRowComesOutByteForByte) {
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
  ExtractAll(work.path() / "out", true);
  EXPECT_THAT(TreeOf(work.path() / "out"),
              ElementsAre("big.bin", "empty.txt", "html/", "html/deep/", "html/deep/er/",
                          "html/deep/er/Page.HTM", "html/index.html"));
  EXPECT_EQ(ReadBytes(work.path() / "out/big.bin"), big);
  EXPECT_EQ(ReadBytes(work.path() / "out/html/index.html"), page);
  EXPECT_EQ(ReadBytes(work.path() / "out/html/deep/er/Page.HTM"), deep);
  EXPECT_TRUE(ReadBytes(work.path() / "out/empty.txt").empty());
}

TEST_P(HelpFileExtractionTest, FlatUnpackKeepsTheLastOfEqualNames) {
  Open({{"/a/index.html", PatternBytes(100, 1), 1},
        {"/b/index.html", PatternBytes(200, 2), 1},
        {"/index.html", PatternBytes(300, 3), 1}});
  // The last row of that name in list order is the one that must remain.
  Bytes expected;
  for (int row = 0; row < list.GetItemCount(); ++row) {
    const std::string_view path = list.GetItemText(row, kPathColumn);
    expected = path == "a/"   ? PatternBytes(100, 1)
               : path == "b/" ? PatternBytes(200, 2)
                              : PatternBytes(300, 3);
  }
  ExtractAll(work.path() / "flat", false);
  EXPECT_THAT(TreeOf(work.path() / "flat"), ElementsAre("index.html"));
  EXPECT_EQ(ReadBytes(work.path() / "flat/index.html"), expected);
}

INSTANTIATE_TEST_SUITE_P(BothWritings, HelpFileExtractionTest,
                         ::testing::Values(ExtractionSession::Writing::kInCall,
                                           ExtractionSession::Writing::kBehind),
                         [](const auto& info) {
                           return info.param == ExtractionSession::Writing::kInCall
                                      ? std::string("InCall")
                                      : std::string("Behind");
                         });

}  // namespace
}  // namespace vaskel
