// Selection between the store and the control, and the Help menu's and About box's commands.
#include <wx/button.h>
#include <wx/stattext.h>

#include <filesystem>
#include <fstream>

#include "app/about_dialog.h"
#include "app/shell_commands.h"
#include "res/resource_ids.h"
#include "tests/window/window_test_support.h"

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
  EXPECT_EQ(List()->GetSelectedItemCount(), 12);
  EXPECT_EQ(List()->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED), 3);
}

TEST_F(SelectionTest, StoreChangesShowInTheControl) {
  Rows().SetItemState(7, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_NE(List()->GetItemState(7, wxLIST_STATE_SELECTED), 0);
  Rows().SetItemState(7, 0, LVIS_SELECTED);
  EXPECT_EQ(List()->GetItemState(7, wxLIST_STATE_SELECTED), 0);
  Rows().SwapRows(0, 11);
  EXPECT_EQ(List()->GetItemText(0, 0).utf8_string(), Rows().GetItemText(0, 0));
}

TEST_F(SelectionTest, TheUsersSelectionIsCopiedIntoTheStore) {
  List()->SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  List()->SetItemState(9, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                       wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  List()->SyncStoreFromControl();
  EXPECT_EQ(Rows().GetSelectedCount(), 2);
  EXPECT_NE(Rows().GetItemState(2, LVIS_SELECTED), 0u);
  EXPECT_NE(Rows().GetItemState(9, LVIS_SELECTED), 0u);
  EXPECT_EQ(Rows().GetNextItem(-1, LVNI_FOCUSED), 9);
}

TEST_F(SelectionTest, RowItemEventsUpdateTheStoreAtOnce) {
  List()->SetItemState(4, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  wxListEvent selected(wxEVT_LIST_ITEM_SELECTED, List()->GetId());
  selected.SetEventObject(List());
  selected.m_itemIndex = 4;
  List()->ProcessWindowEvent(selected);
  EXPECT_NE(Rows().GetItemState(4, LVIS_SELECTED), 0u);
}

class HelpCommandTest : public WindowTest {};

TEST_F(HelpCommandTest, HomePageAndMailGoToTheMakersAddresses) {
  ASSERT_TRUE(Start());
  Command(ID_HELP_HOME_PAGE);
  Command(ID_HELP_EMAIL);
  ASSERT_EQ(launched_.size(), 2u);
  EXPECT_EQ(launched_[0], MakerHomePage());
  EXPECT_EQ(launched_[1], "mailto:" + MakerEmail());
  EXPECT_TRUE(MakerEmail().EndsWith("example.org"));
}

TEST_F(HelpCommandTest, ContentsOpensTheHelpFileOfTheCurrentDirectoryFirst) {
  ASSERT_TRUE(Start());
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  Command(ID_HELP_CONTENTS);
  EXPECT_TRUE(launched_.empty());  // neither here nor beside the test program
  std::ofstream(folder_ / "VaskelHelp.chm") << "help";
  Command(ID_HELP_CONTENTS);
  std::filesystem::current_path(previous);
  ASSERT_EQ(launched_.size(), 1u);
  EXPECT_EQ(launched_[0].utf8_string(), (folder_ / "VaskelHelp.chm").string());
}

TEST_F(HelpCommandTest, AboutBoxShowsTheVersionAndTheAddresses) {
  ASSERT_TRUE(Start());
  AboutDialog about(Frame());
  ASSERT_TRUE(about.IsLoaded());
  EXPECT_EQ(about.GetTitle(), "About Vaskel");
  auto* version = wxDynamicCast(about.FindWindow("IDC_ABOUT_VERSION"), wxStaticText);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->GetLabel(), "Vaskel Version 1.3");
  auto* mail = wxDynamicCast(about.FindWindow(IDC_ABOUT_EMAIL), wxButton);
  ASSERT_NE(mail, nullptr);
  EXPECT_EQ(mail->GetLabel(), MakerEmail());
  // The e-mail button mails the maker; the telephone button does nothing.
  wxCommandEvent mail_click(wxEVT_BUTTON, IDC_ABOUT_EMAIL);
  mail->ProcessWindowEvent(mail_click);
  wxCommandEvent telephone_click(wxEVT_BUTTON, IDC_ABOUT_TELEPHONE);
  about.FindWindow(IDC_ABOUT_TELEPHONE)->ProcessWindowEvent(telephone_click);
  ASSERT_EQ(launched_.size(), 1u);
  EXPECT_EQ(launched_[0], "mailto:" + MakerEmail());
}

}  // namespace
}  // namespace vaskel::testing
