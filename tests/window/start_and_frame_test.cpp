// Start-up without a file, the frame's placement, bars and menus.
#ifdef __WXGTK__
#include <dlfcn.h>
#endif
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <string>
#include <vector>

#include "app/frame_placement.h"
#include "app/main_frame.h"
#include "app/profile.h"
#include "app/window_layout.h"
#include "res/resource_ids.h"
#include "tests/window/window_test_support.h"
#ifdef _WIN32
#include <wx/srchctrl.h>

#include "catalogue/find_box.h"
// After the program's headers, as the list view's own are.
// clang-format off
#include <windows.h>
#include <oleacc.h>
// clang-format on
#endif

namespace vaskel::testing {
namespace {

using namespace res;

class StartTest : public WindowTest {};

TEST_F(StartTest, WithoutFileShowsAnEmptyUntitledCatalogue) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Title(), "Untitled - Vaskel");
  EXPECT_EQ(Rows().GetItemCount(), 0);
  EXPECT_EQ(List()->ShownRowCount(), 0);
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
  List()->ResizeColumn(kPathColumn, 321);
  Stop();
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame()->GetRect(), moved);
  EXPECT_EQ(List()->ColumnWidth(kPathColumn), 321);
  EXPECT_EQ(List()->ColumnWidth(kNameColumn), 150);
  Stop();
  OpenProfile()->Write("/Settings/WindowX", -9000L);  // as another instance stores it
  ASSERT_TRUE(Start());
  const wxSize screen = wxGetDisplaySize();
  const FramePlacement designed = PlaceMainFrame(screen.x, screen.y);
  EXPECT_EQ(Frame()->GetSize(), wxSize(designed.width, designed.height));
  EXPECT_NEAR(Frame()->GetPosition().x, designed.left, 50);
  EXPECT_EQ(List()->ColumnWidth(kPathColumn), 321);
}

// Lets the toolkit lay out what changed; `done` ends the wait early.
template <typename Done>
void LetTheToolkitCatchUp(Done done) {
  for (int round = 0; round < 100 && !done(); ++round) {
    wxTheApp->Yield(true);
    wxMilliSleep(5);
  }
}

TEST_F(StartTest, SmallestWindowKeepsTheWholeToolbarAndThreeRowsInSight) {
  ASSERT_TRUE(Start({WriteHelpFile("twelve.chm", TwelveStreams())}));
  Frame()->SetSize(200, 150);
  const auto rows_in_sight = [&] { return RowsInSight(); };
  LetTheToolkitCatchUp(
      [&] { return Frame()->GetSize() != wxSize(200, 150) && rows_in_sight() >= 3; });
  EXPECT_GE(rows_in_sight(), CMainFrame::kRowsInSight)
      << Frame()->GetSize().x << "x" << Frame()->GetSize().y;
  wxToolBar* toolbar = Frame()->GetToolBar();
  EXPECT_GE(toolbar->GetSize().x, toolbar->GetBestSize().x);
  EXPECT_TRUE(List()->Window().IsShownOnScreen());
}

#ifdef __WXGTK__
// The width the toolkit wants for each button while the pointer is over it, and the width it
// gives each, in button order.
struct ButtonWidths {
  std::vector<int> highlighted;
  std::vector<int> laid_out;
};

ButtonWidths MeasureButtons(wxToolBar& toolbar) {
  using NthItem = void* (*)(void*, int);
  using Child = void* (*)(void*);
  using SetFlags = void (*)(void*, int, int);
  using UnsetFlags = void (*)(void*, int);
  using Preferred = void (*)(void*, int*, int*);
  using Allocated = int (*)(void*);
  const auto nth_item = reinterpret_cast<NthItem>(dlsym(RTLD_DEFAULT, "gtk_toolbar_get_nth_item"));
  const auto child = reinterpret_cast<Child>(dlsym(RTLD_DEFAULT, "gtk_bin_get_child"));
  const auto set_flags =
      reinterpret_cast<SetFlags>(dlsym(RTLD_DEFAULT, "gtk_widget_set_state_flags"));
  const auto unset_flags =
      reinterpret_cast<UnsetFlags>(dlsym(RTLD_DEFAULT, "gtk_widget_unset_state_flags"));
  const auto preferred =
      reinterpret_cast<Preferred>(dlsym(RTLD_DEFAULT, "gtk_widget_get_preferred_width"));
  const auto allocated =
      reinterpret_cast<Allocated>(dlsym(RTLD_DEFAULT, "gtk_widget_get_allocated_width"));
  ButtonWidths widths;
  if (!nth_item || !child || !set_flags || !unset_flags || !preferred || !allocated) return widths;
  constexpr int kPrelight = 1 << 1;  // GTK_STATE_FLAG_PRELIGHT: the pointer is over it
  for (int position = 0; position < static_cast<int>(std::size(CMainFrame::kToolbarButtons));
       ++position) {
    if (CMainFrame::kToolbarButtons[position] == wxID_SEPARATOR) continue;
    // The toolbar's handle is the box around the toolkit's toolbar.
    void* item = nth_item(child(toolbar.GetHandle()), position);
    void* button = child(item);
    set_flags(button, kPrelight, 0);
    int least = 0;
    int natural = 0;
    preferred(item, &least, &natural);
    unset_flags(button, kPrelight);
    widths.highlighted.push_back(natural);
    widths.laid_out.push_back(allocated(item));
  }
  return widths;
}

std::string Listed(const std::vector<int>& values) {
  std::string text;
  for (const int value : values) text += std::to_string(value) + " ";
  return text;
}

TEST_F(StartTest, ToolbarButtonsAreEquallyWideWithThePointerOverAnyOfThem) {
  ASSERT_TRUE(Start());
  LetTheToolkitCatchUp([] { return false; });
  const ButtonWidths widths = MeasureButtons(*Frame()->GetToolBar());
  ASSERT_EQ(widths.highlighted.size(), 5u);
  for (std::size_t button = 1; button < 5; ++button) {
    EXPECT_EQ(widths.highlighted[button], widths.highlighted[0]) << Listed(widths.highlighted);
    EXPECT_EQ(widths.laid_out[button], widths.laid_out[0]) << Listed(widths.laid_out);
  }
}
#endif

TEST_F(StartTest, CloseRunsTheCleanUpHookFirst) {
  ASSERT_TRUE(Start());
  bool view_alive_at_hook = false;
  Frame()->SetBeforeCloseHook([&] { view_alive_at_hook = View() != nullptr; });
  Command(ID_APP_EXIT);
  RunPendingCalls();
  EXPECT_TRUE(view_alive_at_hook);
  EXPECT_EQ(App().MainFrame(), nullptr);
}

#ifdef _WIN32
// What a screen reader asks a window for its name, through the system's accessibility.
std::wstring AccessibleName(wxWindow& window) {
  IAccessible* accessible = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(window.GetHWND(), static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible,
                                          reinterpret_cast<void**>(&accessible)))) {
    return L"(no accessible object)";
  }
  VARIANT self;
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring text = SUCCEEDED(accessible->get_accName(self, &name)) && name ? name : L"";
  ::SysFreeString(name);
  accessible->Release();
  return text;
}

TEST_F(StartTest, ScreenReadersHearTheCatalogueAndTheFindBoxNamed) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(AccessibleName(List()->Window()), L"Files");
  wxSearchCtrl* box = View()->Find()->Control();
  const std::wstring box_name = box->GetDescriptiveText().ToStdWstring();
  EXPECT_FALSE(box_name.empty());
  EXPECT_EQ(AccessibleName(*box), box_name);
  // The field inside it, which takes the focus and the keys.
  for (wxWindow* child : box->GetChildren()) {
    if (dynamic_cast<wxTextCtrl*>(child) != nullptr) {
      EXPECT_EQ(AccessibleName(*child), box_name);
    }
  }
}
#endif

}  // namespace
}  // namespace vaskel::testing
