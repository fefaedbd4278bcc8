#include "storage/catalogue_list.h"

#include <utility>

namespace vaskel {

int CatalogueList::InsertItem(int index, std::string_view text, int image, std::intptr_t data) {
  if (index < 0) return -1;
  if (index > GetItemCount()) index = GetItemCount();
  Row row;
  row.texts[kNameColumn] = texts_.Intern(text);
  row.image = image;
  row.data = data;
  rows_.insert(rows_.begin() + index, row);
  if (focused_row_ >= index) ++focused_row_;
  Notify(CatalogueChange::Kind::kInserted, index, index);
  return index;
}

void CatalogueList::DeleteAllItems() {
  rows_.clear();
  rows_.shrink_to_fit();
  texts_.Clear();
  selected_count_ = 0;
  focused_row_ = -1;
  Notify(CatalogueChange::Kind::kDeletedAll, -1, -1);
}

bool CatalogueList::SetItemText(int row, int column, std::string_view text) {
  if (!HasRow(row) || column < 0 || column >= kCatalogueColumnCount) return false;
  rows_[row].texts[column] = texts_.Intern(text);
  Notify(CatalogueChange::Kind::kChanged, row, row);
  return true;
}

std::string_view CatalogueList::GetItemText(int row, int column) const {
  if (!HasRow(row) || column < 0 || column >= kCatalogueColumnCount) return {};
  return texts_.View(rows_[row].texts[column]);
}

bool CatalogueList::SetItemImage(int row, int image) {
  if (!HasRow(row)) return false;
  rows_[row].image = image;
  Notify(CatalogueChange::Kind::kChanged, row, row);
  return true;
}

int CatalogueList::GetItemImage(int row) const { return HasRow(row) ? rows_[row].image : -1; }

bool CatalogueList::SetItemData(int row, std::intptr_t data) {
  if (!HasRow(row)) return false;
  rows_[row].data = data;
  Notify(CatalogueChange::Kind::kChanged, row, row);
  return true;
}

std::intptr_t CatalogueList::GetItemData(int row) const {
  return HasRow(row) ? rows_[row].data : 0;
}

std::uint32_t CatalogueList::GetItemState(int row, std::uint32_t mask) const {
  return HasRow(row) ? rows_[row].state & mask : 0;
}

bool CatalogueList::SetItemState(int row, std::uint32_t state, std::uint32_t mask) {
  if (row == -1) {
    if (rows_.empty()) return true;
    // Focus cannot be given to every row at once; it can be taken from the row that has it.
    std::uint32_t all_mask = mask;
    if ((state & mask & LVIS_FOCUSED) != 0) all_mask &= ~LVIS_FOCUSED;
    for (int i = 0; i < GetItemCount(); ++i) ApplyState(i, state, all_mask);
    Notify(CatalogueChange::Kind::kChanged, 0, GetItemCount() - 1);
    return true;
  }
  if (!HasRow(row)) return false;
  if ((state & mask & LVIS_FOCUSED) != 0 && focused_row_ != -1 && focused_row_ != row) {
    const int previous = focused_row_;
    ApplyState(previous, 0, LVIS_FOCUSED);
    Notify(CatalogueChange::Kind::kChanged, previous, previous);
  }
  ApplyState(row, state, mask);
  Notify(CatalogueChange::Kind::kChanged, row, row);
  return true;
}

void CatalogueList::ApplyState(int row, std::uint32_t state, std::uint32_t mask) {
  Row& target = rows_[row];
  const std::uint32_t before = target.state;
  target.state = (before & ~mask) | (state & mask);
  const bool was_selected = (before & LVIS_SELECTED) != 0;
  const bool is_selected = (target.state & LVIS_SELECTED) != 0;
  selected_count_ += static_cast<int>(is_selected) - static_cast<int>(was_selected);
  if ((target.state & LVIS_FOCUSED) != 0) {
    focused_row_ = row;
  } else if (focused_row_ == row) {
    focused_row_ = -1;
  }
}

int CatalogueList::GetNextItem(int start, std::uint32_t flags) const {
  const int first = start < -1 ? 0 : start + 1;
  if (first >= GetItemCount()) return -1;
  // The focused row is known, and no row is selected when the count says so.
  if ((flags & LVNI_FOCUSED) != 0) {
    if (focused_row_ < first) return -1;
    return (rows_[focused_row_].state & flags) == flags ? focused_row_ : -1;
  }
  if ((flags & LVNI_SELECTED) != 0 && selected_count_ == 0) return -1;
  for (int i = first; i < GetItemCount(); ++i) {
    if ((rows_[i].state & flags) == flags) return i;
  }
  return -1;
}

bool CatalogueList::SwapRows(int a, int b) {
  if (!HasRow(a) || !HasRow(b)) return false;
  if (a == b) return true;
  std::swap(rows_[a], rows_[b]);
  if (focused_row_ == a) {
    focused_row_ = b;
  } else if (focused_row_ == b) {
    focused_row_ = a;
  }
  Notify(CatalogueChange::Kind::kChanged, a, a);
  Notify(CatalogueChange::Kind::kChanged, b, b);
  return true;
}

void CatalogueList::SetRedraw(bool redraw) {
  redraw_on_ = redraw;
  ++set_redraw_calls_;
  if (hooks_.set_redraw) hooks_.set_redraw(redraw);
}

void CatalogueList::RedrawWindow() {
  ++redraw_window_calls_;
  if (hooks_.redraw_window) hooks_.redraw_window();
}

void CatalogueList::Notify(CatalogueChange::Kind kind, int first, int last) const {
  if (hooks_.changed) hooks_.changed(CatalogueChange{kind, first, last});
}

}  // namespace vaskel
