#include "catalogue/catalogue_list_ctrl.h"

#include <algorithm>

#include "catalogue/flag_scope.h"
#include "catalogue/icon_bitmap_cache.h"
#include "catalogue/redraw_hold.h"
#include "res/window_resources.h"

namespace vaskel {
namespace {

// Above this many rows one call for every row beats row-by-row updates.
constexpr int kWholeListThreshold = 64;

}  // namespace

CatalogueListCtrl::CatalogueListCtrl(wxWindow* parent, CatalogueList& rows, IconBitmapCache& icons)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_SIMPLE),
      rows_(rows),
      icons_(icons) {
  icons_.AttachTo(*this);
  rows_.SetHooks(CatalogueListHooks{
      [this](bool redraw) { SetRedraw(redraw); },
      [this] { RedrawNow(); },
      [this](const CatalogueChange& change) { OnRowsChanged(change); },
  });
  SetItemCount(rows_.GetItemCount());
  Bind(wxEVT_LIST_ITEM_SELECTED, &CatalogueListCtrl::OnItemStateEvent, this);
  Bind(wxEVT_LIST_ITEM_DESELECTED, &CatalogueListCtrl::OnItemStateEvent, this);
  Bind(wxEVT_LIST_ITEM_FOCUSED, &CatalogueListCtrl::OnItemStateEvent, this);
  Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& event) {
    if (handlers_.column_click) handlers_.column_click(event.GetColumn());
  });
  Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) {
    if (handlers_.activated) handlers_.activated();
  });
  Bind(wxEVT_LIST_BEGIN_DRAG, [this](wxListEvent&) {
    if (handlers_.begin_drag) handlers_.begin_drag();
  });
  Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& event) {
    if (handlers_.context_menu) handlers_.context_menu(event.GetPosition());
  });
  // Range selections of a virtual list do not always report each row: after every click and
  // key the whole selection is read back once.
  for (wxWindow* child : GetChildren()) {
    child->Bind(wxEVT_LEFT_UP, &CatalogueListCtrl::OnUserInput<wxMouseEvent>, this);
    child->Bind(wxEVT_KEY_UP, &CatalogueListCtrl::OnUserInput<wxKeyEvent>, this);
  }
}

CatalogueListCtrl::~CatalogueListCtrl() {
  // The base class destroys the children, which still report to us otherwise.
  for (wxWindow* child : GetChildren()) {
    child->Unbind(wxEVT_LEFT_UP, &CatalogueListCtrl::OnUserInput<wxMouseEvent>, this);
    child->Unbind(wxEVT_KEY_UP, &CatalogueListCtrl::OnUserInput<wxKeyEvent>, this);
  }
  Unbind(wxEVT_LIST_ITEM_SELECTED, &CatalogueListCtrl::OnItemStateEvent, this);
  Unbind(wxEVT_LIST_ITEM_DESELECTED, &CatalogueListCtrl::OnItemStateEvent, this);
  Unbind(wxEVT_LIST_ITEM_FOCUSED, &CatalogueListCtrl::OnItemStateEvent, this);
  rows_.SetHooks({});
  hold_.Release();
}

void CatalogueListCtrl::AddColumn(const wxString& heading, bool right_aligned, int width) {
  AppendColumn(heading, right_aligned ? wxLIST_FORMAT_RIGHT : wxLIST_FORMAT_LEFT, width);
}

wxString CatalogueListCtrl::ColumnHeading(int column) const {
  wxListItem heading;
  heading.SetMask(wxLIST_MASK_TEXT);
  return GetColumn(column, heading) ? heading.GetText() : wxString();
}

wxPoint CatalogueListCtrl::KeyboardMenuPlace() {
  const long focused = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
  const long first = GetTopItem();
  const long row = focused >= first && focused < first + GetCountPerPage() ? focused : first;
  wxRect rect;
  if (row < 0 || !GetItemRect(row, rect, wxLIST_RECT_LABEL)) return wxPoint(0, 0);
  // Inside the row, so that it stays in sight beside the menu.
  return wxPoint(std::max(rect.x, 0) + rect.height / 2, rect.y + rect.height / 2);
}

std::vector<int> CatalogueListCtrl::ShownSelection() const {
  std::vector<int> selected;
  for (long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
       row = GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
    selected.push_back(static_cast<int>(row));
  }
  return selected;
}

wxString CatalogueListCtrl::OnGetItemText(long item, long column) const {
  return res::ToWx(rows_.GetItemText(static_cast<int>(item), static_cast<int>(column)));
}

int CatalogueListCtrl::OnGetItemImage(long item) const {
  return icons_.ImagePosition(rows_.GetItemImage(static_cast<int>(item)));
}

void CatalogueListCtrl::OnRowsChanged(const CatalogueChange& change) {
  if (syncing_) return;
  switch (change.kind) {
    case CatalogueChange::Kind::kDeletedAll: {
      FlagScope pushing(pushing_);
      DeleteAllItems();
      count_stale_ = false;
      states_stale_ = false;
      if (!hold_.Held()) Refresh();
      return;
    }
    case CatalogueChange::Kind::kInserted:
      count_stale_ = true;
      if (!hold_.Held()) {
        ApplyItemCount();
        Refresh();
      }
      return;
    case CatalogueChange::Kind::kReshown:
      count_stale_ = true;
      states_stale_ = true;
      if (!hold_.Held()) SetRedraw(true);
      return;
    case CatalogueChange::Kind::kChanged:
      if (hold_.Held() || count_stale_) {
        states_stale_ = true;
        return;
      }
      PushStates(change.first, change.last);
      RefreshItems(change.first, change.last);
      return;
  }
}

void CatalogueListCtrl::SetRedraw(bool redraw) {
  if (!hold_.Apply(redraw)) return;
  ApplyItemCount();
  if (states_stale_ && rows_.GetItemCount() > 0) PushStates(0, rows_.GetItemCount() - 1);
  states_stale_ = false;
  Refresh();
}

void CatalogueListCtrl::RedrawNow() {
  ApplyItemCount();
  Refresh();
  Update();
}

void CatalogueListCtrl::ApplyItemCount() {
  if (!count_stale_ && GetItemCount() == rows_.GetItemCount()) return;
  count_stale_ = false;
  FlagScope pushing(pushing_);
  SetItemCount(rows_.GetItemCount());
}

void CatalogueListCtrl::PushStates(int first, int last) {
  const int count = rows_.GetItemCount();
  if (count == 0 || first < 0 || last >= count || first > last) return;
  FlagScope pushing(pushing_);
  const int selected = rows_.GetSelectedCount();
  const bool whole = first == 0 && last == count - 1 && count > kWholeListThreshold;
  if (whole && (selected == count || selected == 0)) {
    SetItemState(-1, selected == 0 ? 0 : wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  } else {
    for (int row = first; row <= last; ++row) {
      const bool want = rows_.GetItemState(row, LVIS_SELECTED) != 0;
      const bool have = GetItemState(row, wxLIST_STATE_SELECTED) != 0;
      if (want != have) SetItemState(row, want ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }
  }
  const long focused = rows_.GetNextItem(-1, LVNI_FOCUSED);
  if (focused >= 0 && GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED) != focused) {
    SetItemState(focused, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
  }
}

void CatalogueListCtrl::OnItemStateEvent(wxListEvent& event) {
  event.Skip();
  if (pushing_) return;
  const long row = event.GetIndex();
  if (row < 0 || row >= rows_.GetItemCount()) {
    ScheduleFullSync();
    return;
  }
  FlagScope syncing(syncing_);
  std::uint32_t state = GetItemState(row, wxLIST_STATE_SELECTED) != 0 ? LVIS_SELECTED : 0;
  std::uint32_t mask = LVIS_SELECTED;
  if (GetItemState(row, wxLIST_STATE_FOCUSED) != 0) {
    state |= LVIS_FOCUSED;
    mask |= LVIS_FOCUSED;
  }
  rows_.SetItemState(static_cast<int>(row), state, mask);
}

void CatalogueListCtrl::ScheduleFullSync() {
  if (full_sync_pending_) return;
  full_sync_pending_ = true;
  CallAfter([this] {
    full_sync_pending_ = false;
    SyncStoreFromControl();
  });
}

void CatalogueListCtrl::SyncStoreFromControl() {
  if (GetItemCount() != rows_.GetItemCount()) return;  // the store is ahead: it wins
  FlagScope syncing(syncing_);
  rows_.SetItemState(-1, 0, LVIS_SELECTED);
  for (long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
       row = GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
    rows_.SetItemState(static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
  }
  const long focused = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
  if (focused >= 0) {
    rows_.SetItemState(static_cast<int>(focused), LVIS_FOCUSED, LVIS_FOCUSED);
  } else {
    rows_.SetItemState(-1, 0, LVIS_FOCUSED);
  }
}

}  // namespace vaskel
