// The find box, in a row of its own under the toolbar (the buttons fill the toolbar of the
// window's first 550 pixels): as the user types, the catalogue shows only the rows whose name
// or internal path contains the text, ignoring letter case, and the status bar says how many of
// how many. Escape or an empty box shows every row; Down goes to the list on its first row;
// Enter runs the one selected row.
#pragma once

class wxWindow;
class wxKeyEvent;
class wxCommandEvent;
class wxSearchCtrl;
class wxWindowDestroyEvent;

namespace vaskel {

class CVaskelView;

class FindBox {
 public:
  // The box, a child of `parent`; where it goes is the parent's to arrange.
  FindBox(CVaskelView& view, wxWindow& parent);
  ~FindBox();
  FindBox(const FindBox&) = delete;
  FindBox& operator=(const FindBox&) = delete;

  wxSearchCtrl* Control() const { return control_; }
  // Ctrl+F: the focus into the box, its text selected.
  void Focus();
  // Empties the box without filtering (the catalogue was refilled and shows every row).
  void Forget();

 private:
  void Filter();
  void OnText(wxCommandEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnDestroy(wxWindowDestroyEvent& event);
  void GoToList();

  CVaskelView& view_;
  wxSearchCtrl* control_ = nullptr;  // a child window of the parent
};

}  // namespace vaskel
