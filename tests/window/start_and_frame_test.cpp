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

TEST(FramePlacementTest, CentresByIntegerHalvingAndKeepsNegativeEdges) {
  constexpr FramePlacement on_1024 = PlaceMainFrame(1024, 768);
  EXPECT_EQ(on_1024.left, 237);
  EXPECT_EQ(on_1024.top, 209);
  EXPECT_EQ(on_1024.width, 550);
  EXPECT_EQ(on_1024.height, 350);
  EXPECT_EQ(PlaceMainFrame(1023, 768).left, 236);
  EXPECT_EQ(PlaceMainFrame(500, 300).left, -25);
  EXPECT_EQ(PlaceMainFrame(500, 300).top, -25);
}

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
    profile.Write(kWindowXKey, -9000L);
  }
  ASSERT_TRUE(Start());
  const wxSize screen = wxGetDisplaySize();
  const FramePlacement designed = PlaceMainFrame(screen.x, screen.y);
  EXPECT_EQ(Frame()->GetSize(), wxSize(designed.width, designed.height));
  EXPECT_NEAR(Frame()->GetPosition().x, designed.left, 50);
  EXPECT_EQ(List()->GetColumnWidth(kPathColumn), 321);
}

TEST_F(StartTest, MenuPromptsShowInThePaneAndReadyReturns) {
  ASSERT_TRUE(Start());
  wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, WxId(ID_FILE_OPEN));
  Frame()->ProcessWindowEvent(highlight);
  EXPECT_EQ(StatusText(0), "Open an existing document");
  wxMenuEvent closed(wxEVT_MENU_CLOSE, wxID_ANY, Frame()->GetMenuBar()->GetMenu(0));
  Frame()->ProcessWindowEvent(closed);
  EXPECT_EQ(StatusText(0), "Ready");
}

TEST_F(StartTest, ToolbarAndStatusBarToggleFromTheViewMenu) {
  ASSERT_TRUE(Start());
  Command(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(Frame()->GetToolBar()->IsShown());
  Frame()->GetMenuBar()->UpdateMenus();
  EXPECT_FALSE(Frame()->GetMenuBar()->IsChecked(WxId(ID_VIEW_TOOLBAR)));
  Command(ID_VIEW_TOOLBAR);
  EXPECT_TRUE(Frame()->GetToolBar()->IsShown());
  EXPECT_EQ(Frame()->GetToolBar()->GetToolByPos(0)->GetLabel(), "Open");
  Command(ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(Frame()->GetStatusBar()->IsShown());
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
