#include "storage/catalogue_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/text_pool.h"

namespace vaskel {
namespace {

// A list of `count` rows named "row0".. with image i % 3 and item data i.
void Fill(CatalogueList& list, int count) {
  for (int i = 0; i < count; ++i) list.InsertItem(i, "row" + std::to_string(i), i % 3, i);
}

std::vector<int> RowsWith(const CatalogueList& list, std::uint32_t flags) {
  std::vector<int> rows;
  for (int row = list.GetNextItem(-1, flags); row != -1; row = list.GetNextItem(row, flags)) {
    rows.push_back(row);
  }
  return rows;
}

TEST(CatalogueListTest, StateSelectionAndFocus) {
  CatalogueList list;
  Fill(list, 6);
  // Bits under the mask take the new value; the others stay.
  list.SetItemState(1, LVIS_SELECTED | LVIS_CUT, LVIS_SELECTED | LVIS_CUT);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);  // already selected: counted once
  list.SetItemState(1, 0x0F00, LVIS_CUT | LVIS_OVERLAYMASK);
  EXPECT_EQ(list.GetItemState(1, 0xFF0F), LVIS_SELECTED | 0x0F00u);
  list.SetItemState(4, LVIS_SELECTED | LVIS_FOCUSED, 0xFF0F);
  EXPECT_EQ(list.GetSelectedCount(), 2);

  // One row has the focus: focusing another takes it away; all rows at once can only lose it.
  list.SetItemState(2, LVIS_FOCUSED, LVIS_FOCUSED);
  EXPECT_EQ(list.GetItemState(4, LVIS_FOCUSED | LVIS_SELECTED), LVIS_SELECTED);
  list.SetItemState(-1, LVIS_FOCUSED, LVIS_FOCUSED);
  EXPECT_EQ(RowsWith(list, LVNI_FOCUSED), std::vector<int>({2}));

  // Insertion in the middle moves later rows down with their state.
  list.InsertItem(0, "first", 0, 100);
  EXPECT_EQ(RowsWith(list, LVNI_SELECTED), std::vector<int>({2, 5}));
  EXPECT_EQ(RowsWith(list, LVNI_FOCUSED), std::vector<int>({3}));

  // Select All keeps the focus where it was.
  list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.GetSelectedCount(), 7);
  EXPECT_EQ(RowsWith(list, LVNI_SELECTED | LVNI_FOCUSED), std::vector<int>({3}));
  list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(list.GetSelectedCount(), 0);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), -1);

  list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
  list.DeleteAllItems();
  EXPECT_EQ(list.GetSelectedCount(), 0);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_ALL), -1);
}

TEST(CatalogueListTest, SwapMovesWholeRowsAndHooksReachTheWindow) {
  CatalogueList list;
  std::vector<std::string> calls;
  std::vector<CatalogueChange> changes;
  list.SetHooks({[&](bool on) { calls.push_back(on ? "redraw on" : "redraw off"); },
                 [&] { calls.push_back("repaint"); },
                 [&](const CatalogueChange& change) { changes.push_back(change); }});
  list.SetRedraw(false);
  Fill(list, 3);
  for (int column = 1; column < 4; ++column) list.SetItemText(0, column, std::to_string(column));
  list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED | 0x3000, 0xFF0F);
  list.SetItemState(2, LVIS_CUT, 0xFF0F);
  changes.clear();

  EXPECT_TRUE(list.SwapRows(0, 2));
  EXPECT_EQ(list.GetItemText(0, 0), "row2");
  EXPECT_EQ(list.GetItemText(0, kPathColumn), "");
  EXPECT_EQ(list.GetItemText(2, 0), "row0");
  EXPECT_EQ(list.GetItemText(2, kPathColumn), "3");
  EXPECT_EQ(list.GetItemData(2), 0);
  EXPECT_EQ(list.GetItemImage(0), 2);
  EXPECT_EQ(list.GetItemState(0, 0xFF0F), LVIS_CUT);
  EXPECT_EQ(list.GetItemState(2, 0xFF0F), LVIS_SELECTED | LVIS_FOCUSED | 0x3000u);
  EXPECT_EQ(list.GetSelectedCount(), 1);
  // The focus moved with its row: focusing another row must take it from there.
  list.SetItemState(1, LVIS_FOCUSED, LVIS_FOCUSED);
  EXPECT_EQ(list.GetItemState(2, LVIS_FOCUSED), 0u);
  EXPECT_FALSE(list.SwapRows(0, 3));

  list.RedrawWindow();
  list.DeleteAllItems();
  list.SetRedraw(true);
  EXPECT_EQ(calls, std::vector<std::string>({"redraw off", "repaint", "redraw on"}));
  using Kind = CatalogueChange::Kind;
  ASSERT_EQ(changes.size(), 5u);  // both swapped rows, the focus's old and new row, all gone
  EXPECT_EQ(changes[0].first, 0);
  EXPECT_EQ(changes[1].first, 2);
  EXPECT_EQ(changes[4].kind, Kind::kDeletedAll);
}

TEST(CatalogueListTest, FilterShowsMatchingRowsAndEveryOperationCountsOnlyThem) {
  CatalogueList list;
  Fill(list, 6);  // row0..row5
  list.SetItemText(1, kPathColumn, "Sub/");
  list.SetItemText(4, kPathColumn, "other/SUB/");
  list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
  list.SetFilter("sUb");
  ASSERT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(list.GetTotalCount(), 6);
  EXPECT_EQ(list.GetItemData(0), 1);
  EXPECT_EQ(list.GetItemData(1), 4);
  // Row 0 went out of sight with its selection and focus; row 4 kept its selection.
  EXPECT_EQ(list.GetSelectedCount(), 1);
  EXPECT_EQ(RowsWith(list, LVNI_SELECTED), std::vector<int>{1});
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), -1);
  list.SetItemState(1, LVIS_FOCUSED, LVIS_FOCUSED);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 1);
  list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.GetSelectedCount(), 2);
  EXPECT_TRUE(list.SwapRows(0, 1));
  EXPECT_EQ(list.GetItemData(0), 4);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 0);  // the focus moved with its row
  EXPECT_EQ(list.InsertItem(1, "new", 0, 99), 1);    // shown where it was put
  EXPECT_EQ(list.GetItemData(2), 1);
  EXPECT_EQ(list.GetItemText(1, kNameColumn), "new");
  // Suspended, every row shows in the store's order; resumed, the filter applies again.
  list.SuspendFilter();
  EXPECT_EQ(list.GetItemCount(), 7);
  EXPECT_EQ(list.GetStoredText(1, kNameColumn), "row4");
  list.ResumeFilter();
  EXPECT_EQ(list.GetItemCount(), 2);  // "new" matches nothing
  list.SetFilter("");
  EXPECT_FALSE(list.IsFiltered());
  EXPECT_EQ(list.GetItemCount(), 7);
  EXPECT_EQ(list.GetSelectedCount(), 2);
}

}  // namespace
}  // namespace vaskel
