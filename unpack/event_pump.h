// Letting the program's waiting events through in the middle of a long operation on the
// user-interface thread, so that windows repaint and buttons work between two units of work.
#pragma once

#include <wx/eventfilter.h>

#include <functional>

namespace vaskel {

// While it lives, calls `on_escape` whenever Escape is typed in any window of the program; the
// key goes on to its window as usual. An empty function watches nothing.
class EscapeWatch final : public wxEventFilter {
 public:
  explicit EscapeWatch(std::function<void()> on_escape);
  ~EscapeWatch() override;
  EscapeWatch(const EscapeWatch&) = delete;
  EscapeWatch& operator=(const EscapeWatch&) = delete;

  int FilterEvent(wxEvent& event) override;

 private:
  std::function<void()> on_escape_;
};

// Dispatches the toolkit's waiting events and the program's queued ones, one at a time, until
// none is left or `stop` says so. Never waits for an event to come. An exit request made
// meanwhile stays with the event loop it was made for, and ends it once control returns there.
void DispatchWaitingEvents(const std::function<bool()>& stop);

}  // namespace vaskel
