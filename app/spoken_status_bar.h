// The main window's status bar as screen readers see it: a status bar whose name is the text of
// its first pane, so that the file count and the menu prompts are read and announced.
#pragma once

#include <wx/statusbr.h>

namespace vaskel {

class SpokenStatusBar final : public wxStatusBar {
 public:
  SpokenStatusBar(wxWindow* parent, wxWindowID id, long style, const wxString& name);

 protected:
  void DoUpdateStatusText(int number) override;
};

}  // namespace vaskel
