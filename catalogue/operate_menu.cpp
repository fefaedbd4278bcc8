#include "catalogue/operate_menu.h"

#include <wx/menu.h>
#include <wx/xrc/xmlres.h>

#include <utility>

#include "catalogue/catalogue_rows_control.h"
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
  CatalogueRowsControl* list = view.ListCtrl();
  if (list == nullptr) return;
  const CatalogueList& rows = view.CurrentRows();
  const std::unique_ptr<wxMenu> menu = LoadOperateMenu(rows.GetSelectedCount());
  if (menu == nullptr) return;
  const wxPoint where = screen_position == wxDefaultPosition
                            ? list->KeyboardMenuPlace()
                            : list->Window().ScreenToClient(screen_position);
  const int chosen = TrackMenu(list->Window(), *menu, where);
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
  CatalogueRowsControl* list = view.ListCtrl();
  if (list == nullptr) return;
  // The menu goes at the focused row when the keyboard asked, never where the pointer rests.
  list->Handlers().context_menu = [&view](const wxPoint& where) { ShowOperateMenu(view, where); };
  list->Handlers().activated = [&view] { RunSelectedRow(view); };
}

}  // namespace vaskel
