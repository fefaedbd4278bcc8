// The catalogue list's context menu, "Operate" with "&Run" and "&Unpack", and the double-click
// that runs a row. Both act on the selection, not on the row under the pointer.
#pragma once

#include <wx/gdicmn.h>

#include <functional>
#include <memory>

class wxMenu;
class wxWindow;

namespace vaskel {

class CVaskelView;

// Connects the right-click and the double-click of the view's list.
void AttachOperateMenu(CVaskelView& view);

// The menu, loaded anew: "&Run" greyed unless exactly one row is selected, "&Unpack" greyed
// when none is. Null when the layout is missing.
std::unique_ptr<wxMenu> LoadOperateMenu(int selected_count);

// Shows the menu at `where` (in the owner's client coordinates) and returns the command chosen,
// or wxID_NONE. Tests put a stand-in here, since a real popup waits for the user.
using MenuTracker = std::function<int(wxWindow& owner, wxMenu& menu, const wxPoint& where)>;
// Returns the previous tracker; an empty one restores the real popup.
MenuTracker SetMenuTracker(MenuTracker tracker);

// The right-click, the Menu key or Shift+F10: the menu, then Run on the first selected row or
// the view's Unpack. `screen_position` is where the click was; wxDefaultPosition (a key) puts
// the menu at the focused row.
void ShowOperateMenu(CVaskelView& view, const wxPoint& screen_position);
// The double-click: Run when exactly one row is selected.
void RunSelectedRow(CVaskelView& view);

}  // namespace vaskel
