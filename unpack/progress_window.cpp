#include "unpack/progress_window.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/confbase.h>
#include <wx/cursor.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/intl.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <thread>
#include <utility>

#include "platform/desktop/accessible_name.h"
#include "platform/text/utf_text.h"
#include "unpack/event_pump.h"

namespace vaskel {
namespace {

constexpr long kFrameStyle = wxCAPTION | wxSTAY_ON_TOP | wxFRAME_NO_TASKBAR;
constexpr int kCreationWidth = 390;
constexpr int kCreationHeight = 130;
// The design's caption is " Cancel ", spaces included; only the word is translated.
wxString CancelCaption() { return " " + _("Cancel") + " "; }

constexpr char kPositionX[] = "/Settings/X";
constexpr char kPositionY[] = "/Settings/Y";
constexpr int kMargin = 10;  // around everything, and between the text, the bar and the button

int EdgeMetric(wxSystemMetric metric, const wxWindow* window) {
  const int value = wxSystemSettings::GetMetric(metric, window);
  return value > 0 ? value : 2;  // not every desktop reports its edges
}

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

wxString FromUtf8OrBytes(const char* text, std::size_t length) {
  wxString converted = wxString::FromUTF8(text, length);
  if (converted.empty() && length > 0) converted = wxString(text, wxConvISO8859_1, length);
  return converted;
}

}  // namespace

// The toolkit's window; reports its end and its close requests back to the ProgressWindow.
class ProgressFrame final : public wxFrame {
 public:
  explicit ProgressFrame(ProgressWindow& progress) : progress_(&progress) {}
  ~ProgressFrame() override {
    if (progress_ != nullptr) progress_->OnWindowGone();
  }

  bool Make(wxWindow* owner, const wxString& title) {
    if (!Create(owner, wxID_ANY, title, wxPoint(0, 0), wxSize(kCreationWidth, kCreationHeight),
                kFrameStyle))
      return false;
    Bind(wxEVT_CLOSE_WINDOW, &ProgressFrame::OnCloseRequest, this);
    Bind(wxEVT_BUTTON, &ProgressFrame::OnCancel, this, ProgressWindow::kCancelButtonId);
    return true;
  }
  void Detach() { progress_ = nullptr; }

 private:
  // The window has no close box; a close request that still comes (a key of the window
  // manager) means the same as Cancel, so that the operation does not run on unseen.
  void OnCloseRequest(wxCloseEvent& event) {
    if (progress_ != nullptr && event.CanVeto()) {
      event.Veto();
      progress_->OnCancelButton();
      return;
    }
    if (progress_ != nullptr) progress_->SavePosition();
    Destroy();
  }
  void OnCancel(wxCommandEvent& /*event*/) {
    if (progress_ != nullptr) progress_->OnCancelButton();
  }

  ProgressWindow* progress_;
};

ProgressWindow::ProgressWindow(wxWindow* owner, const wxString& title, bool smooth_bar) {
  title_ = title;
  if (owner == nullptr && wxTheApp != nullptr) owner = wxTheApp->GetTopWindow();
  auto frame = std::make_unique<ProgressFrame>(*this);
  if (!frame->Make(owner, title)) {
    frame->Detach();
    return;
  }
  frame_ = frame.release();
  frame_->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
  frame_->SetCursor(wxCursor(wxCURSOR_ARROWWAIT));
  font_ = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);

  // No wrapping: a line wider than the control is cut at the right, with an ellipsis.
  status_text_ =
      new wxStaticText(frame_, kStatusTextId, wxString(), wxDefaultPosition, wxDefaultSize,
                       wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END | wxALIGN_LEFT);
  bar_ = new wxGauge(frame_, kBarId, upper_ - lower_, wxDefaultPosition, wxDefaultSize,
                     wxGA_HORIZONTAL | (smooth_bar ? wxGA_SMOOTH : 0));
  // The bar is read by the window's first title, not the changing percentage after it.
  SetAccessibleName(*bar_, frame_->GetTitle());
  cancel_button_ = new wxButton(frame_, kCancelButtonId, CancelCaption());
  cancel_button_->SetFont(font_);
  status_text_->SetFont(font_);

  LayoutControls();
  RestorePosition();
  frame_->Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
    painted_ = true;
    event.Skip();
  });
  ShowIfHidden();
  AwaitFirstPaint();
  // Where the toolkit finally put it, which counts as no move of the user's.
  if (HasWindow()) placed_ = frame_->GetPosition();
}

void ProgressWindow::AwaitFirstPaint() {
  // The toolkit maps and paints a new window through events of its own; they are let through
  // here, so that the window is on screen before the operation's first unit of work begins.
  constexpr auto kLongestWait = std::chrono::milliseconds(250);
  const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
  while (HasWindow() && !painted_ && std::chrono::steady_clock::now() < deadline) {
    frame_->Update();
    DispatchWaitingEvents([this] { return painted_ || !HasWindow(); });
    if (!painted_) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

ProgressWindow::~ProgressWindow() { Destroy(); }

wxFrame* ProgressWindow::Window() const { return frame_; }

bool ProgressWindow::HasWindow() const { return frame_ != nullptr && !frame_->IsBeingDeleted(); }

void ProgressWindow::Destroy() {
  if (frame_ == nullptr) return;
  SavePosition();
  ProgressFrame* const frame = frame_;
  frame->Detach();
  OnWindowGone();
  frame->Destroy();
}

void ProgressWindow::OnWindowGone() {
  frame_ = nullptr;
  status_text_ = nullptr;
  bar_ = nullptr;
  cancel_button_ = nullptr;
}

void ProgressWindow::LayoutControls() {
  int line_width = 0;
  int line_height = 0;
  frame_->GetTextExtent("M", &line_width, &line_height, nullptr, nullptr, &font_);
  status_text_->SetMinSize(wxSize(kStatusTextWidth, kStatusTextLines * line_height));
  // The button is the caption's size with room for its edges; the bar, beside it, is one edge
  // thinner above and below.
  wxSize caption;
  frame_->GetTextExtent(CancelCaption() + "  ", &caption.x, &caption.y, nullptr, nullptr, &font_);
  const int edge_x = EdgeMetric(wxSYS_EDGE_X, frame_);
  const int edge_y = EdgeMetric(wxSYS_EDGE_Y, frame_);
  const wxSize button(caption.x + 4 * edge_x, caption.y + 3 * edge_y);
  cancel_button_->SetMinSize(button);
  bar_->SetMinSize(wxSize(-1, button.y - 2 * edge_y));

  auto* bar_row = new wxBoxSizer(wxHORIZONTAL);
  bar_row->Add(bar_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin);
  bar_row->Add(cancel_button_, 0);
  auto* window = new wxBoxSizer(wxVERTICAL);
  window->Add(status_text_, 0, wxALL, kMargin);
  window->Add(bar_row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
  frame_->SetSizerAndFit(window);
}

void ProgressWindow::RestorePosition() {
  long x = -1;
  long y = -1;
  if (wxConfigBase* profile = wxConfigBase::Get(false)) {
    profile->Read(kPositionX, &x, -1);
    profile->Read(kPositionY, &y, -1);
  }
  const wxSize screen = wxGetDisplaySize();
  if (x >= 0 && x < screen.x && y >= 0 && y < screen.y) {
    frame_->Move(static_cast<int>(x), static_cast<int>(y));
    placed_ = wxPoint(static_cast<int>(x), static_cast<int>(y));
    return;
  }
  const wxWindow* owner = frame_->GetParent();
  if (owner != nullptr && owner->IsShown()) {
    frame_->CentreOnParent();
  } else {
    frame_->CentreOnScreen();
  }
  placed_ = frame_->GetPosition();
}

void ProgressWindow::SavePosition() {
  if (!HasWindow()) return;
  wxConfigBase* profile = wxConfigBase::Get(false);
  if (profile == nullptr) return;
  // Only a move of this window's is stored: another instance's newer position stays.
  const wxPoint position = frame_->GetPosition();
  if (position.x != placed_.x) profile->Write(kPositionX, static_cast<long>(position.x));
  if (position.y != placed_.y) profile->Write(kPositionY, static_cast<long>(position.y));
  placed_ = position;
  profile->Flush();
}

int ProgressWindow::SetBarRange(int lower, int upper, int step) {
  if (!HasWindow()) return 0;
  const int previous_step = step_;
  lower_ = lower;
  upper_ = upper;
  step_ = step;
  ShowBarPosition();
  return previous_step;
}

int ProgressWindow::SetBarPosition(int position) {
  if (!HasWindow()) return position_;
  ShowIfHidden();
  const int previous = position_;
  position_ = position;
  const std::int64_t span = static_cast<std::int64_t>(upper_) - lower_;
  const int percentage =
      span > 0 ? ClampToInt(static_cast<std::int64_t>(position) * 100 / span) : 0;
  if (percentage != last_percentage_) {
    last_percentage_ = percentage;
    frame_->SetTitle(wxString::Format("%s [%d%%]", title_, percentage));
  }
  ShowBarPosition();
  return previous;
}

int ProgressWindow::StepBar() {
  if (!HasWindow()) return position_;
  ShowIfHidden();
  return SetBarPosition(ClampToInt(static_cast<std::int64_t>(position_) + step_));
}

void ProgressWindow::ShowBarPosition() {
  const std::int64_t span = static_cast<std::int64_t>(upper_) - lower_;
  if (span <= 0) {
    bar_->SetRange(1);
    bar_->SetValue(0);
    return;
  }
  const int range = ClampToInt(span);
  bar_->SetRange(range);
  bar_->SetValue(static_cast<int>(
      std::clamp<std::int64_t>(static_cast<std::int64_t>(position_) - lower_, 0, range)));
}

void ProgressWindow::SetStatusText(const char* format, ...) {
  if (!HasWindow()) return;
  std::array<char, kStatusTextBuffer> buffer{};
  va_list arguments;
  va_start(arguments, format);
  const int wanted = std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
  va_end(arguments);
  std::size_t length = 0;
  if (wanted > 0) {
    length = std::min(static_cast<std::size_t>(wanted), buffer.size() - 1);
    if (static_cast<std::size_t>(wanted) > length) {
      length = platform::WholeCharactersLength(std::string_view(buffer.data(), length));
    }
  }
  // Shown as it is: an ampersand is no mnemonic here.
  status_text_->SetLabelText(FromUtf8OrBytes(buffer.data(), length));
}

void ProgressWindow::ShowIfHidden() {
  if (!HasWindow() || frame_->IsShown()) return;
  // Shown without taking the focus from where the user has it.
  frame_->ShowWithoutActivating();
  frame_->Refresh();
}

void ProgressWindow::HideIfShown() {
  if (HasWindow() && frame_->IsShown()) frame_->Hide();
}

void ProgressWindow::OnCancelButton() {
  cancelled_.store(true, std::memory_order_release);
  HideIfShown();
  if (wxTheApp != nullptr) {
    if (wxWindow* main = wxTheApp->GetTopWindow()) main->Raise();
  }
}

void ProgressWindow::PumpMessages(bool cancel_on_escape) {
  if (IsCancelled()) return;
  std::function<void()> on_escape;
  if (cancel_on_escape) {
    on_escape = [this] {
      if (!IsCancelled()) OnCancelButton();  // the key's later events find it done
    };
  }
  const EscapeWatch watch(std::move(on_escape));
  DispatchWaitingEvents([this] { return IsCancelled(); });
}

}  // namespace vaskel
