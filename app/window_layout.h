// The main window's size and place and the catalogue's column widths, kept in the profile's
// "Settings" section from one run to the next. Without stored values (the first start ever) the
// window keeps its centred 550 x 350 and the columns their own widths; a stored place off every
// screen is not used either.
#pragma once

class wxFrame;
class wxListCtrl;

namespace vaskel {

// Either may be null.
void RestoreWindowLayout(wxFrame* frame, wxListCtrl* list);
void SaveWindowLayout(const wxFrame* frame, const wxListCtrl* list);

}  // namespace vaskel
