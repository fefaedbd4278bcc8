// The About box: the version line, the maker's notice and the maker's addresses as flat
// buttons (e-mail and home page open the desktop's programs; the telephone does nothing).
#pragma once

#include <wx/dialog.h>

namespace vaskel {

class AboutDialog final : public wxDialog {
 public:
  explicit AboutDialog(wxWindow* parent);
  // False when the layout could not be loaded.
  bool IsLoaded() const { return loaded_; }

 private:
  bool loaded_ = false;
};

}  // namespace vaskel
