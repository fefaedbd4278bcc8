// The catalogue list's context menu, "Operate" with "&Run" and "&Unpack", and the double-click
// that runs a row. Both act on the selection, not on the row under the pointer.
#pragma once

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

// Shows the menu at the pointer and returns the command chosen, or wxID_NONE. Tests put a
// stand-in here, since a real popup waits for the user.
using MenuTracker = std::function<int(wxWindow& owner, wxMenu& menu)>;
// Returns the previous tracker; an empty one restores the real popup.
MenuTracker SetMenuTracker(MenuTracker tracker);

// The right-click: the menu, then Run on the first selected row or the view's Unpack.
void ShowOperateMenu(CVaskelView& view);
// The double-click: Run when exactly one row is selected.
void RunSelectedRow(CVaskelView& view);

}  // namespace vaskel
