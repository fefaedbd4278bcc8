// The progress window: layout, title rule, bar, status text, cancel flag, event pumping and the
// stored position.
#include "unpack/progress_window.h"

#include <wx/button.h>
#include <wx/config.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "tests/window/unpack_test_support.h"
#include "unpack/progress_layout.h"

namespace vaskel::testing {
namespace {

TEST(ProgressLayoutTest, ButtonUnderTheTextRightAlignedAndBarBesideIt) {
  ProgressLayoutInput input;
  input.text_width = 390;
  input.lines_height = 4 * 17;
  input.caption_width = 60;
  input.caption_height = 17;
  input.edge_x = 2;
  input.edge_y = 3;
  const ProgressLayout layout = ComputeProgressLayout(input);
  EXPECT_EQ(layout.text, (LayoutRect{10, 10, 400, 78}));
  // 60 + 4 x 2 wide, 17 + 3 x 3 high, 10 below the text.
  EXPECT_EQ(layout.button, (LayoutRect{332, 88, 400, 114}));
  // From the left margin to 10 before the button, one edge thinner above and below.
  EXPECT_EQ(layout.bar, (LayoutRect{10, 91, 322, 111}));
  EXPECT_EQ(layout.client_width, 410);
  EXPECT_EQ(layout.client_height, 68 + 26 + 30);
}

class ProgressWindowTest : public UnpackWindowTest {
 protected:
  void SetUp() override {
    UnpackWindowTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(Start());
  }
  wxConfigBase& Profile() const { return *App().Profile(); }
  // Sends a key as a window of the program would receive it, queued like typed input.
  static void QueueKey(wxWindow* window, int key) {
    wxKeyEvent typed(wxEVT_CHAR);
    typed.m_keyCode = key;
    typed.SetEventObject(window);
    window->GetEventHandler()->QueueEvent(typed.Clone());
  }
};

TEST_F(ProgressWindowTest, CreatedShownWithItsControlsLaidOutFromTheMessageFont) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  wxFrame* window = progress.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->IsShown());
  EXPECT_EQ(window->GetTitle(), "Unpacking...");
  EXPECT_TRUE(window->HasFlag(wxCAPTION));
  EXPECT_TRUE(window->HasFlag(wxSTAY_ON_TOP));
  EXPECT_FALSE(window->HasFlag(wxCLOSE_BOX));
  EXPECT_FALSE(window->HasFlag(wxSYSTEM_MENU));
  EXPECT_FALSE(window->HasFlag(wxRESIZE_BORDER));
  EXPECT_EQ(window->GetParent(), Frame());  // no owner given: the main window

  ASSERT_NE(progress.CancelButton(), nullptr);
  EXPECT_EQ(progress.CancelButton()->GetLabel(), " Cancel ");
  EXPECT_EQ(progress.CancelButton()->GetId(), ProgressWindow::kCancelButtonId);
  EXPECT_EQ(progress.StatusTextControl()->GetId(), ProgressWindow::kStatusTextId);
  EXPECT_EQ(progress.Bar()->GetId(), ProgressWindow::kBarId);
  EXPECT_TRUE(progress.Bar()->HasFlag(wxGA_SMOOTH));
  EXPECT_EQ(progress.StatusTextControl()->GetLabel(), "");
  EXPECT_EQ(progress.Bar()->GetValue(), 0);

  // The layout follows the message font: four lines of text, the caption plus two blanks.
  const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  int caption_width = 0;
  int caption_height = 0;
  window->GetTextExtent(" Cancel   ", &caption_width, &caption_height, nullptr, nullptr, &font);
  int line_width = 0;
  int line_height = 0;
  window->GetTextExtent("M", &line_width, &line_height, nullptr, nullptr, &font);
  const ProgressLayout& layout = progress.Layout();
  EXPECT_EQ(layout.text.Height(), 4 * line_height);
  EXPECT_EQ(layout.text.Width(), 390);
  const auto edge = [](wxSystemMetric metric) {
    const int value = wxSystemSettings::GetMetric(metric);
    return value > 0 ? value : 2;
  };
  EXPECT_EQ(layout.button.Width(), caption_width + 4 * edge(wxSYS_EDGE_X));
  EXPECT_EQ(layout.button.Height(), caption_height + 3 * edge(wxSYS_EDGE_Y));
  EXPECT_EQ(window->GetClientSize(), wxSize(410, layout.client_height));
  const auto rect = [](const LayoutRect& r) {
    return wxRect(r.left, r.top, r.Width(), r.Height());
  };
  EXPECT_EQ(progress.CancelButton()->GetRect(), rect(layout.button));
  EXPECT_EQ(progress.Bar()->GetRect(), rect(layout.bar));
  EXPECT_EQ(progress.StatusTextControl()->GetRect(), rect(layout.text));
}

TEST_F(ProgressWindowTest, TitleCarriesThePercentageOnlyOnceItChanges) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  wxFrame* window = progress.Window();
  EXPECT_EQ(progress.SetBarRange(0, 3, 1), 1);  // the previous step
  EXPECT_EQ(progress.StepBar(), 0);
  EXPECT_EQ(window->GetTitle(), "Unpacking... [33%]");
  EXPECT_EQ(progress.Bar()->GetValue(), 1);
  progress.StepBar();
  EXPECT_EQ(window->GetTitle(), "Unpacking... [66%]");
  EXPECT_EQ(progress.StepBar(), 2);
  EXPECT_EQ(window->GetTitle(), "Unpacking... [100%]");
  EXPECT_EQ(progress.Bar()->GetValue(), 3);

  // Rewritten only when the percentage changes.
  progress.SetBarRange(0, 1000, 1);
  progress.SetBarPosition(10);  // 1%
  window->SetTitle("untouched");
  progress.SetBarPosition(19);  // still 1%
  EXPECT_EQ(window->GetTitle(), "untouched");
  EXPECT_EQ(progress.SetBarPosition(20), 19);
  EXPECT_EQ(window->GetTitle(), "Unpacking... [2%]");

  // An empty range shows 0; huge positions do not overflow.
  progress.SetBarRange(5, 5, 1);
  progress.SetBarPosition(7);
  EXPECT_EQ(window->GetTitle(), "Unpacking... [0%]");
  progress.SetBarRange(0, 1, 1);
  progress.SetBarPosition(2000000000);
  EXPECT_EQ(window->GetTitle(), "Unpacking... [2147483647%]");
  EXPECT_EQ(progress.Bar()->GetValue(), 1);
}

TEST_F(ProgressWindowTest, UntilThePercentageLeavesZeroTheTitleIsBare) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  progress.SetBarRange(0, 300, 1);
  progress.StepBar();  // 0%
  progress.StepBar();
  EXPECT_EQ(progress.Window()->GetTitle(), "Unpacking...");
}

TEST_F(ProgressWindowTest, StatusTextIsFormattedLiteralUnwrappedAndCutAtItsBuffer) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  wxStaticText* text = progress.StatusTextControl();
  progress.SetStatusText("Unpacking:%s", "R&D notes.html");
  EXPECT_EQ(text->GetLabelText(), "Unpacking:R&D notes.html");
  EXPECT_EQ(text->GetLabel(), "Unpacking:R&&D notes.html");  // no mnemonic
  EXPECT_TRUE(text->HasFlag(wxST_NO_AUTORESIZE));

  const std::string long_name(600, 'n');
  progress.SetStatusText("Unpacking:%s", long_name.c_str());
  EXPECT_EQ(text->GetLabelText().length(), 511u);
  EXPECT_EQ(text->GetLabelText(), "Unpacking:" + std::string(501, 'n'));

  // A cut never leaves half a character: "x" and 509 letters fill 510 bytes, and the first
  // two-byte 'é' would only half fit.
  progress.SetStatusText("x%s", (std::string(509, 'a') + "\xC3\xA9\xC3\xA9").c_str());
  EXPECT_EQ(text->GetLabelText().utf8_string(), "x" + std::string(509, 'a'));
  progress.SetStatusText("%s", (std::string(509, 'a') + "\xE2\x82\xAC").c_str());
  EXPECT_EQ(text->GetLabelText().utf8_string(), std::string(509, 'a'));
  progress.SetStatusText("%s", (std::string(508, 'a') + "\xE2\x82\xAC").c_str());
  EXPECT_EQ(text->GetLabelText().utf8_string(), std::string(508, 'a') + "\xE2\x82\xAC");
}

TEST_F(ProgressWindowTest, CancelHidesTheWindowForGoodUntilTheBarMovesAgain) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  wxCommandEvent click(wxEVT_BUTTON, ProgressWindow::kCancelButtonId);
  click.SetEventObject(progress.CancelButton());
  progress.CancelButton()->ProcessWindowEvent(click);
  EXPECT_TRUE(progress.IsCancelled());
  EXPECT_FALSE(progress.Window()->IsShown());
  progress.StepBar();
  EXPECT_TRUE(progress.Window()->IsShown());
  EXPECT_TRUE(progress.IsCancelled());
  progress.HideIfShown();
  EXPECT_FALSE(progress.Window()->IsShown());
  progress.ShowIfHidden();
  EXPECT_TRUE(progress.Window()->IsShown());
}

TEST_F(ProgressWindowTest, CloseRequestCancelsInsteadOfLeavingTheOperationUnseen) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  EXPECT_FALSE(progress.Window()->Close());
  EXPECT_TRUE(progress.IsCancelled());
  ASSERT_NE(progress.Window(), nullptr);
  EXPECT_FALSE(progress.Window()->IsShown());
}

TEST_F(ProgressWindowTest, WithoutItsWindowEveryCallIsHarmless) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  progress.SetBarRange(0, 10, 2);
  progress.StepBar();
  progress.Window()->Close(true);  // forced: the toolkit destroys it
  RunPendingCalls();
  EXPECT_EQ(progress.Window(), nullptr);
  EXPECT_EQ(progress.StepBar(), 2);
  EXPECT_EQ(progress.SetBarPosition(9), 2);
  EXPECT_EQ(progress.SetBarRange(0, 5, 1), 0);
  progress.SetStatusText("%s", "gone");
  progress.ShowIfHidden();
  progress.PumpMessages(true);
  EXPECT_FALSE(progress.IsCancelled());
}

TEST_F(ProgressWindowTest, PumpDispatchesWaitingEventsAndEscapeAnywhereCancels) {
  ProgressWindow progress(nullptr, "Unpacking...", true);
  int calls = 0;
  wxTheApp->CallAfter([&] { ++calls; });
  QueueKey(List(), WXK_ESCAPE);
  progress.PumpMessages(false);  // Escape is only dispatched
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(progress.IsCancelled());

  QueueKey(List(), 'a');
  progress.PumpMessages(true);
  EXPECT_FALSE(progress.IsCancelled());

  // Typed into the main window's list, not into the progress window.
  QueueKey(List(), WXK_ESCAPE);
  progress.PumpMessages(true);
  EXPECT_TRUE(progress.IsCancelled());
  EXPECT_FALSE(progress.Window()->IsShown());

  // Once cancelled the pump returns at once.
  wxTheApp->CallAfter([&] { ++calls; });
  progress.PumpMessages(true);
  EXPECT_EQ(calls, 1);
  RunPendingCalls();
  EXPECT_EQ(calls, 2);
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

TEST_F(ProgressWindowTest, PositionIsStoredAtTheEndAndUsedNextTime) {
  {
    ProgressWindow progress(nullptr, "Unpacking...", true);
    progress.Window()->Move(123, 45);
  }
  EXPECT_EQ(Profile().ReadLong("/Settings/X", -1), 123);
  EXPECT_EQ(Profile().ReadLong("/Settings/Y", -1), 45);
  {
    ProgressWindow progress(nullptr, "Unpacking...", true);
    EXPECT_EQ(progress.Window()->GetPosition(), wxPoint(123, 45));
  }
  Profile().Write("/Settings/X", 0L);
  Profile().Write("/Settings/Y", 0L);
  ProgressWindow at_origin(nullptr, "Unpacking...", true);
  EXPECT_EQ(at_origin.Window()->GetPosition(), wxPoint(0, 0));  // 0 counts as on the screen
}

TEST_F(ProgressWindowTest, AbsentOrOffScreenPositionIsCentred) {
  const wxSize screen = wxGetDisplaySize();
  // Owned by a hidden window (the ended Unpack dialog): centred on the screen.
  wxFrame* hidden_owner = new wxFrame(Frame(), wxID_ANY, "owner");
  const auto expect_centred = [&](const char* why) {
    ProgressWindow progress(hidden_owner, "Unpacking...", true);
    const wxRect rect = progress.Window()->GetRect();
    EXPECT_NEAR(rect.x, (screen.x - rect.width) / 2, 1) << why;
    EXPECT_NEAR(rect.y, (screen.y - rect.height) / 2, 1) << why;
  };
  expect_centred("absent");
  const std::pair<long, long> off_screen[] = {
      {-1, 10}, {10, -5}, {screen.x, 10}, {10, screen.y}, {screen.x + 500, screen.y + 500}};
  for (const auto& [x, y] : off_screen) {
    Profile().Write("/Settings/X", x);
    Profile().Write("/Settings/Y", y);
    expect_centred("off the screen");
  }
  hidden_owner->Destroy();
}

}  // namespace
}  // namespace vaskel::testing
