// Start-up without a file, the frame's placement, bars and menus.
#include <wx/display.h>
#include <wx/fileconf.h>
#include <wx/menu.h>
#include <wx/toolbar.h>

#include "app/frame_placement.h"
#include "app/profile.h"
#include "app/window_layout.h"
#include "res/resource_ids.h"
#include "tests/window/window_test_support.h"

namespace vaskel::testing {
namespace {

using namespace res;

class StartTest : public WindowTest {};

TEST_F(StartTest, WithoutFileShowsAnEmptyUntitledCatalogue) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Title(), "Untitled - Vaskel");
  EXPECT_EQ(Rows().GetItemCount(), 0);
  EXPECT_EQ(List()->GetItemCount(), 0);
  EXPECT_EQ(StatusText(0), "Ready");
  EXPECT_FALSE(MenuItemEnabled(ID_FILE_UNPACK));
  EXPECT_FALSE(ToolEnabled(ID_FILE_UNPACK));
  EXPECT_TRUE(MenuItemEnabled(ID_EDIT_SELECT_ALL));
  Command(ID_EDIT_SELECT_ALL);  // nothing to select, nothing happens
  EXPECT_EQ(Rows().GetSelectedCount(), 0);
  EXPECT_TRUE(Frame()->IsShown());
  EXPECT_EQ(wxTheApp->GetTopWindow(), Frame());
}

TEST_F(StartTest, WindowPlaceAndColumnWidthsComeBackAtTheNextStartUnlessOffEveryScreen) {
  ASSERT_TRUE(Start());
  const wxRect moved(40, 30, 700, 480);
  Frame()->SetSize(moved);
  List()->SetColumnWidth(kPathColumn, 321);
  Stop();
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame()->GetRect(), moved);
  EXPECT_EQ(List()->GetColumnWidth(kPathColumn), 321);
  EXPECT_EQ(List()->GetColumnWidth(kNameColumn), 150);
  Stop();
  {
    wxFileConfig profile(wxEmptyString, wxEmptyString, ProfileFilePath(), wxEmptyString,
                         wxCONFIG_USE_LOCAL_FILE);
    profile.Write("/Settings/WindowX", -9000L);
  }
  ASSERT_TRUE(Start());
  const wxSize screen = wxGetDisplaySize();
  const FramePlacement designed = PlaceMainFrame(screen.x, screen.y);
  EXPECT_EQ(Frame()->GetSize(), wxSize(designed.width, designed.height));
  EXPECT_NEAR(Frame()->GetPosition().x, designed.left, 50);
  EXPECT_EQ(List()->GetColumnWidth(kPathColumn), 321);
}

TEST_F(StartTest, CloseRunsTheCleanUpHookFirst) {
  ASSERT_TRUE(Start());
  bool view_alive_at_hook = false;
  Frame()->SetBeforeCloseHook([&] { view_alive_at_hook = View() != nullptr; });
  Command(ID_APP_EXIT);
  RunPendingCalls();
  EXPECT_TRUE(view_alive_at_hook);
  EXPECT_EQ(App().MainFrame(), nullptr);
}

}  // namespace
}  // namespace vaskel::testing
