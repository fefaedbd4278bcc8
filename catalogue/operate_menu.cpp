#include "catalogue/operate_menu.h"

#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <utility>

#include "catalogue/catalogue_list_ctrl.h"
#include "catalogue/vaskel_doc.h"
#include "catalogue/vaskel_view.h"
#include "res/resource_ids.h"
#include "res/window_resources.h"

namespace vaskel {
namespace {

using res::WxId;

MenuTracker& Tracker() {
  static MenuTracker tracker;
  return tracker;
}

int TrackMenu(wxWindow& owner, wxMenu& menu, const wxPoint& where) {
  if (const MenuTracker& tracker = Tracker()) return tracker(owner, menu, where);
  return owner.GetPopupMenuSelectionFromUser(menu, where);
}

// Where a menu opened from the keyboard goes: at the focused row when it is in sight, else at
// the top of the rows, never where the pointer happens to rest.
wxPoint KeyboardMenuPlace(const wxListCtrl& list) {
  const long focused = list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
  const long first = list.GetTopItem();
  const long row = focused >= first && focused < first + list.GetCountPerPage() ? focused : first;
  wxRect rect;
  if (row < 0 || !list.GetItemRect(row, rect, wxLIST_RECT_LABEL)) return wxPoint(0, 0);
  // Inside the row, so that it stays in sight beside the menu.
  return wxPoint(std::max(rect.x, 0) + rect.height / 2, rect.y + rect.height / 2);
}

void RunRow(CVaskelView& view, int row) { view.Run(row); }

}  // namespace

std::unique_ptr<wxMenu> LoadOperateMenu(int selected_count) {
  res::LoadWindowResources();
  const std::unique_ptr<wxMenuBar> bar(
      wxXmlResource::Get()->LoadMenuBar(nullptr, "IDR_CONTEXT_MENU"));
  if (bar == nullptr || bar->GetMenuCount() == 0) return nullptr;
  std::unique_ptr<wxMenu> menu(bar->Remove(0));
  menu->Enable(WxId(res::ID_OPERATE_RUN), selected_count == 1);
  menu->Enable(WxId(res::ID_OPERATE_UNPACK), selected_count > 0);
  return menu;
}

MenuTracker SetMenuTracker(MenuTracker tracker) {
  return std::exchange(Tracker(), std::move(tracker));
}

void ShowOperateMenu(CVaskelView& view, const wxPoint& screen_position) {
  CatalogueListCtrl* list = view.ListCtrl();
  if (list == nullptr) return;
  const CatalogueList& rows = view.CurrentRows();
  const std::unique_ptr<wxMenu> menu = LoadOperateMenu(rows.GetSelectedCount());
  if (menu == nullptr) return;
  const wxPoint where = screen_position == wxDefaultPosition
                            ? KeyboardMenuPlace(*list)
                            : list->ScreenToClient(screen_position);
  const int chosen = TrackMenu(*list, *menu, where);
  // Only what the menu offered: a greyed entry cannot be chosen.
  if (chosen == wxID_NONE || menu->FindItem(chosen) == nullptr || !menu->IsEnabled(chosen)) {
    return;
  }
  const int first_selected = rows.GetNextItem(-1, LVNI_SELECTED);
  if (chosen == WxId(res::ID_OPERATE_RUN)) {
    RunRow(view, first_selected);
  } else if (chosen == WxId(res::ID_OPERATE_UNPACK)) {
    // The same command as the menu's and the toolbar's, which the frame carries out.
    wxCommandEvent unpack(wxEVT_MENU, WxId(res::ID_FILE_UNPACK));
    if (wxWindow* frame = view.GetFrame()) frame->ProcessWindowEvent(unpack);
  }
}

void RunSelectedRow(CVaskelView& view) {
  const CatalogueList& rows = view.CurrentRows();
  if (rows.GetSelectedCount() != 1) return;
  RunRow(view, rows.GetNextItem(-1, LVNI_SELECTED));
}

void AttachOperateMenu(CVaskelView& view) {
  CatalogueListCtrl* list = view.ListCtrl();
  if (list == nullptr) return;
  list->Bind(wxEVT_CONTEXT_MENU,
             [&view](wxContextMenuEvent& event) { ShowOperateMenu(view, event.GetPosition()); });
  list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [&view](wxListEvent&) { RunSelectedRow(view); });
}

}  // namespace vaskel
