// The catalogue's rows: a store offering the report list-control operations that the walk,
// sorting, Run and Unpack use. The window shows it through a virtual list, so the store, not a
// toolkit control, owns the rows; a toolkit list costs far too much per cell for 100,000 rows.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/translation.h"
#include "storage/text_pool.h"

namespace vaskel {

// Item state bits, with the list control's values.
inline constexpr std::uint32_t LVIS_FOCUSED = 0x0001;
inline constexpr std::uint32_t LVIS_SELECTED = 0x0002;
inline constexpr std::uint32_t LVIS_CUT = 0x0004;
inline constexpr std::uint32_t LVIS_OVERLAYMASK = 0x0F00;

// GetNextItem flags: the states an item must all have (LVNI_ALL: any item).
inline constexpr std::uint32_t LVNI_ALL = 0x0000;
inline constexpr std::uint32_t LVNI_FOCUSED = 0x0001;
inline constexpr std::uint32_t LVNI_SELECTED = 0x0002;
inline constexpr std::uint32_t LVNI_CUT = 0x0004;

enum CatalogueColumn : int { kNameColumn = 0, kSizeColumn, kTypeColumn, kPathColumn };
inline constexpr int kCatalogueColumnCount = 4;
// English here and in vaskel-cli's list, which scripts read; the window translates them.
inline constexpr std::array<std::string_view, kCatalogueColumnCount> kCatalogueColumnHeadings = {
    TrNoop("File Name"), TrNoop("Size"), TrNoop("Type"), TrNoop("Path")};

// What changed, so that a virtual list can refresh just that.
struct CatalogueChange {
  enum class Kind {
    kInserted,    // row `first` was inserted; rows after it moved down by one
    kChanged,     // rows `first`..`last` (inclusive) changed text, image, data or state
    kDeletedAll,  // the list is empty
    kReshown,     // the filter changed which rows are shown: every row and the count changed
  };
  Kind kind;
  int first = -1;
  int last = -1;
};

// Connections to the window that shows the list. Unset hooks do nothing.
struct CatalogueListHooks {
  std::function<void(bool redraw)> set_redraw;
  std::function<void()> redraw_window;  // repaint at once
  std::function<void(const CatalogueChange&)> changed;
};

// Every row operation below works on the rows shown: all rows, or while a filter is set (the
// find box) only those it matches, in the store's order. Row indices count shown rows.
class CatalogueList {
 public:
  CatalogueList() = default;
  CatalogueList(const CatalogueList&) = delete;
  CatalogueList& operator=(const CatalogueList&) = delete;

  void SetHooks(CatalogueListHooks hooks) { hooks_ = std::move(hooks); }

  // Inserts a row with `text` in the first column, empty sub-items and no state bits. An index
  // beyond the end appends. Returns the new row's index, or -1 for a negative index.
  int InsertItem(int index, std::string_view text, int image, std::intptr_t data);
  // Removes every row and every stored text, and the filter. O(rows).
  void DeleteAllItems();
  int GetItemCount() const { return static_cast<int>(filtered_ ? shown_.size() : rows_.size()); }
  // Every row, shown or not.
  int GetTotalCount() const { return static_cast<int>(rows_.size()); }
  // Any row by its place in the store (0 to GetTotalCount() - 1), shown or not; empty and 0 for
  // one that does not exist.
  std::string_view GetStoredText(int stored, int column) const;
  std::intptr_t GetStoredData(int stored) const;

  // Shows only the rows whose name or path contains `text` (CatalogueFilter); empty shows every
  // row. Rows that become hidden lose their selection and focus, so that what is selected is
  // always shown. O(rows).
  void SetFilter(std::string_view text);
  const std::string& FilterText() const { return filter_text_; }
  bool IsFiltered() const { return filtered_; }
  // Shows every row until ResumeFilter, which applies the filter again (a sort orders the hidden
  // rows too, so that emptying the find box shows a sorted list).
  void SuspendFilter();
  void ResumeFilter();
  int GetColumnCount() const { return kCatalogueColumnCount; }

  // False (and no change) for a row or column that does not exist.
  bool SetItemText(int row, int column, std::string_view text);
  // Empty for a row or column that does not exist. The view stays valid until DeleteAllItems.
  std::string_view GetItemText(int row, int column) const;

  bool SetItemImage(int row, int image);
  int GetItemImage(int row) const;  // -1 for a row that does not exist
  bool SetItemData(int row, std::intptr_t data);
  std::intptr_t GetItemData(int row) const;  // 0 for a row that does not exist

  // The row's state bits under `mask`.
  std::uint32_t GetItemState(int row, std::uint32_t mask) const;
  // Sets the bits under `mask` to those of `state`; row -1 means every row. Only one row has
  // the focus: focusing a row takes it from the one that had it, and row -1 can only remove it.
  bool SetItemState(int row, std::uint32_t state, std::uint32_t mask);
  int GetSelectedCount() const { return selected_count_; }
  // The first row after `start` (-1: from the first row) having every state in `flags`;
  // -1 when there is none.
  int GetNextItem(int start, std::uint32_t flags) const;

  // Exchanges everything two rows hold: texts, image, item data and state.
  bool SwapRows(int a, int b);

  // Forwarded to the window.
  void SetRedraw(bool redraw);
  void RedrawWindow();

 private:
  struct Row {
    std::array<TextPool::Id, kCatalogueColumnCount> texts{};
    std::int32_t image = -1;
    std::uint32_t state = 0;
    std::intptr_t data = 0;
  };

  bool HasRow(int row) const { return row >= 0 && row < GetItemCount(); }
  // The index in rows_ of a shown row, and back (-1 when that row is hidden).
  int Stored(int row) const { return filtered_ ? shown_[row] : row; }
  int ShownIndex(int stored) const;
  // `stored` is an index in rows_.
  void ApplyState(int stored, std::uint32_t state, std::uint32_t mask);
  void Notify(CatalogueChange::Kind kind, int first, int last) const;

  std::vector<Row> rows_;
  std::vector<int> shown_;  // indices in rows_, ascending, while filtered_
  bool filtered_ = false;
  std::string filter_text_;
  TextPool texts_;
  int selected_count_ = 0;
  int focused_row_ = -1;  // an index in rows_
  CatalogueListHooks hooks_;
};

}  // namespace vaskel
