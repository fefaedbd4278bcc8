// Selection between the store and the control, the find box, and the Help menu's and About
// box's commands.
#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/srchctrl.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include <filesystem>
#include <fstream>

#include "app/about_dialog.h"
#include "app/shell_commands.h"
#include "catalogue/column_sort.h"
#include "catalogue/find_box.h"
#include "res/resource_ids.h"
#include "tests/window/unpack_test_support.h"

namespace vaskel::testing {
namespace {

using namespace res;

class SelectionTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(Start({WriteHelpFile("twelve.chm", TwelveStreams())}));
    ASSERT_EQ(Rows().GetItemCount(), 12);
  }
};

TEST_F(SelectionTest, SelectAllSelectsEveryRowAndKeepsTheFocusedOne) {
  Rows().SetItemState(3, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  Command(ID_EDIT_SELECT_ALL);
  EXPECT_EQ(Rows().GetSelectedCount(), 12);
  EXPECT_EQ(Rows().GetNextItem(-1, LVNI_FOCUSED), 3);
  EXPECT_EQ(List()->ShownSelection().size(), 12u);
  EXPECT_EQ(List()->ShownFocus(), 3);
}

TEST_F(SelectionTest, RowItemEventsUpdateTheStoreAtOnce) {
  SelectInControl(4);
  EXPECT_NE(Rows().GetItemState(4, LVIS_SELECTED), 0u);
}

class FindBoxTest : public UnpackWindowTest {
 protected:
  void SetUp() override {
    UnpackWindowTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(Start({WriteHelpFile("twelve.chm", TwelveStreams())}));
    ASSERT_NE(Box(), nullptr);
  }
  wxSearchCtrl* Box() const { return View()->Find()->Control(); }
  void Type(const char* text) const { Box()->SetValue(text); }  // as typing does: a text event
  void Key(int code) const {
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = code;
    key.SetEventObject(Box());
    Box()->ProcessWindowEvent(key);
  }
  std::vector<std::string> Shown(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < List()->ShownRowCount(); ++row) {
      texts.push_back(List()->ShownText(row, column).utf8_string());
    }
    return texts;
  }
  std::vector<std::string> ShownSorted(int column) const {
    std::vector<std::string> texts = Shown(column);
    std::sort(texts.begin(), texts.end());
    return texts;
  }
};

TEST_F(FindBoxTest, ShowsRowsWhoseNameOrPathContainsTheTextInAnyCase) {
  // Above the list, right-aligned, with the list taking the rest of the window.
  EXPECT_EQ(Box()->GetParent(), static_cast<wxWindow*>(Frame()));
  EXPECT_LT(Box()->GetRect().GetBottom(), List()->Window().GetRect().GetTop());
  EXPECT_EQ(Box()->GetRect().GetRight() + 3, List()->Window().GetRect().GetRight());
  Rows().SetItemState(RowNamed("notes.txt"), LVIS_SELECTED, LVIS_SELECTED);
  Type("TOPics");  // the path of three rows, the name of none
  EXPECT_EQ(ShownSorted(kNameColumn),
            (std::vector<std::string>{"one.html", "three.htm", "two.html"}));
  EXPECT_EQ(StatusText(0), "3 of 12 file(s)");
  EXPECT_EQ(Rows().GetSelectedCount(), 0);  // a hidden row keeps no selection
  Type("HTM");
  EXPECT_EQ(
      ShownSorted(kNameColumn),
      (std::vector<std::string>{"about.html", "index.html", "one.html", "three.htm", "two.html"}));
  // Sorted while filtered, and still sorted when every row shows again.
  SortByColumnClick(*View(), kSizeColumn);
  EXPECT_EQ(Shown(kSizeColumn), (std::vector<std::string>{"7", "70", "71", "72", "120"}));
  Key(WXK_ESCAPE);
  EXPECT_EQ(Box()->GetValue(), "");
  EXPECT_EQ(StatusText(0), "Total 12 file(s)");
  EXPECT_EQ(Shown(kSizeColumn), (std::vector<std::string>{"1", "2", "5", "7", "11", "33", "64",
                                                          "70", "71", "72", "120", "300"}));
  Type("no such file");
  EXPECT_EQ(List()->ShownRowCount(), 0);
  EXPECT_EQ(StatusText(0), "0 of 12 file(s)");
  Type("");
  EXPECT_EQ(List()->ShownRowCount(), 12);
  // A new catalogue empties the box.
  Type("png");
  Open(WriteHelpFile("other.chm", TwelveStreams()));
  EXPECT_EQ(Box()->GetValue(), "");
  EXPECT_EQ(Rows().GetItemCount(), 12);
}

TEST_F(FindBoxTest, SelectAllUnpackDownAndEnterActOnTheRowsShown) {
  Type(".html");
  Command(ID_EDIT_SELECT_ALL);
  EXPECT_EQ(Rows().GetSelectedCount(), 4);
  EXPECT_EQ(List()->ShownSelection().size(), 4u);
  Type(ShownPath("topics/").c_str());
  EXPECT_EQ(Rows().GetSelectedCount(), 2);  // the selected rows still shown
  // "All files" is every row shown.
  const std::filesystem::path out = folder_ / "out";
  UnpackDialogHook hook([&](UnpackDialog& dialog) {
    dialog.InitDialog();
    dynamic_cast<wxRadioButton*>(dialog.FindWindow(IDC_UNPACK_ALL))->SetValue(true);
    dialog.SetFileChoice(IDC_UNPACK_ALL);
    dialog.FolderControl()->ChangeValue(wxString::FromUTF8(out.string()));
    std::filesystem::create_directory(out);
    wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
    dialog.ProcessWindowEvent(click);
    return wxID_OK;
  });
  Command(ID_FILE_UNPACK);
  EXPECT_EQ(FilesBelow(out), (std::vector<std::string>{"topics/deep/three.htm", "topics/one.html",
                                                       "topics/two.html"}));
  // Down: the list's first shown row, alone selected; Enter runs it.
  Key(WXK_DOWN);
  EXPECT_EQ(Rows().GetSelectedCount(), 1);
  EXPECT_EQ(Rows().GetNextItem(-1, LVNI_SELECTED), 0);
  EXPECT_EQ(Rows().GetNextItem(-1, LVNI_FOCUSED), 0);
  EXPECT_EQ(List()->ShownSelection(), std::vector<int>{0});
  Key(WXK_RETURN);
  ASSERT_EQ(desktop_launches_.size(), 1u);
  EXPECT_NE(desktop_launches_[0].path.find(std::string(Rows().GetItemText(0, kNameColumn))),
            std::string::npos);
  // Ctrl+F: back in the box, where Ctrl+A is for the text and leaves the rows alone.
  Command(ID_EDIT_FIND);
  EXPECT_EQ(wxWindow::FindFocus(), static_cast<wxWindow*>(Box()));
  Command(ID_EDIT_SELECT_ALL);
  EXPECT_EQ(Rows().GetSelectedCount(), 1);
}

class ContextMenuPlaceTest : public UnpackWindowTest {
 protected:
  void SetUp() override {
    UnpackWindowTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(Start({WriteHelpFile("twelve.chm", TwelveStreams())}));
  }
  void ContextMenu(const wxPoint& screen_position) const {
    wxContextMenuEvent event(wxEVT_CONTEXT_MENU, List()->Window().GetId(), screen_position);
    event.SetEventObject(&List()->Window());
    List()->Window().ProcessWindowEvent(event);
  }
};

TEST_F(ContextMenuPlaceTest, KeyPutsTheMenuAtTheFocusedRowAndAClickWhereItWas) {
  SelectInControl(5);
  FocusInControl(5);
  // The Menu key and Shift+F10 come with no position.
  ContextMenu(wxDefaultPosition);
  const wxRect row = RowRect(5);
  ASSERT_FALSE(row.IsEmpty());
  EXPECT_TRUE(row.Contains(menu_place_)) << menu_place_.x << "," << menu_place_.y;
  ContextMenu(List()->Window().ClientToScreen(wxPoint(30, 40)));
  EXPECT_EQ(menu_place_, wxPoint(30, 40));
}

class HelpCommandTest : public WindowTest {};

TEST_F(HelpCommandTest, ContentsOpensTheHelpFileOfTheCurrentDirectoryFirst) {
  ASSERT_TRUE(Start());
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  Command(ID_HELP_CONTENTS);
  EXPECT_TRUE(launched_.empty());  // neither here nor beside the test program
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].text.find("\"VaskelHelp.chm\""), std::string::npos) << messages_[0].text;
  std::ofstream(folder_ / "VaskelHelp.chm") << "help";
  Command(ID_HELP_CONTENTS);
  std::filesystem::current_path(previous);
  ASSERT_EQ(launched_.size(), 1u);
  EXPECT_EQ(launched_[0].utf8_string(), (folder_ / "VaskelHelp.chm").string());
}

}  // namespace
}  // namespace vaskel::testing
