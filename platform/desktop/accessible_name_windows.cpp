// Windows: the system's own accessibility proxy names a native field by the caption before it
// and reads the native status bar as one. Only a control with no caption of its own (the
// catalogue, the find box, the progress bar) is given a name, and everything else it is asked
// is still answered by that proxy.
#include <wx/access.h>
#include <wx/menuitem.h>
#include <wx/textctrl.h>
#include <wx/window.h>

#include "platform/desktop/accessible_name.h"

namespace vaskel {
namespace {

class NamedAccessible final : public wxAccessible {
 public:
  NamedAccessible(wxWindow& window, const wxString& name) : wxAccessible(&window), name_(name) {}

  wxAccStatus GetName(int child, wxString* name) override {
    if (child != wxACC_SELF) return wxACC_NOT_IMPLEMENTED;  // a row of a list keeps its own
    *name = name_;
    return wxACC_OK;
  }

 private:
  wxString name_;
};

void Name(wxWindow& window, const wxString& name) {
  window.SetAccessible(new NamedAccessible(window, name));  // the window owns it
}

}  // namespace

void SetAccessibleName(wxWindow& control, const wxString& name) {
  const wxString text = wxMenuItem::GetLabelText(name);
  Name(control, text);
  // A composite control (the find box) holds the field that takes the focus.
  for (wxWindow* child : control.GetChildren()) {
    if (dynamic_cast<wxTextCtrl*>(child) != nullptr) Name(*child, text);
  }
}

void SetAccessibleLabel(wxWindow&, wxWindow&) {
  // The proxy names a field by the caption that precedes it, as the layout places them.
}

void SetAccessibleDialogRole(wxWindow&) {
  // A dialog's window class already gives it the dialog role.
}

void SetAccessibleStatus(wxWindow&, const wxString&) {
  // The native status bar is read with its text, and announced when it changes.
}

}  // namespace vaskel
