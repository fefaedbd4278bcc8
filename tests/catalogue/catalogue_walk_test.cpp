// The walk over in-memory storage trees: shapes a help file cannot take (4 GiB sizes, failing
// storages, one storage listed twice) and the references the walk must give back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/catalogue_list.h"
#include "storage/path_limit.h"
#include "storage/storage_engine.h"
#include "tests/catalogue/recording_source.h"
#include "tests/support/tree_storage.h"

namespace vaskel {
namespace {

using testing::RecordingSource;
using testing::TreeStorage;

const std::string kSep(1, kPathSeparator);

class CatalogueWalkTest : public ::testing::Test {
 protected:
  TreeStorage root;  // outlives the engine, which releases the children it holds
  StorageEngine engine;
  CatalogueList list;
  RecordingSource source;

  std::int32_t Walk() { return engine.WalkStorage(list, source, &root, ""); }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetItemCount(); ++row) {
      texts.emplace_back(list.GetItemText(row, column));
    }
    return texts;
  }
};

TEST_F(CatalogueWalkTest, RowsComeDepthFirstWithPathsSizesAndTypes) {
  root.AddStream(u"index.html", 120);
  TreeStorage& a = root.AddStorage(u"a");
  a.AddStream(u"one.gif", 0);
  TreeStorage& b = a.AddStorage(u"b");
  b.AddStream(u"deep.css", (std::uint64_t{1} << 32) + 10);
  a.AddStream(u"two", 18446744073709551615ull);
  root.AddStream(u"last.js", 7);

  EXPECT_EQ(Walk(), 5);
  ASSERT_EQ(list.GetItemCount(), 5);
  EXPECT_EQ(Column(kNameColumn),
            std::vector<std::string>({"index.html", "one.gif", "deep.css", "two", "last.js"}));
  EXPECT_EQ(Column(kSizeColumn),
            std::vector<std::string>({"120", "0", "4294967306", "18446744073709551615", "7"}));
  EXPECT_EQ(Column(kTypeColumn),
            std::vector<std::string>({"T(.html)", "T(.gif)", "T(.css)", "", "T(.js)"}));
  EXPECT_EQ(Column(kPathColumn),
            std::vector<std::string>({"", "a" + kSep, "a" + kSep + "b" + kSep, "a" + kSep, ""}));
  for (int row = 0; row < 5; ++row) {
    EXPECT_EQ(list.GetItemImage(row), static_cast<int>(list.GetItemText(row, 0).size()));
    EXPECT_EQ(list.GetItemState(row, 0xFFFF), 0u);
  }
}

TEST_F(CatalogueWalkTest, TableNamesEachRowsStorageAndChildrenAreHeldOnce) {
  root.AddStream(u"top.htm", 1);
  TreeStorage& a = root.AddStorage(u"a");
  a.AddStream(u"x.htm", 1);
  a.AddStream(u"y.htm", 1);
  TreeStorage& empty = root.AddStorage(u"empty");
  // The same storage listed a second time: its rows appear twice, the storage is held once.
  root.AddAlias(u"a-again", a);

  EXPECT_EQ(Walk(), 5);
  ASSERT_EQ(engine.Table().GetSize(), 5);
  for (int row = 0; row < 5; ++row) EXPECT_EQ(list.GetItemData(row), row);
  EXPECT_EQ(engine.StorageAt(0), &root);
  EXPECT_EQ(engine.StorageAt(1), &a);
  EXPECT_EQ(engine.StorageAt(2), &a);
  EXPECT_EQ(engine.StorageAt(3), &a);
  EXPECT_EQ(list.GetItemText(3, kPathColumn), "a-again" + kSep);
  EXPECT_EQ(engine.OpenedStorageCount(), 2u) << "a and empty, each once; never the root";
  EXPECT_EQ(a.refs(), 2u);
  EXPECT_EQ(empty.refs(), 2u);
  EXPECT_EQ(root.refs(), 1u);
  EXPECT_EQ(root.live_enumerators(), 0);

  engine.Reset();
  EXPECT_EQ(a.refs(), 1u);
  EXPECT_EQ(empty.refs(), 1u);
  EXPECT_EQ(engine.Table().GetSize(), 0);
}

TEST_F(CatalogueWalkTest, HashAndDollarNamesAreSkippedAfterTheTypeLookUp) {
  root.AddStream(u"#SYSTEM", 10);
  TreeStorage& hidden = root.AddStorage(u"$WWKeywordLinks");
  hidden.AddStream(u"Property", 4);
  root.AddStream(u"$FIftiMain", 10);
  root.AddStream(u"a#b.htm", 1);  // only a leading mark hides
  root.AddStream(u"x$.htm", 1);

  EXPECT_EQ(Walk(), 2);
  EXPECT_EQ(Column(kNameColumn), std::vector<std::string>({"a#b.htm", "x$.htm"}));
  EXPECT_EQ(hidden.open_calls, 0);
  EXPECT_EQ(source.type_asked, std::vector<std::string>({"#SYSTEM", "$WWKeywordLinks", "$FIftiMain",
                                                         "a#b.htm", "x$.htm"}));
  EXPECT_EQ(source.icon_asked, std::vector<std::string>({"a#b.htm", "x$.htm"}));
  EXPECT_EQ(engine.Table().GetSize(), 2);
  EXPECT_EQ(engine.OpenedStorageCount(), 0u);
}

TEST_F(CatalogueWalkTest, OnlyHiddenEntriesGiveNoRows) {
  root.AddStream(u"#TOPICS", 1);
  root.AddStorage(u"$Data").AddStream(u"page.htm", 3);
  EXPECT_EQ(Walk(), 0);
  EXPECT_EQ(list.GetItemCount(), 0);
  EXPECT_EQ(engine.Table().GetSize(), 0);
}

TEST_F(CatalogueWalkTest, StoragesThatFailAreSkippedSilently) {
  root.AddStream(u"before.htm", 1);
  TreeStorage& locked = root.AddStorage(u"locked");
  locked.fail_open = true;
  locked.AddStream(u"hidden.htm", 1);
  TreeStorage& unreadable = root.AddStorage(u"unreadable");
  unreadable.fail_enum = true;
  unreadable.AddStream(u"hidden.htm", 1);
  TreeStorage& fine = root.AddStorage(u"fine");
  fine.AddStream(u"inside.htm", 1);
  root.AddOther(u"lockbytes", 3);  // neither storage nor stream
  root.AddStream(u"after.htm", 1);

  EXPECT_EQ(Walk(), 3);
  EXPECT_EQ(Column(kNameColumn),
            std::vector<std::string>({"before.htm", "inside.htm", "after.htm"}));
  EXPECT_EQ(Column(kPathColumn), std::vector<std::string>({"", "fine" + kSep, ""}));
  // The storage that opened but could not be listed is still held, like any opened one.
  EXPECT_EQ(engine.OpenedStorageCount(), 2u);
  EXPECT_EQ(locked.refs(), 1u);
  engine.Reset();
  EXPECT_EQ(unreadable.refs(), 1u);
  EXPECT_EQ(fine.refs(), 1u);
  EXPECT_EQ(root.live_enumerators(), 0);

  root.fail_enum = true;
  EXPECT_EQ(Walk(), 0);
}

TEST_F(CatalogueWalkTest, ListRepaintsOnceWhenTheHundredthRowArrives) {
  std::vector<int> rows_at_repaint;
  std::vector<std::string> calls;
  list.SetHooks({[&](bool on) { calls.push_back(on ? "on" : "off"); },
                 [&] {
                   calls.push_back("repaint");
                   rows_at_repaint.push_back(list.GetItemCount());
                 },
                 nullptr});
  const auto walk_streams = [&](int count) {
    TreeStorage storage;
    for (int i = 0; i < count; ++i) storage.AddStream(u"f" + std::u16string(1, u'a' + i % 26), 1);
    engine.Reset();
    list.DeleteAllItems();
    calls.clear();
    rows_at_repaint.clear();
    return engine.WalkStorage(list, source, &storage, "");
  };

  EXPECT_EQ(walk_streams(99), 99);
  EXPECT_TRUE(calls.empty());

  EXPECT_EQ(walk_streams(100), 100);
  EXPECT_EQ(calls, std::vector<std::string>({"on", "repaint", "off"}));
  EXPECT_EQ(rows_at_repaint, std::vector<int>({100}));

  EXPECT_EQ(walk_streams(1000), 1000);
  EXPECT_EQ(rows_at_repaint, std::vector<int>({100}));
  EXPECT_FALSE(list.IsRedrawOn());
}

TEST_F(CatalogueWalkTest, HundredRowsSpreadOverStoragesRepaintOnce) {
  for (int folder = 0; folder < 10; ++folder) {
    TreeStorage& storage = root.AddStorage(u"d" + std::u16string(1, u'0' + folder));
    for (int i = 0; i < 10; ++i) storage.AddStream(u"p" + std::u16string(1, u'0' + i), 1);
  }
  EXPECT_EQ(Walk(), 100);
  EXPECT_EQ(list.RedrawWindowCalls(), 1);
  EXPECT_EQ(list.SetRedrawCalls(), 2);
}

TEST_F(CatalogueWalkTest, NamesOutsideUtf8RangeAndPrefixesConvert) {
  root.AddStream(u"caf\u00e9.htm", 1);
  root.AddStream(u"\u65e5\u672c.htm", 1);
  root.AddStream(std::u16string(u"bad") + char16_t{0xD800} + u".htm", 1);
  TreeStorage& greek = root.AddStorage(u"\u03b1\u03b2");
  greek.AddStream(u"x", 1);

  EXPECT_EQ(engine.WalkStorage(list, source, &root, "top" + kSep), 4);
  EXPECT_EQ(Column(kNameColumn),
            std::vector<std::string>(
                {"caf\xc3\xa9.htm", "\xe6\x97\xa5\xe6\x9c\xac.htm", "bad?.htm", "x"}));
  EXPECT_EQ(Column(kPathColumn),
            std::vector<std::string>({"top" + kSep, "top" + kSep, "top" + kSep,
                                      "top" + kSep + "\xce\xb1\xce\xb2" + kSep}));
}

TEST_F(CatalogueWalkTest, DeepNestingNeedsNoDeepStack) {
  constexpr int kDepth = 20000;
  TreeStorage* level = &root;
  for (int depth = 0; depth < kDepth; ++depth) level = &level->AddStorage(u"d");
  level->AddStream(u"bottom.htm", 5);

  EXPECT_EQ(Walk(), 1);
  std::string expected;
  for (int depth = 0; depth < kDepth; ++depth) expected += "d" + kSep;
  EXPECT_EQ(list.GetItemText(0, kPathColumn), expected);
  EXPECT_EQ(engine.OpenedStorageCount(), static_cast<std::size_t>(kDepth));
  engine.Reset();
  // Take the chain apart from the bottom so its destruction does not recurse 20,000 deep.
  std::vector<TreeStorage*> chain{&root};
  while (!chain.back()->elements().empty() && chain.back()->elements()[0].storage) {
    chain.push_back(chain.back()->elements()[0].storage.get());
  }
  for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) (*it)->elements().clear();
}

}  // namespace
}  // namespace vaskel
