// The Tip of the Day in the running application: the start-up tip and the command line, the
// profile entries after "&Close" and after Escape, "&Next Tip", replaced and edited tips files,
// failures, and the Help menu's item.
#include <wx/checkbox.h>
#include <wx/confbase.h>
#include <wx/menu.h>
#include <wx/stattext.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/tip_dialog.h"
#include "app/tips_file.h"
#include "res/resource_ids.h"
#include "tests/window/window_test_support.h"

namespace vaskel::testing {
namespace {

using namespace res;
namespace fs = std::filesystem;

constexpr std::string_view kTips =
    "; Tips for the test\n\n  indented\n\ttabbed\nFirst tip\nSecond tip\n";
// The offsets just past each tip.
constexpr long kAfterFirst = static_cast<long>(kTips.find("Second"));
constexpr long kAfterSecond = static_cast<long>(kTips.size());

class TipTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped()) return;
    // The tips file is looked for in the current directory first.
    previous_directory_ = fs::current_path();
    fs::current_path(folder_);
  }
  void TearDown() override {
    WindowTest::TearDown();
    if (!previous_directory_.empty()) fs::current_path(previous_directory_);
  }

  std::string WriteTips(std::string_view contents = kTips) {
    return WriteFile("tips.txt", std::string(contents));
  }
  wxConfigBase& Profile() const { return *App().Profile(); }
  long TipEntry(const char* key) const { return Profile().ReadLong(wxString("/Tip/") + key, -1); }
  bool HasTipEntry(const char* key) const { return Profile().HasEntry(wxString("/Tip/") + key); }
  std::string StoredStamp() const {
    return Profile().Read("/Tip/TimeStamp", wxString()).utf8_string();
  }

  // Runs the Help menu's Tip of the Day with `act` standing in for the person at the dialog.
  void ShowTipOfTheDay(const std::function<void(TipDialog&)>& act) {
    const TipDialogRunner previous = SetTipDialogRunner([&](TipDialog& dialog) {
      dialog.Show();
      act(dialog);
    });
    Command(ID_TIP_OF_THE_DAY);
    SetTipDialogRunner(previous);
  }

  static wxCheckBox* CheckBox(TipDialog& dialog) {
    return wxDynamicCast(dialog.FindWindow(IDC_TIP_SHOW_AT_STARTUP), wxCheckBox);
  }
  static wxString Shown(TipDialog& dialog) {
    return wxDynamicCast(dialog.FindWindow(IDC_TIP_TEXT), wxStaticText)->GetLabelText();
  }
  static void Click(TipDialog& dialog, int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(dialog.FindWindow(id));
    dialog.ProcessWindowEvent(click);
  }
  static void PressEscape(TipDialog& dialog) {
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = WXK_ESCAPE;
    key.SetEventObject(&dialog);
    dialog.ProcessWindowEvent(key);
  }

 private:
  fs::path previous_directory_;
};

TEST_F(TipTest, FirstStartShowsTheFirstTipAndCloseStoresTheChoice) {
  const std::string tips = WriteTips();
  ASSERT_TRUE(Start());
  ASSERT_EQ(tips_shown_, std::vector<std::string>{"First tip\n"});
  EXPECT_FALSE(HasTipEntry("StartUp"));
  EXPECT_EQ(TipEntry("FilePos"), kAfterFirst);
  EXPECT_EQ(StoredStamp(), TipsFile(tips).TimeStamp());

  ShowTipOfTheDay([](TipDialog& dialog) {
    EXPECT_TRUE(CheckBox(dialog)->GetValue());
    EXPECT_EQ(Shown(dialog), "Second tip\n");
    Click(dialog, wxID_OK);
    EXPECT_FALSE(dialog.IsShown());
  });
  EXPECT_EQ(TipEntry("StartUp"), 0);
  EXPECT_EQ(TipEntry("FilePos"), kAfterSecond);

  ShowTipOfTheDay([](TipDialog& dialog) {
    EXPECT_EQ(Shown(dialog), "First tip\n");  // past the last tip: the top again
    CheckBox(dialog)->SetValue(false);
    Click(dialog, wxID_OK);
  });
  EXPECT_EQ(TipEntry("StartUp"), 1);
  EXPECT_EQ(TipEntry("FilePos"), kAfterFirst);
}

TEST_F(TipTest, StartUpWithTipsSwitchedOffShowsNothingButMovesOnOneTip) {
  WriteTips();
  ASSERT_TRUE(Start());
  ShowTipOfTheDay([](TipDialog& dialog) {
    CheckBox(dialog)->SetValue(false);
    Click(dialog, wxID_OK);
  });
  ASSERT_EQ(TipEntry("FilePos"), kAfterSecond);  // the first at start-up, the second here
  Stop();
  tips_shown_.clear();

  ASSERT_TRUE(Start());
  EXPECT_TRUE(tips_shown_.empty());
  EXPECT_EQ(TipEntry("FilePos"), kAfterFirst);
  // The Help menu opens it all the same.
  Command(ID_TIP_OF_THE_DAY);
  EXPECT_EQ(tips_shown_, std::vector<std::string>{"Second tip\n"});
}

TEST_F(TipTest, EscapeStoresNoChoiceButTheReadingPosition) {
  WriteTips();
  ASSERT_TRUE(Start({"-Embedding"}));
  ShowTipOfTheDay([](TipDialog& dialog) {
    CheckBox(dialog)->SetValue(false);
    PressEscape(dialog);
    EXPECT_FALSE(dialog.IsShown());
  });
  EXPECT_FALSE(HasTipEntry("StartUp"));
  EXPECT_EQ(TipEntry("FilePos"), kAfterFirst);
  EXPECT_FALSE(StoredStamp().empty());
}

TEST_F(TipTest, NextTipStepsOnWrapsAndSetsTheCheckBoxBack) {
  WriteTips();
  ASSERT_TRUE(Start({"-Embedding"}));
  ShowTipOfTheDay([](TipDialog& dialog) {
    EXPECT_EQ(Shown(dialog), "First tip\n");
    EXPECT_TRUE(dialog.FindWindow(IDC_TIP_NEXT)->IsEnabled());
    CheckBox(dialog)->SetValue(false);
    Click(dialog, IDC_TIP_NEXT);
    EXPECT_EQ(Shown(dialog), "Second tip\n");
    EXPECT_TRUE(CheckBox(dialog)->GetValue());
    Click(dialog, IDC_TIP_NEXT);
    EXPECT_EQ(Shown(dialog), "First tip\n");
    PressEscape(dialog);
  });
  EXPECT_EQ(TipEntry("FilePos"), kAfterFirst);
}

TEST_F(TipTest, AReplacedFileStartsAtTheTopAndAnEditedOneGoesOnAtTheOffset) {
  const std::string tips = WriteTips();
  ASSERT_TRUE(Start());
  ASSERT_EQ(TipEntry("FilePos"), kAfterFirst);
  // Another file has another stamp, whatever "FilePos" holds.
  Profile().Write("/Tip/TimeStamp", "Thu Jan  1 00:00:00 1970");
  Command(ID_TIP_OF_THE_DAY);
  EXPECT_EQ(tips_shown_.back(), "First tip\n");
  EXPECT_EQ(StoredStamp(), TipsFile(tips).TimeStamp());

  // Edited in place, keeping its creation time: reading goes on at the stored byte offset,
  // here inside the new first line, whose rest is taken as a tip.
  const fs::file_time_type written = fs::last_write_time(tips);
  const std::string edited =
      "; Tips for the test, edited\n\nA new and longer first tip\nLast tip\n";
  std::ofstream(tips, std::ios::binary | std::ios::trunc) << edited;
  fs::last_write_time(tips, written);
  ASSERT_EQ(StoredStamp(), TipsFile(tips).TimeStamp());
  Profile().Write("/Tip/FilePos", static_cast<long>(edited.find("longer")));
  Command(ID_TIP_OF_THE_DAY);
  EXPECT_EQ(tips_shown_.back(), "longer first tip\n");
}

TEST_F(TipTest, WithoutATipsFileTheAreaSaysSoAndNothingMoves) {
  ASSERT_TRUE(Start());
  ASSERT_EQ(tips_shown_,
            std::vector<std::string>{"Tips file does not exist in the prescribed directory"});
  EXPECT_FALSE(HasTipEntry("FilePos"));
  ShowTipOfTheDay([](TipDialog& dialog) {
    EXPECT_FALSE(dialog.HasTipsFile());
    EXPECT_FALSE(dialog.FindWindow(IDC_TIP_NEXT)->IsEnabled());
    Click(dialog, wxID_OK);
  });
  EXPECT_EQ(TipEntry("StartUp"), 0);
  EXPECT_FALSE(HasTipEntry("FilePos"));
}

TEST_F(TipTest, AFileWithoutTipsShowsASentenceInsteadOfReadingForever) {
  WriteTips("; nothing but comments\n\n   and indented lines\n");
  ASSERT_TRUE(Start());
  ASSERT_EQ(tips_shown_, std::vector<std::string>{std::string(kNoTipsInFile)});
  ShowTipOfTheDay([](TipDialog& dialog) {
    Click(dialog, IDC_TIP_NEXT);
    EXPECT_EQ(dialog.TipText(), kNoTipsInFile);
    EXPECT_TRUE(Shown(dialog).StartsWith("The tips file holds no tips"));
    PressEscape(dialog);
  });
  EXPECT_TRUE(messages_.empty());
}

TEST_F(TipTest, AStoredPositionTheSeekRejectsIsReportedEvenWithTipsOff) {
  const std::string tips = WriteTips();
  ASSERT_TRUE(Start({"-Embedding"}));
  Profile().Write("/Tip/StartUp", 1L);
  // The profile's numbers are 32 bits wide (a DWORD in the registry): these are their bits.
  Profile().Write("/Tip/FilePos", static_cast<long>(0xFFFFFFFFu));
  Profile().Write("/Tip/TimeStamp", wxString::FromUTF8(TipsFile(tips).TimeStamp()));
  Stop();
  ASSERT_TRUE(Start());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, "Trouble reading the tips file");
  EXPECT_TRUE(tips_shown_.empty());
  EXPECT_EQ(TipEntry("FilePos"), 0);  // where the file stood

  Profile().Write("/Tip/FilePos", static_cast<long>(0x80000000u));
  TipDialog dialog(Frame(), Profile(), tips);
  EXPECT_EQ(messages_.size(), 2u);
  EXPECT_EQ(dialog.TipText(), "");
  dialog.Show();
  Click(dialog, IDC_TIP_NEXT);  // reads on from wherever the file stands: the top
  EXPECT_EQ(Shown(dialog), "First tip\n");
}

TEST_F(TipTest, AnAmpersandInATipShowsAsWritten) {
  WriteTips("Tips & tricks: one\n");
  ASSERT_TRUE(Start({"-Embedding"}));
  ShowTipOfTheDay([](TipDialog& dialog) {
    EXPECT_EQ(Shown(dialog), "Tips & tricks: one\n");
    PressEscape(dialog);
  });
}

// Ends every test of the menu with the Help menu's items as the person sees them.
std::vector<wxString> Labels(wxMenu* menu) {
  std::vector<wxString> labels;
  for (const wxMenuItem* item : menu->GetMenuItems()) {
    labels.push_back(item->IsSeparator() ? wxString("-") : item->GetItemLabel());
  }
  return labels;
}

void OpenMenus(wxFrame* frame, int times) {
  for (int i = 0; i < times; ++i) {
    wxMenuEvent opened(wxEVT_MENU_OPEN, 0, frame->GetMenuBar()->GetMenu(0));
    frame->ProcessWindowEvent(opened);
  }
}

TEST_F(TipTest, HelpMenuGainsOneTipItemHoweverOftenMenusOpen) {
  ASSERT_TRUE(Start({"-Embedding"}));
  wxMenuBar* menu_bar = Frame()->GetMenuBar();
  OpenMenus(Frame(), 4);
  const int help = menu_bar->FindMenu("Help");
  ASSERT_NE(help, wxNOT_FOUND);
  EXPECT_EQ(Labels(menu_bar->GetMenu(help)),
            (std::vector<wxString>{"Ti&p of the Day...", "-", "&Contents\tF1", "-", "&E-mail us",
                                   "Vaskel &Home Page", "&About Vaskel..."}));
  EXPECT_EQ(menu_bar->GetHelpString(WxId(ID_TIP_OF_THE_DAY)), "Displays a Tip of the Day.");

  // The item runs the Tip of the Day, whatever the start-up setting.
  Profile().Write("/Tip/StartUp", 1L);
  wxCommandEvent chosen(wxEVT_MENU, WxId(ID_TIP_OF_THE_DAY));
  chosen.SetEventObject(menu_bar->GetMenu(help));
  Frame()->ProcessWindowEvent(chosen);
  EXPECT_EQ(tips_shown_.size(), 1u);
}

TEST_F(TipTest, WithoutAHelpMenuOneSubstituteIsAppended) {
  ASSERT_TRUE(Start({"-Embedding"}));
  wxMenuBar* menu_bar = Frame()->GetMenuBar();
  const size_t menus = menu_bar->GetMenuCount();
  delete menu_bar->Remove(static_cast<size_t>(menu_bar->FindMenu("Help")));
  OpenMenus(Frame(), 3);
  ASSERT_EQ(menu_bar->GetMenuCount(), menus);
  EXPECT_EQ(menu_bar->GetMenuLabel(menus - 1), "&Help");
  EXPECT_EQ(Labels(menu_bar->GetMenu(menus - 1)), std::vector<wxString>{"Ti&p of the Day..."});
}

}  // namespace
}  // namespace vaskel::testing
