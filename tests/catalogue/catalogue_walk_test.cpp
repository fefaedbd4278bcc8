// The walk over in-memory storage trees: shapes a help file cannot take (4 GiB sizes, failing
// storages, one storage listed twice, 20,000 levels) and the references the walk must give back.
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

  std::int32_t Walk(std::string prefix = "") {
    return engine.WalkStorage(list, source, &root, std::move(prefix));
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetItemCount(); ++row) {
      texts.emplace_back(list.GetItemText(row, column));
    }
    return texts;
  }
};

TEST_F(CatalogueWalkTest, RowsComeDepthFirstWithPathsSizesTypesAndIcons) {
  root.AddStream(u"caf\u00e9.html", 120);
  TreeStorage& a = root.AddStorage(u"a");
  a.AddStream(u"one.gif", 0);
  a.AddStorage(u"\u03b1").AddStream(u"deep.css", (std::uint64_t{1} << 32) + 10);
  a.AddStream(std::u16string(u"bad") + char16_t{0xD800}, 18446744073709551615ull);
  root.AddStream(u"last.js", 7);

  EXPECT_EQ(Walk("top" + kSep), 5);
  EXPECT_EQ(Column(kNameColumn), std::vector<std::string>({"caf\xc3\xa9.html", "one.gif",
                                                           "deep.css", "bad?", "last.js"}));
  EXPECT_EQ(Column(kSizeColumn),
            std::vector<std::string>({"120", "0", "4294967306", "18446744073709551615", "7"}));
  EXPECT_EQ(Column(kTypeColumn),
            std::vector<std::string>({"T(.html)", "T(.gif)", "T(.css)", "", "T(.js)"}));
  const std::string top = "top" + kSep;
  EXPECT_EQ(Column(kPathColumn),
            std::vector<std::string>({top, top + "a" + kSep, top + "a" + kSep + "\xce\xb1" + kSep,
                                      top + "a" + kSep, top}));
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
  EXPECT_EQ(engine.StorageAt(4), &a);
  EXPECT_EQ(list.GetItemText(3, kPathColumn), "a-again" + kSep);
  EXPECT_EQ(engine.OpenedStorageCount(), 2u) << "a and empty, each once; never the root";
  EXPECT_EQ(a.refs(), 2u);
  EXPECT_EQ(root.refs(), 1u);
  EXPECT_EQ(root.live_enumerators(), 0);
  engine.Reset();
  EXPECT_EQ(a.refs(), 1u);
  EXPECT_EQ(empty.refs(), 1u);
}

TEST_F(CatalogueWalkTest, HiddenNamesAndFailingStoragesAreSkippedSilently) {
  root.AddStream(u"#SYSTEM", 10);
  TreeStorage& hidden = root.AddStorage(u"$WWKeywordLinks");
  hidden.AddStream(u"Property", 4);
  root.AddStream(u"a#b.htm", 1);  // only a leading mark hides
  TreeStorage& locked = root.AddStorage(u"locked");
  locked.fail_open = true;
  locked.AddStream(u"in-locked.htm", 1);
  TreeStorage& unreadable = root.AddStorage(u"unreadable");
  unreadable.fail_enum = true;
  unreadable.AddStream(u"in-unreadable.htm", 1);
  root.AddStorage(u"fine").AddStream(u"inside.htm", 1);

  EXPECT_EQ(Walk(), 2);
  EXPECT_EQ(Column(kNameColumn), std::vector<std::string>({"a#b.htm", "inside.htm"}));
  EXPECT_EQ(hidden.open_calls, 0);
  // Every element met is asked for its type, skipped ones included; only rows get an icon.
  EXPECT_EQ(source.type_asked,
            std::vector<std::string>({"#SYSTEM", "$WWKeywordLinks", "a#b.htm", "locked",
                                      "unreadable", "fine", "inside.htm"}));
  EXPECT_EQ(source.icon_asked, std::vector<std::string>({"a#b.htm", "inside.htm"}));
  // The storage that opened but could not be listed is held like any opened one.
  EXPECT_EQ(engine.OpenedStorageCount(), 2u);
  EXPECT_EQ(locked.refs(), 1u);
  engine.Reset();
  EXPECT_EQ(unreadable.refs(), 1u);
  EXPECT_EQ(root.live_enumerators(), 0);

  root.fail_enum = true;
  EXPECT_EQ(Walk(), 0);
}

TEST_F(CatalogueWalkTest, DeepNestingNeedsNoDeepStack) {
  constexpr int kDepth = 20000;
  std::vector<TreeStorage*> chain{&root};
  for (int depth = 0; depth < kDepth; ++depth) chain.push_back(&chain.back()->AddStorage(u"d"));
  chain.back()->AddStream(u"bottom.htm", 5);

  EXPECT_EQ(Walk(), 1);
  std::string expected;
  for (int depth = 0; depth < kDepth; ++depth) expected += "d" + kSep;
  EXPECT_EQ(list.GetItemText(0, kPathColumn), expected);
  EXPECT_EQ(engine.OpenedStorageCount(), static_cast<std::size_t>(kDepth));
  engine.Reset();
  // Taken apart from the bottom, so that destroying the tree does not recurse 20,000 deep.
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->elements().clear();
}

}  // namespace
}  // namespace vaskel
