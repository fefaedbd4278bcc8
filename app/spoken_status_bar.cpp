#include "app/spoken_status_bar.h"

#include "platform/desktop/accessible_name.h"

namespace vaskel {

SpokenStatusBar::SpokenStatusBar(wxWindow* parent, wxWindowID id, long style, const wxString& name)
    : wxStatusBar(parent, id, style, name) {
  SetAccessibleStatus(*this, wxString());
}

void SpokenStatusBar::DoUpdateStatusText(int number) {
  wxStatusBar::DoUpdateStatusText(number);
  if (number == 0) SetAccessibleStatus(*this, GetStatusText(0));
}

}  // namespace vaskel
