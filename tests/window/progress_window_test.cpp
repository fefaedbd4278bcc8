// The progress window: title rule, status text, cancel flag, event pumping and the
// stored position.
#include "unpack/progress_window.h"

#ifdef __WXGTK__
#include <dlfcn.h>
#endif
#include <wx/button.h>
#include <wx/config.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <memory>

#include "app/profile.h"
#include "tests/window/unpack_test_support.h"

namespace vaskel::testing {
namespace {

class ProgressWindowTest : public UnpackWindowTest {
 protected:
  void SetUp() override {
    UnpackWindowTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(Start());
  }
  wxConfigBase& Profile() const { return *App().Profile(); }
};

TEST_F(ProgressWindowTest, ShownAtOnceOverTheMainWindowWithoutCloseBox) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  wxFrame* window = progress.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->IsShown());
  EXPECT_TRUE(progress.Painted());  // on screen before the operation's first unit of work
  EXPECT_EQ(window->GetTitle(), "Unpacking...");
  EXPECT_TRUE(window->HasFlag(wxCAPTION) && window->HasFlag(wxSTAY_ON_TOP));
  EXPECT_FALSE(window->HasFlag(wxCLOSE_BOX) || window->HasFlag(wxSYSTEM_MENU));
  EXPECT_EQ(window->GetParent(), Frame());  // no owner given: the main window
  EXPECT_EQ(progress.CancelButton()->GetLabel(), " Cancel ");
  EXPECT_TRUE(progress.Bar()->HasFlag(wxGA_SMOOTH));
}

TEST_F(ProgressWindowTest, TitleCarriesThePercentageRewrittenOnlyWhenItChanges) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  wxFrame* window = progress.Window();
  progress.SetBarRange(0, 300, 1);
  progress.StepBar();  // 0%: still the bare title
  EXPECT_EQ(window->GetTitle(), "Unpacking...");

  EXPECT_EQ(progress.SetBarRange(0, 3, 1), 1);  // the previous step
  progress.SetBarPosition(0);
  for (const char* expected : {"Unpacking... [33%]", "Unpacking... [66%]", "Unpacking... [100%]"}) {
    progress.StepBar();
    EXPECT_EQ(window->GetTitle(), expected);
  }
  EXPECT_EQ(progress.Bar()->GetValue(), 3);

  progress.SetBarRange(0, 1000, 1);
  progress.SetBarPosition(10);  // 1%
  window->SetTitle("untouched");
  EXPECT_EQ(progress.SetBarPosition(19), 10);  // still 1%
  EXPECT_EQ(window->GetTitle(), "untouched");
  progress.SetBarPosition(20);
  EXPECT_EQ(window->GetTitle(), "Unpacking... [2%]");

  // An empty range reads 0; a position far beyond the range does not overflow.
  progress.SetBarRange(5, 5, 1);
  progress.SetBarPosition(7);
  EXPECT_EQ(window->GetTitle(), "Unpacking... [0%]");
  progress.SetBarRange(0, 1, 1);
  progress.SetBarPosition(2000000000);
  EXPECT_EQ(window->GetTitle(), "Unpacking... [2147483647%]");
}

TEST_F(ProgressWindowTest, StatusTextIsLiteralAndCutAtItsBufferOnACharacterBoundary) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  wxStaticText* text = progress.StatusTextControl();
  progress.SetStatusText("Unpacking:%s", "R&D notes.html");
  EXPECT_EQ(text->GetLabelText(), "Unpacking:R&D notes.html");
  EXPECT_EQ(text->GetLabel(), "Unpacking:R&&D notes.html");  // no mnemonic

  progress.SetStatusText("Unpacking:%s", std::string(600, 'n').c_str());
  EXPECT_EQ(text->GetLabelText(), "Unpacking:" + std::string(501, 'n'));  // 511 bytes
  // "x" and 509 letters fill 510 bytes; a two-byte 'é' would only half fit.
  progress.SetStatusText("x%s", (std::string(509, 'a') + "\xC3\xA9").c_str());
  EXPECT_EQ(text->GetLabelText().utf8_string(), "x" + std::string(509, 'a'));
  progress.SetStatusText("%s", (std::string(508, 'a') + "\xE2\x82\xAC").c_str());
  EXPECT_EQ(text->GetLabelText().utf8_string(), std::string(508, 'a') + "\xE2\x82\xAC");
}

#ifdef __WXGTK__
// The lines the toolkit lays the label's text out in, or 0 when that cannot be asked.
int LaidOutLines(wxStaticText& text) {
  using GetLayout = void* (*)(void*);
  using LineCount = int (*)(void*);
  const auto get_layout = reinterpret_cast<GetLayout>(dlsym(RTLD_DEFAULT, "gtk_label_get_layout"));
  const auto line_count =
      reinterpret_cast<LineCount>(dlsym(RTLD_DEFAULT, "pango_layout_get_line_count"));
  if (get_layout == nullptr || line_count == nullptr) return 0;
  return line_count(get_layout(text.GetHandle()));
}

TEST_F(ProgressWindowTest, StatusTextWiderThanTheControlStaysOnOneLine) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  wxStaticText* text = progress.StatusTextControl();
  progress.SetStatusText("Unpacking:%s",
                         "a long name with spaces in it, much wider than the window is.html");
  progress.PumpMessages(true);
  ASSERT_GT(text->GetTextExtent(text->GetLabelText()).x, text->GetSize().x);
  EXPECT_EQ(LaidOutLines(*text), 1);
}
#endif

TEST_F(ProgressWindowTest, CancelAndCloseRequestSetTheFlagForGoodAndHideTheWindow) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  wxCommandEvent click(wxEVT_BUTTON, ProgressWindow::kCancelButtonId);
  click.SetEventObject(progress.CancelButton());
  progress.CancelButton()->ProcessWindowEvent(click);
  EXPECT_TRUE(progress.IsCancelled());
  EXPECT_FALSE(progress.Window()->IsShown());
  progress.StepBar();  // moving the bar shows it again; the flag stays
  EXPECT_TRUE(progress.Window()->IsShown());
  EXPECT_TRUE(progress.IsCancelled());

  // No close box, but a close request from the desktop means Cancel too.
  ProgressWindow closed(nullptr, "Unpacking...", true);
  EXPECT_FALSE(closed.Window()->Close());
  EXPECT_TRUE(closed.IsCancelled());
  EXPECT_FALSE(closed.Window()->IsShown());
}

TEST_F(ProgressWindowTest, WithoutItsWindowEveryCallIsHarmless) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  progress.SetBarRange(0, 10, 2);
  progress.StepBar();
  progress.Window()->Close(true);  // forced: the toolkit destroys it
  RunPendingCalls();
  EXPECT_EQ(progress.Window(), nullptr);
  EXPECT_EQ(progress.StepBar(), 2);
  EXPECT_EQ(progress.SetBarRange(0, 5, 1), 0);
  progress.SetStatusText("%s", "gone");
  progress.PumpMessages(true);
  EXPECT_FALSE(progress.IsCancelled());
}

TEST_F(ProgressWindowTest, PumpDispatchesWaitingEventsAndEscapeInAnyWindowCancels) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  const auto type = [&](int key) {
    wxKeyEvent typed(wxEVT_CHAR);
    typed.m_keyCode = key;
    typed.SetEventObject(List());  // the main window's list, not the progress window
    List()->GetEventHandler()->QueueEvent(typed.Clone());
  };
  int calls = 0;
  wxTheApp->CallAfter([&] { ++calls; });
  type(WXK_ESCAPE);
  progress.PumpMessages(false);  // Escape is only dispatched
  EXPECT_EQ(calls, 1);
  type('a');
  progress.PumpMessages(true);
  EXPECT_FALSE(progress.IsCancelled());
  type(WXK_ESCAPE);
  progress.PumpMessages(true);
  EXPECT_TRUE(progress.IsCancelled());
  EXPECT_FALSE(progress.Window()->IsShown());

  // Once cancelled the pump returns at once.
  wxTheApp->CallAfter([&] { ++calls; });
  progress.PumpMessages(true);
  EXPECT_EQ(calls, 1);
  RunPendingCalls();
}

TEST_F(ProgressWindowTest, ExitRequestMadeWhilePumpingStaysWithTheLoopAndDoesNotCancel) {
  wxEventLoop loop;
  bool requested_while_pumping = false;
  bool cancelled = true;
  bool request_lost = false;
  // Ends the loop only if the request made while pumping got lost (the test would hang).
  wxTimer safety;
  safety.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    request_lost = true;
    loop.ScheduleExit(1);
  });
  wxTheApp->CallAfter([&] {
    ProgressWindow progress(nullptr, "Unpacking...", true);
    wxTheApp->CallAfter([&] {
      requested_while_pumping = true;
      loop.ScheduleExit(0);
    });
    progress.PumpMessages(true);
    EXPECT_TRUE(requested_while_pumping);
    cancelled = progress.IsCancelled();
    safety.StartOnce(20000);
  });
  EXPECT_EQ(loop.Run(), 0);
  safety.Stop();
  EXPECT_FALSE(request_lost);
  EXPECT_FALSE(cancelled);
}

TEST_F(ProgressWindowTest, PositionIsStoredAndUsedNextTimeAndCentredWhenAbsentOrOffScreen) {
  // Owned by a hidden window (the ended Unpack dialog): centred on the screen.
  wxFrame* hidden_owner = new wxFrame(Frame(), wxID_ANY, "owner");
  const wxSize screen = wxGetDisplaySize();
  const auto position_at_start = [&] {
    ProgressWindow progress(hidden_owner, "Unpacking...", true);
    return progress.Window()->GetRect();
  };
  const auto expect_centred = [&](const char* why) {
    const wxRect rect = position_at_start();
    EXPECT_NEAR(rect.x, (screen.x - rect.width) / 2, 1) << why;
    EXPECT_NEAR(rect.y, (screen.y - rect.height) / 2, 1) << why;
  };
  expect_centred("absent");
  const std::pair<long, long> off_screen[] = {{-1, 10}, {10, -5}, {screen.x, 10}, {10, screen.y}};
  for (const auto& [x, y] : off_screen) {
    Profile().Write("/Settings/X", x);
    Profile().Write("/Settings/Y", y);
    expect_centred("off the screen");
  }
  {
    ProgressWindow progress(hidden_owner, "Unpacking...", true);
    progress.Window()->Move(123, 45);
  }
  EXPECT_EQ(Profile().ReadLong("/Settings/X", -1), 123);
  EXPECT_EQ(Profile().ReadLong("/Settings/Y", -1), 45);
  EXPECT_EQ(position_at_start().GetPosition(), wxPoint(123, 45));
  Profile().Write("/Settings/X", 0L);
  Profile().Write("/Settings/Y", 0L);
  EXPECT_EQ(position_at_start().GetPosition(), wxPoint(0, 0));  // 0 counts as on the screen
  {
    // Another instance stores its window's move meanwhile; this window, not moved, keeps it.
    ProgressWindow progress(hidden_owner, "Unpacking...", true);
    const std::unique_ptr<wxConfigBase> other = OpenProfile();
    other->Write("/Settings/X", 200L);
    other->Write("/Settings/Y", 100L);
  }
  EXPECT_EQ(OpenProfile()->ReadLong("/Settings/X", -1), 200);
  EXPECT_EQ(OpenProfile()->ReadLong("/Settings/Y", -1), 100);
  hidden_owner->Destroy();
}

}  // namespace
}  // namespace vaskel::testing
