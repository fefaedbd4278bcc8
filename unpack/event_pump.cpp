#include "unpack/event_pump.h"

#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/event.h>
#include <wx/evtloop.h>

#include <memory>
#include <optional>
#include <utility>

namespace vaskel {
namespace {

// A bound on the events let through by one call, should some source never run dry.
constexpr int kMostEventsPerCall = 10000;

bool IsEscapeKey(const wxEvent& event) {
  const wxEventType type = event.GetEventType();
  if (type != wxEVT_CHAR_HOOK && type != wxEVT_KEY_DOWN && type != wxEVT_CHAR) return false;
  return static_cast<const wxKeyEvent&>(event).GetKeyCode() == WXK_ESCAPE;
}

}  // namespace

EscapeWatch::EscapeWatch(std::function<void()> on_escape) : on_escape_(std::move(on_escape)) {
  if (on_escape_) wxEvtHandler::AddFilter(this);
}

EscapeWatch::~EscapeWatch() {
  if (on_escape_) wxEvtHandler::RemoveFilter(this);
}

int EscapeWatch::FilterEvent(wxEvent& event) {
  if (on_escape_ && IsEscapeKey(event)) on_escape_();
  return Event_Skip;
}

void DispatchWaitingEvents(const std::function<bool()>& stop) {
  if (wxTheApp == nullptr) return;
  // Outside any running loop (early in start-up, or in tests) a loop of our own is made active,
  // so that the toolkit's events can be dispatched all the same.
  wxEventLoopBase* loop = wxEventLoopBase::GetActive();
  std::unique_ptr<wxEventLoopBase> own_loop;
  std::optional<wxEventLoopActivator> activation;
  if (loop == nullptr && wxTheApp->GetTraits() != nullptr) {
    own_loop.reset(wxTheApp->GetTraits()->CreateEventLoop());
    loop = own_loop.get();
    if (loop != nullptr) activation.emplace(loop);
  }
  for (int dispatched = 0; dispatched < kMostEventsPerCall && !stop(); ++dispatched) {
    if (wxTheApp->HasPendingEvents()) {
      wxTheApp->ProcessPendingEvents();
    } else if (loop != nullptr && loop->Pending()) {
      loop->Dispatch();
    } else {
      return;
    }
  }
}

}  // namespace vaskel
