#include "storage/catalogue_list.h"

#include <algorithm>
#include <utility>

#include "storage/catalogue_filter.h"

namespace vaskel {

int CatalogueList::InsertItem(int index, std::string_view text, int image, std::intptr_t data) {
  if (index < 0) return -1;
  if (index > GetItemCount()) index = GetItemCount();
  const int stored = index < GetItemCount() ? Stored(index) : GetTotalCount();
  Row row;
  row.texts[kNameColumn] = texts_.Intern(text);
  row.image = image;
  row.data = data;
  rows_.insert(rows_.begin() + stored, row);
  if (focused_row_ >= stored) ++focused_row_;
  if (filtered_) {
    // A row inserted while filtered is shown, whatever it holds.
    for (int& shown : shown_) shown += shown >= stored ? 1 : 0;
    shown_.insert(shown_.begin() + index, stored);
  }
  Notify(CatalogueChange::Kind::kInserted, index, index);
  return index;
}

void CatalogueList::DeleteAllItems() {
  rows_.clear();
  rows_.shrink_to_fit();
  shown_.clear();
  shown_.shrink_to_fit();
  filtered_ = false;
  filter_text_.clear();
  texts_.Clear();
  selected_count_ = 0;
  focused_row_ = -1;
  Notify(CatalogueChange::Kind::kDeletedAll, -1, -1);
}

void CatalogueList::SetFilter(std::string_view text) {
  filter_text_.assign(text);
  shown_.clear();
  filtered_ = !text.empty();
  if (filtered_) {
    const CatalogueFilter filter(text);
    for (int stored = 0; stored < GetTotalCount(); ++stored) {
      const Row& row = rows_[stored];
      if (filter.Matches(texts_.View(row.texts[kNameColumn]),
                         texts_.View(row.texts[kPathColumn]))) {
        shown_.push_back(stored);
      } else if (row.state != 0) {
        ApplyState(stored, 0, LVIS_SELECTED | LVIS_FOCUSED);
      }
    }
  }
  Notify(CatalogueChange::Kind::kReshown, -1, -1);
}

void CatalogueList::SuspendFilter() {
  if (!filtered_) return;
  filtered_ = false;
  shown_.clear();
  Notify(CatalogueChange::Kind::kReshown, -1, -1);
}

void CatalogueList::ResumeFilter() {
  if (filtered_ || filter_text_.empty()) return;
  SetFilter(std::string(filter_text_));
}

int CatalogueList::ShownIndex(int stored) const {
  if (!filtered_) return stored;
  const auto found = std::lower_bound(shown_.begin(), shown_.end(), stored);
  return found != shown_.end() && *found == stored ? static_cast<int>(found - shown_.begin()) : -1;
}

bool CatalogueList::SetItemText(int row, int column, std::string_view text) {
  if (!HasRow(row) || column < 0 || column >= kCatalogueColumnCount) return false;
  rows_[Stored(row)].texts[column] = texts_.Intern(text);
  Notify(CatalogueChange::Kind::kChanged, row, row);
  return true;
}

std::string_view CatalogueList::GetItemText(int row, int column) const {
  if (!HasRow(row) || column < 0 || column >= kCatalogueColumnCount) return {};
  return texts_.View(rows_[Stored(row)].texts[column]);
}

std::string_view CatalogueList::GetStoredText(int stored, int column) const {
  if (stored < 0 || stored >= GetTotalCount() || column < 0 || column >= kCatalogueColumnCount) {
    return {};
  }
  return texts_.View(rows_[stored].texts[column]);
}

std::intptr_t CatalogueList::GetStoredData(int stored) const {
  return stored >= 0 && stored < GetTotalCount() ? rows_[stored].data : 0;
}

bool CatalogueList::SetItemImage(int row, int image) {
  if (!HasRow(row)) return false;
  rows_[Stored(row)].image = image;
  Notify(CatalogueChange::Kind::kChanged, row, row);
  return true;
}

int CatalogueList::GetItemImage(int row) const {
  return HasRow(row) ? rows_[Stored(row)].image : -1;
}

bool CatalogueList::SetItemData(int row, std::intptr_t data) {
  if (!HasRow(row)) return false;
  rows_[Stored(row)].data = data;
  Notify(CatalogueChange::Kind::kChanged, row, row);
  return true;
}

std::intptr_t CatalogueList::GetItemData(int row) const {
  return HasRow(row) ? rows_[Stored(row)].data : 0;
}

std::uint32_t CatalogueList::GetItemState(int row, std::uint32_t mask) const {
  return HasRow(row) ? rows_[Stored(row)].state & mask : 0;
}

bool CatalogueList::SetItemState(int row, std::uint32_t state, std::uint32_t mask) {
  if (row == -1) {
    if (GetItemCount() == 0) return true;
    // Focus cannot be given to every row at once; it can be taken from the row that has it.
    std::uint32_t all_mask = mask;
    if ((state & mask & LVIS_FOCUSED) != 0) all_mask &= ~LVIS_FOCUSED;
    for (int i = 0; i < GetItemCount(); ++i) ApplyState(Stored(i), state, all_mask);
    Notify(CatalogueChange::Kind::kChanged, 0, GetItemCount() - 1);
    return true;
  }
  if (!HasRow(row)) return false;
  const int stored = Stored(row);
  if ((state & mask & LVIS_FOCUSED) != 0 && focused_row_ != -1 && focused_row_ != stored) {
    const int previous = focused_row_;
    ApplyState(previous, 0, LVIS_FOCUSED);
    const int shown = ShownIndex(previous);
    if (shown != -1) Notify(CatalogueChange::Kind::kChanged, shown, shown);
  }
  ApplyState(stored, state, mask);
  Notify(CatalogueChange::Kind::kChanged, row, row);
  return true;
}

void CatalogueList::ApplyState(int stored, std::uint32_t state, std::uint32_t mask) {
  Row& target = rows_[stored];
  const std::uint32_t before = target.state;
  target.state = (before & ~mask) | (state & mask);
  const bool was_selected = (before & LVIS_SELECTED) != 0;
  const bool is_selected = (target.state & LVIS_SELECTED) != 0;
  selected_count_ += static_cast<int>(is_selected) - static_cast<int>(was_selected);
  if ((target.state & LVIS_FOCUSED) != 0) {
    focused_row_ = stored;
  } else if (focused_row_ == stored) {
    focused_row_ = -1;
  }
}

int CatalogueList::GetNextItem(int start, std::uint32_t flags) const {
  const int first = start < -1 ? 0 : start + 1;
  if (first >= GetItemCount()) return -1;
  // The focused row is known, and no row is selected when the count says so.
  if ((flags & LVNI_FOCUSED) != 0) {
    const int focused = focused_row_ == -1 ? -1 : ShownIndex(focused_row_);
    if (focused < first) return -1;
    return (rows_[focused_row_].state & flags) == flags ? focused : -1;
  }
  if ((flags & LVNI_SELECTED) != 0 && selected_count_ == 0) return -1;
  for (int i = first; i < GetItemCount(); ++i) {
    if ((rows_[Stored(i)].state & flags) == flags) return i;
  }
  return -1;
}

bool CatalogueList::SwapRows(int a, int b) {
  if (!HasRow(a) || !HasRow(b)) return false;
  if (a == b) return true;
  const int stored_a = Stored(a);
  const int stored_b = Stored(b);
  std::swap(rows_[stored_a], rows_[stored_b]);
  if (focused_row_ == stored_a) {
    focused_row_ = stored_b;
  } else if (focused_row_ == stored_b) {
    focused_row_ = stored_a;
  }
  Notify(CatalogueChange::Kind::kChanged, a, a);
  Notify(CatalogueChange::Kind::kChanged, b, b);
  return true;
}

void CatalogueList::SetRedraw(bool redraw) {
  if (hooks_.set_redraw) hooks_.set_redraw(redraw);
}

void CatalogueList::RedrawWindow() {
  if (hooks_.redraw_window) hooks_.redraw_window();
}

void CatalogueList::Notify(CatalogueChange::Kind kind, int first, int last) const {
  if (hooks_.changed) hooks_.changed(CatalogueChange{kind, first, last});
}

}  // namespace vaskel
