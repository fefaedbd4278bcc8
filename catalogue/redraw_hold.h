// The store's "no redraw until told" for a list control: frozen once however often the store
// asks, thawed when it lets the control redraw again.
#pragma once

#include <wx/window.h>

namespace vaskel {

class RedrawHold {
 public:
  explicit RedrawHold(wxWindow& control) : control_(control) {}
  RedrawHold(const RedrawHold&) = delete;
  RedrawHold& operator=(const RedrawHold&) = delete;

  bool Held() const { return held_; }
  void Hold() {
    if (!held_) control_.Freeze();
    held_ = true;
  }
  // Holds or releases as the store asks; true when the control may redraw now.
  bool Apply(bool redraw) {
    if (redraw) {
      Release();
    } else {
      Hold();
    }
    return redraw;
  }
  void Release() {
    if (held_) control_.Thaw();
    held_ = false;
  }

 private:
  wxWindow& control_;
  bool held_ = false;
};

}  // namespace vaskel
