// Names and roles for screen readers (ATK, which AT-SPI reads on GTK) where the toolkit gives a
// control none: a search field, the catalogue, a field named by the caption beside it, a
// dialog, the status bar drawn by wxWidgets.
#pragma once

#include <wx/string.h>

class wxWindow;

namespace vaskel {

// The name a screen reader reads for `control` (mnemonic marks left out).
void SetAccessibleName(wxWindow& control, const wxString& name);
// `label`, the caption beside `control`, names it.
void SetAccessibleLabel(wxWindow& label, wxWindow& control);
// `dialog` reads as a dialog, not as the frame GTK calls every top-level window.
void SetAccessibleDialogRole(wxWindow& dialog);
// `bar` is a status bar whose text is `text`; a screen reader is told when it changes.
void SetAccessibleStatus(wxWindow& bar, const wxString& text);

}  // namespace vaskel
