// The progress window of a long operation that runs on the user-interface thread: lines of
// status text, a bar with a Cancel button beside it, and a title carrying the percentage done.
// The operation drives it synchronously (range, text, steps) and lets it pump the waiting events
// after each unit of work, then looks at the cancel flag. A local object of the operation: the
// window is made and shown by the constructor and removed by the destructor, which also stores
// where it stood ("Settings", "X" and "Y" in the profile) for the next time.
#pragma once

#include <wx/font.h>
#include <wx/gdicmn.h>
#include <wx/string.h>

#include <atomic>
#include <cstddef>

class wxButton;
class wxFrame;
class wxGauge;
class wxStaticText;
class wxWindow;

namespace vaskel {

class ProgressFrame;

class ProgressWindow {
 public:
  static constexpr int kCancelButtonId = 10;
  static constexpr int kStatusTextId = 11;
  static constexpr int kBarId = 12;
  static constexpr std::size_t kStatusTextBuffer = 512;  // terminator included
  static constexpr int kStatusTextLines = 4;
  static constexpr int kStatusTextWidth = 390;

  // A modeless popup, always on top, with a caption and no close box, owned by `owner` (else
  // the application's main window). Visible and painted, without taking the focus, when this
  // returns (or after a quarter of a second, should the display never confirm it).
  ProgressWindow(wxWindow* owner, const wxString& title, bool smooth_bar);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Each returns what it replaced. Without a window (it could not be made, or it was closed)
  // they change nothing but the stored position.
  int SetBarRange(int lower, int upper, int step);
  int SetBarPosition(int position);
  int StepBar();
  // printf-style; text beyond the 512-byte buffer is cut at a character boundary.
  void SetStatusText(const char* format, ...) __attribute__((format(printf, 2, 3)));

  void ShowIfHidden();
  void HideIfShown();

  // Dispatches the events waiting for any window of the program and returns when none is left
  // or the user has cancelled. With `cancel_on_escape`, Escape typed in any window cancels.
  void PumpMessages(bool cancel_on_escape);
  // Set by Cancel (or Escape while pumping) and never cleared. May be asked from any thread.
  bool IsCancelled() const { return cancelled_.load(std::memory_order_acquire); }
  // The window has been painted at least once.
  bool Painted() const { return painted_; }

  // Stores the position and removes the window now, before the object ends.
  void Destroy();

  // The window and its parts, for whoever needs to look; null once the window is gone.
  wxFrame* Window() const;
  wxStaticText* StatusTextControl() const { return status_text_; }
  wxGauge* Bar() const { return bar_; }
  wxButton* CancelButton() const { return cancel_button_; }

 private:
  friend class ProgressFrame;

  bool HasWindow() const;
  void LayoutControls();
  void RestorePosition();
  void SavePosition();
  void OnCancelButton();
  void OnWindowGone();
  void ShowBarPosition();
  void AwaitFirstPaint();

  ProgressFrame* frame_ = nullptr;  // owned by the toolkit; cleared when it goes
  wxStaticText* status_text_ = nullptr;
  wxGauge* bar_ = nullptr;
  wxButton* cancel_button_ = nullptr;
  wxString title_ = "Progress";
  wxFont font_;
  std::atomic<bool> cancelled_{false};
  bool painted_ = false;
  wxPoint placed_;  // where the window was put, or last stored
  int position_ = 0;
  int last_percentage_ = 0;
  int step_ = 1;
  int upper_ = 100;
  int lower_ = 0;
};

}  // namespace vaskel
