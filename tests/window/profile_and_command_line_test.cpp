// The profile across starts, the recent-file list and the command-line flags.
#include <wx/fileconf.h>
#ifdef _WIN32
#include <wx/msw/regconf.h>
#include <wx/msw/registry.h>
#endif
#include <wx/frame.h>
#include <wx/menu.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/command_line.h"
#include "app/profile.h"
#include "app/recent_file_list.h"
#include "app/window_layout.h"
#include "catalogue/icon_bitmap_cache.h"
#include "catalogue/system_image_list.h"
#include "res/resource_ids.h"
#include "tests/window/window_test_support.h"

namespace vaskel::testing {
namespace {

using namespace res;

TEST(CommandLineTest, FlagsInAnyCaseAndTheFirstPlainArgument) {
  const CommandLineInfo none = ParseCommandLine({});
  EXPECT_EQ(none.shell_command, CommandLineInfo::ShellCommand::kFileNew);
  EXPECT_TRUE(none.show_splash);

  const CommandLineInfo file = ParseCommandLine({"a.chm", "b.chm", "-nonsense"});
  EXPECT_EQ(file.shell_command, CommandLineInfo::ShellCommand::kFileOpen);
  EXPECT_EQ(file.file_name, "a.chm");
  EXPECT_TRUE(file.show_splash);

  for (const char* flag : {"-Embedding", "-EMBEDDING", "-automation", "-AutoMation"}) {
    const CommandLineInfo info = ParseCommandLine({flag, "x.chm"});
    EXPECT_FALSE(info.show_splash) << flag;
    EXPECT_EQ(info.file_name, "x.chm") << flag;
  }
  for (const char* flag : {"-Unregister", "-unregserver", "-UNREGISTER"}) {
    EXPECT_EQ(ParseCommandLine({"x.chm", flag}).shell_command,
              CommandLineInfo::ShellCommand::kUnregister)
        << flag;
  }
}

TEST(CommandLineTest, SlashStartsAFlagOnlyWhereItStartsNoPath) {
  const CommandLineInfo linux_like = ParseCommandLine({"/Embedding"}, false);
  EXPECT_TRUE(linux_like.show_splash);
  EXPECT_EQ(linux_like.file_name, "/Embedding");
  const CommandLineInfo windows_like = ParseCommandLine({"/Embedding", "/help/a.chm"}, true);
  EXPECT_FALSE(windows_like.show_splash);
  EXPECT_EQ(windows_like.file_name, "");
}

TEST(RecentFileLabelTest, LongPathsKeepTheirStartAndAsMuchOfTheEndAsFits) {
  EXPECT_EQ(AbbreviatePath("/short/a.chm", 30), "/short/a.chm");
  EXPECT_EQ(AbbreviatePath("/home/someone/documents/manuals/guide.chm", 30),
            "/.../manuals/guide.chm");
  EXPECT_EQ(AbbreviatePath("C:\\x/y/z/very/long/folder/name/file.chm", 30).size() <= 30, true);
  EXPECT_EQ(AbbreviatePath("/a/an-extremely-long-file-name-for-a-help-file.chm", 30),
            "an-extremely-long-file-name-for-a-help-file.chm");
  EXPECT_EQ(AbbreviatePath("docs/one/two/three/four/five/six.chm", 30),
            "docs/.../four/five/six.chm");
}

class ProfileTest : public WindowTest {
 protected:
#ifdef _WIN32
  // What another reader of the registry finds under `key`.
  std::string ProfileEntry(const wxString& key) const {
    wxRegConfig profile(kProfileApplication, kProfileVendor);
    // Numbers are stored as numbers (REG_DWORD), the rest as text.
    long number = 0;
    if (profile.GetEntryType(key) == wxConfigBase::Type_Integer && profile.Read(key, &number)) {
      return std::to_string(number);
    }
    return profile.Read(key, wxString()).utf8_string();
  }
  static bool ProfileStored() {
    return wxRegKey(wxRegKey::HKCU, "Software\\Local AppWizard-Generated Applications\\Vaskel")
        .Exists();
  }
#else
  // What another reader of the file finds under `key`.
  std::string ProfileEntry(const wxString& key) const {
    wxFileConfig profile(wxString(), wxString(), ProfileFilePath(), wxString(),
                         wxCONFIG_USE_LOCAL_FILE);
    return profile.Read(key, wxString()).utf8_string();
  }
  static bool ProfileStored() { return std::filesystem::exists(ProfileFilePath().utf8_string()); }
#endif
};

TEST_F(ProfileTest, RecentFileListIsKeptAcrossTwoStarts) {
  const std::string first = WriteHelpFile("first.chm", TwelveStreams());
  const std::string second = WriteHelpFile("second.chm", {Stream("/b.txt")});
  ASSERT_TRUE(Start());
  Open(first);
  Open(second);
  Stop();

  EXPECT_EQ(ProfileEntry("/Recent File List/File1"), second);
  EXPECT_EQ(ProfileEntry("/Recent File List/File2"), first);
  EXPECT_EQ(ProfileEntry("/Recent File List/File3"), "");
#ifdef _WIN32
  wxString stored;
  EXPECT_TRUE(wxRegKey(wxRegKey::HKCU,
                       "Software\\Local AppWizard-Generated Applications\\Vaskel\\Recent File List")
                  .QueryValue("File1", stored));
  EXPECT_EQ(stored.utf8_string(), second);
#endif

  ASSERT_TRUE(Start());
  wxMenuBar* menu_bar = Frame()->GetMenuBar();
  ASSERT_NE(menu_bar->FindItem(WxId(ID_FILE_MRU_FILE1)), nullptr);
  EXPECT_TRUE(menu_bar->IsEnabled(WxId(ID_FILE_MRU_FILE1)));
  EXPECT_TRUE(menu_bar->GetLabel(WxId(ID_FILE_MRU_FILE1)).StartsWith("&1 "));
  EXPECT_TRUE(menu_bar->GetLabel(WxId(ID_FILE_MRU_FILE1 + 1)).EndsWith("first.chm"));
  EXPECT_EQ(menu_bar->FindItem(WxId(ID_FILE_MRU_FILE1 + 2)), nullptr);
  // The entries stand where the placeholder stood, between the separators.
  wxMenu* file_menu = menu_bar->GetMenu(0);
  EXPECT_TRUE(file_menu->FindItemByPosition(3)->IsSeparator());
  EXPECT_EQ(file_menu->FindItemByPosition(4)->GetId(), WxId(ID_FILE_MRU_FILE1));
  EXPECT_TRUE(file_menu->FindItemByPosition(6)->IsSeparator());

  Command(ID_FILE_MRU_FILE1 + 1);
  EXPECT_EQ(Title(), "first.chm - Vaskel");
  EXPECT_EQ(Rows().GetItemCount(), 12);
}

#ifndef _WIN32  // the file and how it is replaced
TEST_F(ProfileTest, WritesReachTheFileAtOnceAndKeepOtherInstancesKeys) {
  ASSERT_TRUE(Start({WriteHelpFile("a.chm", {Stream("/a.txt")})}));
  const std::filesystem::path path = ProfileFilePath().utf8_string();
  EXPECT_NE(ProfileEntry("/Recent File List/File1"), "");  // written by the open itself

  // Another instance, started before this one wrote anything.
  std::unique_ptr<wxConfigBase> other = OpenProfile();
  other->Write("/Tip/StartUp", 1L);
  std::ifstream reader_of_the_old_file(path);
  App().Profile()->Write("/Settings/X", 25L);
  EXPECT_EQ(ProfileEntry("/Tip/StartUp"), "1");
  EXPECT_EQ(ProfileEntry("/Settings/X"), "25");
  // The write put a new file in place instead of rewriting the old one, which stays whole.
  const std::string old_text{std::istreambuf_iterator<char>(reader_of_the_old_file), {}};
  EXPECT_NE(old_text.find("StartUp=1"), std::string::npos) << old_text;
  EXPECT_EQ(old_text.find("X="), std::string::npos) << old_text;

  // Neither exit writes back what it read before the other's write.
  other.reset();
  Stop();
  EXPECT_EQ(ProfileEntry("/Tip/StartUp"), "1");
  EXPECT_EQ(ProfileEntry("/Settings/X"), "25");
  EXPECT_NE(ProfileEntry("/Recent File List/File1"), "");
  // No temporary file is left beside the profile.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path.parent_path()),
                          std::filesystem::directory_iterator()),
            1);
}

#endif

TEST_F(ProfileTest, TwoInstancesKeepEachOthersRecentFilesAndColumnWidths) {
  const std::string a = WriteHelpFile("a.chm", {Stream("/a.txt")});
  ASSERT_TRUE(Start({a}));
  // Instance B, started while A shows a.chm, opens b.chm.
  const std::unique_ptr<wxConfigBase> other = OpenProfile();
  RecentFileList other_list;
  other_list.Load(*other);
  other_list.KeepIn(other.get());
  wxFrame* other_frame = new wxFrame(nullptr, wxID_ANY, "B", wxPoint(10, 10), wxSize(400, 300));
  CatalogueList other_rows;
  SystemImageList other_images;
  IconBitmapCache other_icons(other_images);
  CatalogueRowsControl* other_columns =
      CreateCatalogueRowsControl(other_frame, other_rows, other_icons);
  for (int column = 0; column < List()->ColumnCount(); ++column) {
    other_columns->AddColumn("c", false, 77);
  }
  WindowLayout other_layout;
  other_layout.Restore(*other, other_frame, other_columns);
  const std::string b = WriteHelpFile("b.chm", {Stream("/b.txt")});
  other_list.AddFileToHistory(wxString::FromUTF8(b));

  // A opens two more; B's file stays, the newest first, four at most.
  const std::string c = WriteHelpFile("c.chm", {Stream("/c.txt")});
  const std::string d = WriteHelpFile("d.chm", {Stream("/d.txt")});
  Open(c);
  Open(d);
  EXPECT_EQ(ProfileEntry("/Recent File List/File1"), d);
  EXPECT_EQ(ProfileEntry("/Recent File List/File2"), c);
  EXPECT_EQ(ProfileEntry("/Recent File List/File3"), b);
  EXPECT_EQ(ProfileEntry("/Recent File List/File4"), a);
  EXPECT_EQ(App().DocManager()->GetHistoryFilesCount(), 4u);
  other_list.RemoveFileFromHistory(0);  // B's own entry, b.chm
  EXPECT_EQ(ProfileEntry("/Recent File List/File3"), a);
  EXPECT_EQ(ProfileEntry("/Recent File List/File4"), "");

  // A widens a column and closes; B closes later with its columns and window unchanged.
  List()->ResizeColumn(kPathColumn, 321);
  Stop();
  EXPECT_EQ(ProfileEntry("/Settings/ColumnWidth3"), "321");
  other_layout.Save(*other, other_frame, other_columns);
  EXPECT_EQ(ProfileEntry("/Settings/ColumnWidth3"), "321");
  EXPECT_EQ(ProfileEntry("/Settings/WindowWidth"), "");
  // What B did change is stored.
  other_columns->ResizeColumn(0, 99);
  other_layout.Save(*other, other_frame, other_columns);
  EXPECT_EQ(ProfileEntry("/Settings/ColumnWidth0"), "99");
  EXPECT_EQ(ProfileEntry("/Settings/ColumnWidth3"), "321");
  other_columns->Window().Destroy();  // at once, before the rows it shows
  other_frame->Destroy();
}

#ifndef _WIN32  // a file and a link
TEST_F(ProfileTest, ProfileThatIsALinkStaysOneAndBytesNoChangeTouchesStay) {
  const std::filesystem::path profile = ProfileFilePath().utf8_string();
  const std::filesystem::path target = folder_ / "elsewhere" / "kept.conf";
  std::filesystem::create_directories(profile.parent_path());
  std::filesystem::create_directories(target.parent_path());
  // Latin-1 bytes, not UTF-8, in a value and in a comment.
  const std::string old_text =
      "; caf\xE9\n[Recent File List]\nFile1=/x/\xE9t\xE9.chm\n[Settings]\nX=7\n";
  std::ofstream(target, std::ios::binary) << old_text;
  std::filesystem::create_symlink(target, profile);

  {
    const std::unique_ptr<wxConfigBase> written = OpenProfile();
    EXPECT_TRUE(written->Write("/Settings/Y", 8L));
    EXPECT_TRUE(written->Write("/Settings/Name", wxString::FromUTF8("\xC3\xA9")));
  }
  EXPECT_TRUE(std::filesystem::is_symlink(profile));
  std::ifstream reader(target, std::ios::binary);
  const std::string new_text{std::istreambuf_iterator<char>(reader), {}};
  EXPECT_EQ(new_text.substr(0, old_text.size()), old_text);
  EXPECT_NE(new_text.find("Y=8\n"), std::string::npos) << new_text;
  EXPECT_NE(new_text.find("Name=\xC3\xA9\n"), std::string::npos) << new_text;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.parent_path()),
                          std::filesystem::directory_iterator()),
            1);
  // A link with no file behind it yet gets one.
  std::filesystem::remove(target);
  OpenProfile()->Write("/Settings/X", 9L);
  EXPECT_TRUE(std::filesystem::is_symlink(profile));
  EXPECT_EQ(ProfileEntry("/Settings/X"), "9");
}

#endif

TEST_F(ProfileTest, RecentFileThatCannotBeOpenedLeavesTheList) {
  const std::string doomed = WriteHelpFile("doomed.chm", {Stream("/a.txt")});
  ASSERT_TRUE(Start({doomed}));
  Stop();
  std::filesystem::remove(doomed);
  ASSERT_TRUE(Start());
  Command(ID_FILE_MRU_FILE1);
  EXPECT_EQ(App().DocManager()->GetHistoryFilesCount(), 0u);
  EXPECT_FALSE(Frame()->GetMenuBar()->IsEnabled(WxId(ID_FILE_MRU_FILE1)));
}

TEST_F(ProfileTest, UnregisterRemovesTheProfileAndEnds) {
  const std::string file = WriteHelpFile("kept.chm", {Stream("/a.txt")});
  ASSERT_TRUE(Start({file}));
  Stop();
  ASSERT_TRUE(ProfileStored());

  EXPECT_FALSE(Start({"-UnRegServer"}));
  EXPECT_EQ(App().MainFrame(), nullptr);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text,
            "System registry entries have been removed and the INI file (if any) was deleted.");
  Stop();
  EXPECT_FALSE(ProfileStored());
#ifdef _WIN32
  EXPECT_FALSE(wxRegKey(wxRegKey::HKCU, wxString("Software\\") + kProfileVendor).Exists());
#else
  EXPECT_FALSE(std::filesystem::exists(folder_ / "config" / kProfileVendor));
#endif
}

}  // namespace
}  // namespace vaskel::testing
