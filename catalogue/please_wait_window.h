// The small window shown while a catalogue is being read. It is painted once when it appears;
// the walk that follows processes no messages, so it cannot be repainted until it goes away.
#pragma once

#include <wx/dialog.h>

namespace vaskel {

class PleaseWaitWindow {
 public:
  explicit PleaseWaitWindow(wxWindow* owner);
  ~PleaseWaitWindow();
  PleaseWaitWindow(const PleaseWaitWindow&) = delete;
  PleaseWaitWindow& operator=(const PleaseWaitWindow&) = delete;

  wxDialog* Window() const { return window_; }

 private:
  wxDialog* window_ = nullptr;  // destroyed by this object
};

}  // namespace vaskel
