// The main window's size and place and the catalogue's column widths, kept in the profile's
// "Settings" section from one run to the next. Without stored values (the first start ever) the
// window keeps its centred default size and the columns their own widths; a stored place off every
// screen is not used either.
// Only what this window changed is written back, so that a second instance closing later does
// not put back the values it started with over the first one's.
#pragma once

#include <map>
#include <string>

class wxConfigBase;
class wxFrame;

namespace vaskel {

class CatalogueRowsControl;

// The window and the list may be null.
class WindowLayout {
 public:
  void Restore(wxConfigBase& profile, wxFrame* frame, CatalogueRowsControl* list);
  // Writes each value that differs from the one the window had after Restore or the last Save.
  void Save(wxConfigBase& profile, const wxFrame* frame, const CatalogueRowsControl* list);

 private:
  std::map<std::string, long> Current(const wxFrame* frame, const CatalogueRowsControl* list) const;

  std::map<std::string, long> known_;  // key: value as the window had it
};

}  // namespace vaskel
