#include "catalogue/catalogue_data_view.h"

#include <gtk/gtk.h>
#include <wx/settings.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "catalogue/catalogue_rows_model.h"
#include "catalogue/flag_scope.h"
#include "catalogue/redraw_hold.h"

namespace vaskel {
namespace {

// Above this many rows one call for every row beats row-by-row updates.
constexpr int kWholeListThreshold = 64;

GtkTreeViewColumn* NativeColumn(const wxDataViewColumn* column) {
  return column != nullptr ? GTK_TREE_VIEW_COLUMN(column->GetGtkHandle()) : nullptr;
}

struct HeaderClick {
  CatalogueDataView* view;
  int column;
};

// GTK's "clicked" comes from the mouse, from the keyboard on a focused header and from a screen
// reader's click action alike.
void OnNativeHeaderClicked(GtkTreeViewColumn*, gpointer data) {
  const auto* click = static_cast<const HeaderClick*>(data);
  click->view->OnHeaderClicked(click->column);
}

void FreeHeaderClick(gpointer data, GClosure*) { delete static_cast<HeaderClick*>(data); }

}  // namespace

CatalogueDataView::CatalogueDataView(wxWindow* parent, CatalogueList& rows, IconBitmapCache& icons)
    : wxDataViewCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                     wxDV_MULTIPLE | wxDV_ROW_LINES | wxBORDER_SIMPLE),
      rows_(rows),
      model_(new CatalogueRowsModel(rows, icons)) {
  AssociateModel(model_.get());
  rows_.SetHooks(CatalogueListHooks{
      [this](bool redraw) { SetRedraw(redraw); },
      [this] {
        ApplyItemCount();
        Refresh();
        Update();
      },
      [this](const CatalogueChange& change) { OnRowsChanged(change); },
  });
  Bind(wxEVT_DATAVIEW_SELECTION_CHANGED, &CatalogueDataView::OnSelectionChanged, this);
  Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED, [this](wxDataViewEvent&) {
    if (handlers_.activated) handlers_.activated();
  });
  Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& event) {
    if (handlers_.context_menu) handlers_.context_menu(event.GetPosition());
  });
  Bind(wxEVT_KEY_DOWN, &CatalogueDataView::OnKeyDown, this);
  Bind(wxEVT_LEFT_DOWN, &CatalogueDataView::OnMouseDown, this);
  Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
    may_drag_ = false;
    event.Skip();
  });
  Bind(wxEVT_MOTION, &CatalogueDataView::OnMouseMotion, this);
}

CatalogueDataView::~CatalogueDataView() {
  rows_.SetHooks({});
  for (unsigned int column = 0; column < GetColumnCount(); ++column) {
    g_signal_handlers_disconnect_by_func(NativeColumn(GetColumn(column)),
                                         reinterpret_cast<gpointer>(OnNativeHeaderClicked),
                                         nullptr);
  }
  hold_.Release();
}

void CatalogueDataView::AddColumn(const wxString& heading, bool right_aligned, int width) {
  const unsigned int index = GetColumnCount();
  const wxAlignment align = right_aligned ? wxALIGN_RIGHT : wxALIGN_LEFT;
  wxDataViewRenderer* renderer = nullptr;
  if (index == kNameColumn) {
    renderer = new wxDataViewIconTextRenderer();
  } else {
    renderer = new wxDataViewTextRenderer();
    renderer->SetAlignment(align | wxALIGN_CENTER_VERTICAL);
  }
  auto* column =
      new wxDataViewColumn(heading, renderer, index, width, align, wxDATAVIEW_COL_RESIZABLE);
  AppendColumn(column);
  // Our own sorting answers the header: GTK's is off, its button still takes clicks.
  GtkTreeViewColumn* native = NativeColumn(column);
  gtk_tree_view_column_set_clickable(native, TRUE);
  g_signal_connect_data(native, "clicked", G_CALLBACK(OnNativeHeaderClicked),
                        new HeaderClick{this, static_cast<int>(index)}, FreeHeaderClick,
                        GConnectFlags{});
}

wxString CatalogueDataView::ColumnHeading(int column) const {
  const wxDataViewColumn* native = GetColumn(static_cast<unsigned int>(column));
  return native != nullptr ? native->GetTitle() : wxString();
}

int CatalogueDataView::ColumnWidth(int column) const {
  // The width set or dragged, not the room the last column takes up to the window's edge.
  GtkTreeViewColumn* native = NativeColumn(GetColumn(static_cast<unsigned int>(column)));
  return native != nullptr ? gtk_tree_view_column_get_fixed_width(native) : 0;
}

void CatalogueDataView::ResizeColumn(int column, int width) {
  if (wxDataViewColumn* native = GetColumn(static_cast<unsigned int>(column))) {
    native->SetWidth(width);
  }
}

void CatalogueDataView::ShowSortIndicator(int column, bool ascending) {
  RemoveSortIndicator();
  GtkTreeViewColumn* native = NativeColumn(GetColumn(static_cast<unsigned int>(column)));
  if (native == nullptr) return;
  gtk_tree_view_column_set_sort_order(native, ascending ? GTK_SORT_ASCENDING : GTK_SORT_DESCENDING);
  gtk_tree_view_column_set_sort_indicator(native, TRUE);
}

void CatalogueDataView::RemoveSortIndicator() {
  for (unsigned int column = 0; column < GetColumnCount(); ++column) {
    gtk_tree_view_column_set_sort_indicator(NativeColumn(GetColumn(column)), FALSE);
  }
}

int CatalogueDataView::SortIndicator() const {
  for (unsigned int column = 0; column < GetColumnCount(); ++column) {
    if (gtk_tree_view_column_get_sort_indicator(NativeColumn(GetColumn(column)))) {
      return static_cast<int>(column);
    }
  }
  return -1;
}

bool CatalogueDataView::IsAscendingSortIndicator() const {
  const int column = SortIndicator();
  return column >= 0 && gtk_tree_view_column_get_sort_order(NativeColumn(
                            GetColumn(static_cast<unsigned int>(column)))) == GTK_SORT_ASCENDING;
}

wxDataViewItem CatalogueDataView::RowItem(int row) const {
  return model_->GetItem(static_cast<unsigned int>(row));
}

int CatalogueDataView::ItemRow(const wxDataViewItem& item) const {
  return item.IsOk() ? static_cast<int>(model_->GetRow(item)) : -1;
}

int CatalogueDataView::ShownRowCount() const { return static_cast<int>(model_->GetCount()); }

wxString CatalogueDataView::ShownText(int row, int column) const {
  if (row < 0 || row >= ShownRowCount()) return wxString();
  return model_->CellText(static_cast<unsigned int>(row), static_cast<unsigned int>(column));
}

std::vector<int> CatalogueDataView::ShownSelection() const {
  wxDataViewItemArray items;
  GetSelections(items);
  std::vector<int> selected;
  selected.reserve(items.size());
  for (const wxDataViewItem& item : items) selected.push_back(ItemRow(item));
  std::sort(selected.begin(), selected.end());
  return selected;
}

void CatalogueDataView::OnHeaderClicked(int column) {
  if (handlers_.column_click) handlers_.column_click(column);
}

void CatalogueDataView::ShowRow(int row) {
  if (row >= 0 && row < ShownRowCount()) EnsureVisible(RowItem(row));
}

wxPoint CatalogueDataView::KeyboardMenuPlace() {
  const int focused = ItemRow(GetCurrentItem());
  const int first = ItemRow(GetTopItem());
  const int per_page = std::max(GetCountPerPage(), 1);
  const int row = focused >= first && focused < first + per_page ? focused : first;
  if (row < 0) return wxPoint(0, 0);
  const wxRect rect = GetItemRect(RowItem(row), GetColumn(kNameColumn));
  if (rect.IsEmpty()) return wxPoint(0, 0);
  // Inside the row, so that it stays in sight beside the menu.
  return wxPoint(std::max(rect.x, 0) + rect.height / 2, rect.y + rect.height / 2);
}

void CatalogueDataView::OnRowsChanged(const CatalogueChange& change) {
  if (syncing_) return;
  switch (change.kind) {
    case CatalogueChange::Kind::kDeletedAll: {
      FlagScope pushing(pushing_);
      model_->ResetRows(0);
      count_stale_ = false;
      states_stale_ = false;
      cells_stale_ = false;
      return;
    }
    case CatalogueChange::Kind::kInserted:
      count_stale_ = true;
      if (!hold_.Held()) ApplyItemCount();
      return;
    case CatalogueChange::Kind::kReshown:
      count_stale_ = true;
      states_stale_ = true;
      if (!hold_.Held()) SetRedraw(true);
      return;
    case CatalogueChange::Kind::kChanged:
      if (hold_.Held() || count_stale_) {
        states_stale_ = true;
        cells_stale_ = true;
        return;
      }
      PushStates(change.first, change.last);
      if (change.last - change.first >= kWholeListThreshold) {
        Refresh();
      } else {
        for (int row = change.first; row <= change.last; ++row) {
          model_->RowChanged(static_cast<unsigned int>(row));
        }
      }
      return;
  }
}

void CatalogueDataView::SetRedraw(bool redraw) {
  if (!hold_.Apply(redraw)) return;
  ApplyItemCount();
  if (cells_stale_) {
    FlagScope pushing(pushing_);
    model_->RowsRewritten();
    cells_stale_ = false;
  }
  if (states_stale_ && rows_.GetItemCount() > 0) PushStates(0, rows_.GetItemCount() - 1);
  states_stale_ = false;
  Refresh();
}

void CatalogueDataView::ApplyItemCount() {
  if (!count_stale_ && ShownRowCount() == rows_.GetItemCount()) return;
  count_stale_ = false;
  FlagScope pushing(pushing_);
  // A new count is a new list to GTK: the selection and focus are pushed again.
  model_->ResetRows(static_cast<unsigned int>(rows_.GetItemCount()));
  states_stale_ = true;
  cells_stale_ = false;
  if (!hold_.Held() && rows_.GetItemCount() > 0) {
    PushStates(0, rows_.GetItemCount() - 1);
    states_stale_ = false;
  }
}

void CatalogueDataView::PushStates(int first, int last) {
  const int count = rows_.GetItemCount();
  if (count == 0 || count != ShownRowCount() || first < 0 || last >= count || first > last) {
    return;
  }
  FlagScope pushing(pushing_);
  const int selected = rows_.GetSelectedCount();
  const bool whole = first == 0 && last == count - 1 && count > kWholeListThreshold;
  if (whole && selected == count) {
    SelectAll();
  } else if (whole) {
    UnselectAll();
    for (int row = rows_.GetNextItem(-1, LVNI_SELECTED); row != -1;
         row = rows_.GetNextItem(row, LVNI_SELECTED)) {
      Select(RowItem(row));
    }
  } else {
    for (int row = first; row <= last; ++row) {
      const bool want = rows_.GetItemState(row, LVIS_SELECTED) != 0;
      if (want != IsSelected(RowItem(row))) want ? Select(RowItem(row)) : Unselect(RowItem(row));
    }
  }
  const int focused = rows_.GetNextItem(-1, LVNI_FOCUSED);
  if (focused >= 0 && ItemRow(GetCurrentItem()) != focused) SetCurrentItem(RowItem(focused));
}

void CatalogueDataView::OnSelectionChanged(wxDataViewEvent& event) {
  event.Skip();
  if (!pushing_) SyncStoreFromControl();
}

void CatalogueDataView::SyncStoreFromControl() {
  if (ShownRowCount() != rows_.GetItemCount()) return;  // the store is ahead: it wins
  FlagScope syncing(syncing_);
  rows_.SetItemState(-1, 0, LVIS_SELECTED);
  wxDataViewItemArray selected;
  GetSelections(selected);
  for (const wxDataViewItem& item : selected) {
    rows_.SetItemState(ItemRow(item), LVIS_SELECTED, LVIS_SELECTED);
  }
  const int focused = ItemRow(GetCurrentItem());
  if (focused >= 0) {
    rows_.SetItemState(focused, LVIS_FOCUSED, LVIS_FOCUSED);
  } else {
    rows_.SetItemState(-1, 0, LVIS_FOCUSED);
  }
}

void CatalogueDataView::OnKeyDown(wxKeyEvent& event) {
  const bool menu_key = event.GetKeyCode() == WXK_MENU ||
                        (event.GetKeyCode() == WXK_F10 && event.GetModifiers() == wxMOD_SHIFT);
  if (!menu_key || !handlers_.context_menu) {
    event.Skip();
    return;
  }
  SyncStoreFromControl();
  handlers_.context_menu(wxDefaultPosition);
}

void CatalogueDataView::OnMouseDown(wxMouseEvent& event) {
  event.Skip();
  press_ = event.GetPosition();
  may_drag_ = true;
}

void CatalogueDataView::OnMouseMotion(wxMouseEvent& event) {
  event.Skip();
  if (!may_drag_ || !event.LeftIsDown() || !handlers_.begin_drag) return;
  const wxPoint moved = event.GetPosition() - press_;
  if (std::abs(moved.x) <= wxSystemSettings::GetMetric(wxSYS_DRAG_X, this) &&
      std::abs(moved.y) <= wxSystemSettings::GetMetric(wxSYS_DRAG_Y, this)) {
    return;
  }
  may_drag_ = false;
  if (rows_.GetSelectedCount() == 0 && GetSelectedItemsCount() == 0) return;
  handlers_.begin_drag();
}

}  // namespace vaskel
