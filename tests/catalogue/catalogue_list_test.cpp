#include "storage/catalogue_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/text_pool.h"

namespace vaskel {
namespace {

// A list of `count` rows named "row0".. with item data equal to the index.
void Fill(CatalogueList& list, int count) {
  for (int i = 0; i < count; ++i) list.InsertItem(i, "row" + std::to_string(i), i % 3, i);
}

std::vector<int> SelectedRows(const CatalogueList& list) {
  std::vector<int> rows;
  for (int row = list.GetNextItem(-1, LVNI_SELECTED); row != -1;
       row = list.GetNextItem(row, LVNI_SELECTED)) {
    rows.push_back(row);
  }
  return rows;
}

TEST(CatalogueListTest, InsertsAndReadsBackRows) {
  CatalogueList list;
  EXPECT_EQ(list.GetColumnCount(), 4);
  EXPECT_EQ(kCatalogueColumnHeadings[kSizeColumn], "Size");
  EXPECT_EQ(list.InsertItem(0, "b.htm", 7, 42), 0);
  EXPECT_EQ(list.InsertItem(99, "c.htm", 8, 43), 1) << "an index past the end appends";
  EXPECT_EQ(list.InsertItem(0, "a.htm", 9, 41), 0);
  EXPECT_EQ(list.InsertItem(-1, "x", 0, 0), -1);
  ASSERT_EQ(list.GetItemCount(), 3);

  EXPECT_EQ(list.GetItemText(0, kNameColumn), "a.htm");
  EXPECT_EQ(list.GetItemText(1, kNameColumn), "b.htm");
  EXPECT_EQ(list.GetItemText(1, kPathColumn), "") << "sub-items start empty";
  EXPECT_EQ(list.GetItemImage(2), 8);
  EXPECT_EQ(list.GetItemData(1), 42);
  EXPECT_EQ(list.GetItemState(1, 0xFFFF), 0u);

  EXPECT_TRUE(list.SetItemText(1, kTypeColumn, "HTML document"));
  EXPECT_TRUE(list.SetItemText(1, kTypeColumn, "Other"));
  EXPECT_EQ(list.GetItemText(1, kTypeColumn), "Other");
  EXPECT_TRUE(list.SetItemImage(1, 3));
  EXPECT_TRUE(list.SetItemData(1, -5));
  EXPECT_EQ(list.GetItemImage(1), 3);
  EXPECT_EQ(list.GetItemData(1), -5);

  // Rows and columns that do not exist change nothing and read as empty.
  EXPECT_FALSE(list.SetItemText(3, 0, "x"));
  EXPECT_FALSE(list.SetItemText(0, 4, "x"));
  EXPECT_FALSE(list.SetItemText(-1, 0, "x"));
  EXPECT_FALSE(list.SetItemImage(3, 1));
  EXPECT_FALSE(list.SetItemData(-1, 1));
  EXPECT_FALSE(list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED));
  EXPECT_EQ(list.GetItemText(0, -1), "");
  EXPECT_EQ(list.GetItemText(5, 0), "");
  EXPECT_EQ(list.GetItemImage(5), -1);
  EXPECT_EQ(list.GetItemData(5), 0);

  list.DeleteAllItems();
  EXPECT_EQ(list.GetItemCount(), 0);
  EXPECT_EQ(list.InsertItem(0, "again", 1, 1), 0);
  EXPECT_EQ(list.GetItemText(0, 0), "again");
  EXPECT_EQ(list.GetItemText(0, kTypeColumn), "");
}

TEST(CatalogueListTest, StateBitsFollowTheirRows) {
  CatalogueList list;
  Fill(list, 5);
  // Bits outside the mask stay; bits under it take the new value.
  EXPECT_TRUE(list.SetItemState(1, LVIS_SELECTED | LVIS_CUT, LVIS_SELECTED | LVIS_CUT));
  EXPECT_TRUE(list.SetItemState(1, 0, LVIS_CUT));
  EXPECT_EQ(list.GetItemState(1, 0xFF0F), LVIS_SELECTED);
  EXPECT_TRUE(list.SetItemState(3, 0x0F00, LVIS_OVERLAYMASK));
  EXPECT_EQ(list.GetItemState(3, 0xFF0F), 0x0F00u);
  EXPECT_EQ(list.GetItemState(3, LVIS_SELECTED), 0u);

  list.SetItemState(2, LVIS_FOCUSED, LVIS_FOCUSED);
  // Insertion in the middle moves later rows down with their state.
  list.InsertItem(0, "first", 0, 100);
  EXPECT_EQ(SelectedRows(list), std::vector<int>({2}));
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 3);
  EXPECT_EQ(list.GetItemText(3, 0), "row2");
  EXPECT_EQ(list.GetItemState(4, 0xFF0F), 0x0F00u);
}

TEST(CatalogueListTest, SelectedCountTracksEveryChange) {
  CatalogueList list;
  Fill(list, 6);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);  // already selected: counted once
  list.SetItemState(4, LVIS_SELECTED | LVIS_FOCUSED, 0xFF0F);
  EXPECT_EQ(list.GetSelectedCount(), 2);
  list.SetItemState(4, 0, LVIS_FOCUSED);  // another bit: the selection stays
  EXPECT_EQ(list.GetSelectedCount(), 2);
  list.SwapRows(1, 2);
  EXPECT_EQ(list.GetSelectedCount(), 2);
  EXPECT_EQ(SelectedRows(list), std::vector<int>({2, 4}));

  // Select All: every row selected, the focus left where it was.
  list.SetItemState(5, LVIS_FOCUSED, LVIS_FOCUSED);
  EXPECT_TRUE(list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED));
  EXPECT_EQ(list.GetSelectedCount(), 6);
  EXPECT_EQ(SelectedRows(list).size(), 6u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 5);

  list.SetItemState(-1, 0, LVIS_SELECTED);
  EXPECT_EQ(list.GetSelectedCount(), 0);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);

  list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
  list.DeleteAllItems();
  EXPECT_EQ(list.GetSelectedCount(), 0);
  EXPECT_TRUE(list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED)) << "all of no rows";
  EXPECT_EQ(list.GetSelectedCount(), 0);
}

TEST(CatalogueListTest, OnlyOneRowHasTheFocus) {
  CatalogueList list;
  Fill(list, 4);
  list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
  list.SetItemState(2, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  EXPECT_EQ(list.GetItemState(0, LVIS_FOCUSED), 0u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 2);
  EXPECT_EQ(list.GetNextItem(2, LVNI_FOCUSED), -1) << "the search starts after `start`";
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED | LVNI_SELECTED), 2);

  // All rows at once cannot take the focus, but can lose it.
  list.SetItemState(-1, LVIS_FOCUSED, LVIS_FOCUSED);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 2);
  EXPECT_EQ(list.GetItemState(1, LVIS_FOCUSED), 0u);
  list.SetItemState(-1, 0, LVIS_FOCUSED);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), -1);
  EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), LVIS_SELECTED);
}

TEST(CatalogueListTest, NextItemWalksForwardFromStart) {
  CatalogueList list;
  EXPECT_EQ(list.GetNextItem(-1, LVNI_ALL), -1);
  Fill(list, 5);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_ALL), 0);
  EXPECT_EQ(list.GetNextItem(2, LVNI_ALL), 3);
  EXPECT_EQ(list.GetNextItem(4, LVNI_ALL), -1);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
  list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(3, LVIS_SELECTED | LVIS_CUT, LVIS_SELECTED | LVIS_CUT);
  list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
  EXPECT_EQ(list.GetNextItem(0, LVNI_SELECTED), 3);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED | LVNI_CUT), 3) << "every flag must be set";
  EXPECT_EQ(list.GetNextItem(3, LVNI_SELECTED | LVNI_CUT), -1);
  EXPECT_EQ(list.GetNextItem(4, LVNI_SELECTED), -1);
  EXPECT_EQ(list.GetNextItem(17, LVNI_SELECTED), -1);
}

TEST(CatalogueListTest, SwapExchangesWholeRows) {
  CatalogueList list;
  Fill(list, 3);
  for (int column = 1; column < 4; ++column) {
    list.SetItemText(0, column, "zero" + std::to_string(column));
    list.SetItemText(2, column, "two" + std::to_string(column));
  }
  list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED | 0x3000, 0xFF0F);
  list.SetItemState(2, LVIS_CUT, 0xFF0F);

  EXPECT_TRUE(list.SwapRows(0, 2));
  EXPECT_EQ(list.GetItemText(0, 0), "row2");
  EXPECT_EQ(list.GetItemText(2, 0), "row0");
  for (int column = 1; column < 4; ++column) {
    EXPECT_EQ(list.GetItemText(0, column), "two" + std::to_string(column));
    EXPECT_EQ(list.GetItemText(2, column), "zero" + std::to_string(column));
  }
  EXPECT_EQ(list.GetItemData(0), 2);
  EXPECT_EQ(list.GetItemData(2), 0);
  EXPECT_EQ(list.GetItemImage(0), 2);
  EXPECT_EQ(list.GetItemImage(2), 0);
  EXPECT_EQ(list.GetItemState(0, 0xFF0F), LVIS_CUT);
  EXPECT_EQ(list.GetItemState(2, 0xFF0F), LVIS_SELECTED | LVIS_FOCUSED | 0x3000u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 2) << "the focus moves with its row";

  // Focusing another row afterwards must take the focus from the moved row.
  list.SetItemState(1, LVIS_FOCUSED, LVIS_FOCUSED);
  EXPECT_EQ(list.GetItemState(2, LVIS_FOCUSED), 0u);

  EXPECT_TRUE(list.SwapRows(1, 1));
  EXPECT_EQ(list.GetItemText(1, 0), "row1");
  EXPECT_FALSE(list.SwapRows(0, 3));
  EXPECT_FALSE(list.SwapRows(-1, 0));
}

TEST(CatalogueListTest, HooksReachTheWindow) {
  CatalogueList list;
  std::vector<std::string> calls;
  std::vector<CatalogueChange> changes;
  list.SetHooks({
      [&](bool on) { calls.push_back(on ? "redraw on" : "redraw off"); },
      [&] { calls.push_back("repaint"); },
      [&](const CatalogueChange& change) { changes.push_back(change); },
  });
  list.SetRedraw(false);
  EXPECT_FALSE(list.IsRedrawOn());
  list.InsertItem(0, "a", 0, 0);
  list.InsertItem(0, "b", 0, 0);
  list.SetItemText(1, kPathColumn, "p/");
  list.SwapRows(0, 1);
  list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
  list.RedrawWindow();
  list.DeleteAllItems();
  list.SetRedraw(true);

  EXPECT_EQ(calls, std::vector<std::string>({"redraw off", "repaint", "redraw on"}));
  EXPECT_EQ(list.SetRedrawCalls(), 2);
  EXPECT_EQ(list.RedrawWindowCalls(), 1);
  using Kind = CatalogueChange::Kind;
  ASSERT_EQ(changes.size(), 7u);
  EXPECT_EQ(changes[0].kind, Kind::kInserted);
  EXPECT_EQ(changes[1].kind, Kind::kInserted);
  EXPECT_EQ(changes[1].first, 0);
  EXPECT_EQ(changes[2].kind, Kind::kChanged);
  EXPECT_EQ(changes[2].first, 1);
  EXPECT_EQ(changes[3].first, 0);  // the swap names both rows
  EXPECT_EQ(changes[4].first, 1);
  EXPECT_EQ(changes[5].first, 0);  // all rows
  EXPECT_EQ(changes[5].last, 1);
  EXPECT_EQ(changes[6].kind, Kind::kDeletedAll);
}

TEST(TextPoolTest, StoresEachTextOnceAndNeverMovesIt) {
  TextPool pool;
  EXPECT_EQ(pool.Intern(""), TextPool::kEmpty);
  const TextPool::Id html = pool.Intern("HTML document");
  const std::string_view first_view = pool.View(html);
  // Enough texts to fill several blocks and grow the table many times.
  std::vector<TextPool::Id> ids;
  for (int i = 0; i < 50000; ++i) ids.push_back(pool.Intern("name" + std::to_string(i)));
  const std::string big(40000, 'x');  // longer than a block's share
  const TextPool::Id big_id = pool.Intern(big);

  EXPECT_EQ(pool.Intern("HTML document"), html);
  EXPECT_EQ(pool.View(html).data(), first_view.data()) << "stored texts must not move";
  EXPECT_EQ(pool.Intern(big), big_id);
  EXPECT_EQ(pool.View(big_id), big);
  for (int i = 0; i < 50000; i += 997) {
    EXPECT_EQ(pool.View(ids[i]), "name" + std::to_string(i));
    EXPECT_EQ(pool.Intern("name" + std::to_string(i)), ids[i]);
  }
  EXPECT_EQ(pool.DistinctCount(), 50003u);  // with the empty text
  EXPECT_EQ(pool.View(999999), "");

  pool.Clear();
  EXPECT_EQ(pool.DistinctCount(), 1u);
  EXPECT_EQ(pool.View(pool.Intern("HTML document")), "HTML document");
}

}  // namespace
}  // namespace vaskel
