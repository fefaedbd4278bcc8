// Start-up without a file, the frame's placement, bars and menus.
#include <wx/display.h>
#include <wx/fileconf.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include "app/frame_placement.h"
#include "app/profile.h"
#include "app/window_layout.h"
#include "catalogue/shell_type_name.h"
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

TEST_F(StartTest, FrameIsCentredAtItsSize) {
  ASSERT_TRUE(Start());
  const wxSize screen = wxGetDisplaySize();
  const FramePlacement expected = PlaceMainFrame(screen.x, screen.y);
  const wxRect rect = Frame()->GetRect();
  EXPECT_EQ(rect.width, expected.width);
  EXPECT_EQ(rect.height, expected.height);
  // The window manager may move a frame; without one (the test display) it stays put.
  EXPECT_NEAR(rect.x, expected.left, 50);
  EXPECT_NEAR(rect.y, expected.top, 50);
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

TEST_F(StartTest, ListHasFourColumnsWithHeadingsAlignmentsAndWidths) {
  ASSERT_TRUE(Start());
  ASSERT_EQ(List()->GetColumnCount(), 4);
  const char* const headings[] = {"File Name", "Size", "Type", "Path"};
  const wxListColumnFormat alignments[] = {wxLIST_FORMAT_LEFT, wxLIST_FORMAT_RIGHT,
                                           wxLIST_FORMAT_LEFT, wxLIST_FORMAT_LEFT};
  const int widths[] = {150, 50, List()->GetColumnWidth(kTypeColumn), 200};
  for (const char* const name : {"a.htm", "a.css", "a.js", "a.png"}) {
    const wxString type = wxString::FromUTF8(ShellTypeName(name));
    EXPECT_GT(widths[kTypeColumn], List()->GetTextExtent(type).x) << type;
  }
  EXPECT_GE(widths[kTypeColumn], 100);
  for (int column = 0; column < 4; ++column) {
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_FORMAT);
    ASSERT_TRUE(List()->GetColumn(column, item));
    EXPECT_EQ(item.GetText(), headings[column]);
    EXPECT_EQ(item.GetAlign(), alignments[column]);
    EXPECT_EQ(List()->GetColumnWidth(column), widths[column]);
  }
  EXPECT_TRUE(List()->HasFlag(wxLC_REPORT));
  EXPECT_TRUE(List()->HasFlag(wxLC_VIRTUAL));
  EXPECT_FALSE(List()->HasFlag(wxLC_SINGLE_SEL));
  EXPECT_FALSE(List()->HasFlag(wxLC_EDIT_LABELS));
}

TEST_F(StartTest, ToolbarHasLabelledButtonsInOrderWithTooltipsAndPrompts) {
  ASSERT_TRUE(Start());
  wxToolBar* toolbar = Frame()->GetToolBar();
  ASSERT_NE(toolbar, nullptr);
  ASSERT_EQ(toolbar->GetToolsCount(), 6u);

  struct Expected {
    int id;
    const char* label;
    const char* prompt;
  };
  const Expected buttons[] = {{ID_FILE_OPEN, "Open", "Open an existing document"},
                              {ID_FILE_UNPACK, "Unpack", "Unpack files"},
                              {0, "", ""},
                              {ID_APP_ABOUT, "About", "About"},
                              {ID_HELP_HOME_PAGE, "HomePage", "HomePage"},
                              {ID_HELP_CONTENTS, "Help", "Help"}};
  for (size_t position = 0; position < 6; ++position) {
    const wxToolBarToolBase* tool = toolbar->GetToolByPos(static_cast<int>(position));
    const Expected& expected = buttons[position];
    if (expected.id == 0) {
      EXPECT_TRUE(tool->IsSeparator());
      continue;
    }
    EXPECT_EQ(tool->GetId(), WxId(expected.id));
    EXPECT_EQ(tool->GetLabel(), expected.label);
    EXPECT_EQ(tool->GetShortHelp(), expected.label);
    EXPECT_EQ(tool->GetLongHelp(), expected.prompt);
    EXPECT_TRUE(tool->GetNormalBitmap().IsOk());
  }
}

TEST_F(StartTest, StatusBarHasMessagePaneAndLockIndicators) {
  ASSERT_TRUE(Start());
  wxStatusBar* status_bar = Frame()->GetStatusBar();
  ASSERT_EQ(status_bar->GetFieldsCount(), 4);
  Frame()->UpdateLockIndicators();
  const wxString indicators[] = {"CAP", "NUM", "SCRL"};
  for (int pane = 1; pane < 4; ++pane) {
    const wxString text = StatusText(pane);
    EXPECT_TRUE(text.empty() || text == indicators[pane - 1]) << text;
  }
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

TEST_F(StartTest, MenuBarHasEveryItemWithItsAccelerator) {
  ASSERT_TRUE(Start());
  wxMenuBar* menu_bar = Frame()->GetMenuBar();
  ASSERT_EQ(menu_bar->GetMenuCount(), 4u);
  EXPECT_EQ(menu_bar->GetMenuLabel(0), "&File");
  EXPECT_EQ(menu_bar->GetMenuLabel(3), "&Help");
  EXPECT_EQ(menu_bar->GetLabel(WxId(ID_FILE_OPEN)), "&Open...\tCtrl+O");
  EXPECT_EQ(menu_bar->GetLabel(WxId(ID_EDIT_SELECT_ALL)), "&Select All\tCtrl+A");
  EXPECT_EQ(menu_bar->GetLabel(WxId(ID_HELP_CONTENTS)), "&Contents\tF1");
  EXPECT_EQ(menu_bar->GetLabel(WxId(ID_FILE_MRU_FILE1)), "Recent File");
  EXPECT_FALSE(menu_bar->IsEnabled(WxId(ID_FILE_MRU_FILE1)));
  EXPECT_EQ(menu_bar->GetLabel(WxId(ID_HELP_EMAIL)), "&E-mail us");
  EXPECT_EQ(menu_bar->GetLabel(WxId(ID_HELP_HOME_PAGE)), "Vaskel &Home Page");
  EXPECT_EQ(menu_bar->GetLabel(WxId(ID_APP_ABOUT)), "&About Vaskel...");
  EXPECT_EQ(menu_bar->GetLabel(WxId(ID_APP_EXIT)), "E&xit");
  EXPECT_TRUE(menu_bar->IsChecked(WxId(ID_VIEW_TOOLBAR)));
}

TEST_F(StartTest, TipItemIsInsertedAtTheTopOfHelpOnce) {
  ASSERT_TRUE(Start());
  Frame()->AddTipMenuItem();
  Frame()->AddTipMenuItem();
  wxMenu* help = Frame()->GetMenuBar()->GetMenu(3);
  ASSERT_EQ(help->GetMenuItemCount(), 7u);
  EXPECT_EQ(help->FindItemByPosition(0)->GetItemLabel(), "Ti&p of the Day...");
  EXPECT_EQ(help->FindItemByPosition(0)->GetId(), WxId(ID_TIP_OF_THE_DAY));
  EXPECT_TRUE(help->FindItemByPosition(1)->IsSeparator());
  EXPECT_EQ(help->FindItemByPosition(2)->GetId(), WxId(ID_HELP_CONTENTS));
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
