// The Unpack dialog and the unpack it runs: presets, the folder text's checks, the trees
// written, cancel between files, a file error, the report at the end, and the progress
// window's part in it.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

#include "res/resource_ids.h"
#include "storage/entry_files.h"
#include "storage/extraction_job.h"
#include "storage/help_project.h"
#include "storage/path_limit.h"
#include "tests/window/unpack_test_support.h"
#include "unpack/missing_folder.h"
#include "unpack/progress_window.h"
#include "unpack/unpack_rows.h"

namespace vaskel::testing {
namespace {

using namespace res;

TEST(UnpackFolderTextTest, OneTrailingSeparatorGoesAndNothingElseChanges) {
  EXPECT_EQ(NormalizeUnpackFolder(""), std::nullopt);
  EXPECT_EQ(NormalizeUnpackFolder("/out/"), "/out");
  EXPECT_EQ(NormalizeUnpackFolder("/out//"), "/out/");
  EXPECT_EQ(NormalizeUnpackFolder("/out"), "/out");
  EXPECT_EQ(NormalizeUnpackFolder("/"), "/");      // the root stays the root
  EXPECT_EQ(NormalizeUnpackFolder("   "), "   ");  // blanks are a folder name, not empty
  EXPECT_EQ(NormalizeUnpackFolder(wxString::FromUTF8("/ü/")), "/\xC3\xBC");
  EXPECT_TRUE(FolderRefusal(std::string(kPlatformPathLimit - 1, 'a')).empty());
  EXPECT_FALSE(FolderRefusal(std::string(kPlatformPathLimit, 'a')).empty());
#ifdef _WIN32
  EXPECT_EQ(NormalizeUnpackFolder("C:\\out\\"), "C:\\out");
  EXPECT_EQ(NormalizeUnpackFolder("C:/out/"), "C:/out");
  EXPECT_EQ(NormalizeUnpackFolder("C:\\"), "C:\\");  // "C:" would be the drive's current folder
  EXPECT_EQ(NormalizeUnpackFolder("C:/"), "C:/");
  EXPECT_EQ(NormalizeUnpackFolder("\\"), "\\");
  // The limit counts UTF-16 units, as the system does: each 'ü' is two bytes but one unit.
  std::string umlauts;
  for (std::size_t unit = 0; unit + 1 < kPlatformPathLimit; ++unit) umlauts += "\xC3\xBC";
  EXPECT_TRUE(FolderRefusal(umlauts).empty());
  EXPECT_FALSE(FolderRefusal(umlauts + "a").empty());
#endif
}

wxWindow* FindShownProgressWindow() {
  for (wxWindow* window : wxTopLevelWindows) {
    if (auto* frame = dynamic_cast<wxFrame*>(window);
        frame != nullptr && frame->GetTitle().StartsWith("Unpacking...") && frame->IsShown()) {
      return frame;
    }
  }
  return nullptr;
}

void Click(wxWindow* dialog, int id) {
  wxWindow* control = dialog->FindWindow(id);
  ASSERT_NE(control, nullptr) << id;
  wxCommandEvent click(wxEVT_BUTTON, id);
  click.SetEventObject(control);
  control->ProcessWindowEvent(click);
}

void ChooseRadio(wxWindow* dialog, int id) {
  auto* radio = dynamic_cast<wxRadioButton*>(dialog->FindWindow(id));
  ASSERT_NE(radio, nullptr);
  radio->SetValue(true);
  wxCommandEvent click(wxEVT_RADIOBUTTON, id);
  click.SetEventObject(radio);
  radio->ProcessWindowEvent(click);
}

class UnpackDialogTest : public UnpackWindowTest {
 protected:
  void SetUp() override {
    UnpackWindowTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(Start(
        {WriteHelpFile("six.chm", NamedStreams({"/#SYSTEM", "/index.html", "/a/one.htm",
                                                "/a/b/two.htm", "/c/three.txt", "/four.css"}))}));
    ASSERT_EQ(Rows().GetItemCount(), 5);
    out_ = folder_ / "out";
    std::filesystem::create_directory(out_);
  }

  // Opens the dialog as the Unpack command does; `drive` runs in place of its modal loop.
  void UnpackCommand(const std::function<void(UnpackDialog&)>& drive) {
    UnpackDialogHook hook([&](UnpackDialog& dialog) {
      dialog.InitDialog();
      drive(dialog);
      return dialog.GetReturnCode() != 0 ? dialog.GetReturnCode() : wxID_CANCEL;
    });
    Command(ID_FILE_UNPACK);
    EXPECT_EQ(hook.shown, 1);
  }
  void UnpackTo(UnpackDialog& dialog, const std::string& folder) {
    dialog.FolderControl()->ChangeValue(wxString::FromUTF8(folder));
    Click(&dialog, wxID_OK);
  }
  UnpackJob Job(UnpackChoice files, bool use_path) {
    UnpackJob job;
    job.rows = &Rows();
    job.engine = &Doc()->Engine();
    job.choices = {out_.string(), files, use_path};
    return job;
  }
  std::filesystem::path out_;
};

TEST_F(UnpackDialogTest, PresetsFollowTheSelectionAndUsePathIsAlwaysChecked) {
  const auto expect_presets = [&](int checked_radio) {
    UnpackCommand([&](UnpackDialog& dialog) {
      EXPECT_EQ(dialog.FileChoice(), checked_radio);
      for (const int radio : {IDC_UNPACK_SELECTED, IDC_UNPACK_ALL}) {
        EXPECT_EQ(dynamic_cast<wxRadioButton*>(dialog.FindWindow(radio))->GetValue(),
                  radio == checked_radio);
      }
      EXPECT_TRUE(dialog.UsePathBox()->IsChecked());
      EXPECT_EQ(dialog.FolderControl()->GetValue(), "");
      dialog.UsePathBox()->SetValue(false);
      dialog.FolderControl()->ChangeValue("forgotten at the next opening");
    });
  };
  expect_presets(IDC_UNPACK_ALL);
  Select({1});
  expect_presets(IDC_UNPACK_SELECTED);
  Select({0, 3});
  expect_presets(IDC_UNPACK_SELECTED);
  EXPECT_TRUE(FilesBelow(out_).empty());
}

TEST_F(UnpackDialogTest, FolderBrowserReplacesTheTextOnlyWhenAFolderIsChosen) {
  UnpackCommand([&](UnpackDialog& dialog) {
    dialog.FolderControl()->ChangeValue("typed");
    chosen_folder_ = std::nullopt;
    Click(&dialog, IDC_UNPACK_BROWSE);
    EXPECT_EQ(dialog.FolderControl()->GetValue(), "typed");
    chosen_folder_ = wxString::FromUTF8(out_.string());
    Click(&dialog, IDC_UNPACK_BROWSE);
    EXPECT_EQ(dialog.FolderControl()->GetValue(), wxString::FromUTF8(out_.string()));
  });
  ASSERT_EQ(chooser_titles_.size(), 2u);
  EXPECT_EQ(chooser_titles_[0], "Please select the output folder:");
}

TEST_F(UnpackDialogTest, EmptyOrOverlongFolderIsRefusedWithTheDialogStillOpen) {
  // The real modal loop: the checks run inside it and the dialog stays up.
  bool ran = false;
  wxTheApp->CallAfter([&] {
    UnpackDialog* dialog = nullptr;
    for (wxWindow* window : wxTopLevelWindows) {
      if (auto* found = dynamic_cast<UnpackDialog*>(window)) dialog = found;
    }
    ASSERT_NE(dialog, nullptr);
    ran = true;
    Click(dialog, wxID_OK);
    EXPECT_TRUE(dialog->IsModal());
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_FALSE(dialog->Choices());
    dialog->FolderControl()->ChangeValue(wxString('d', kPlatformPathLimit));
    Click(dialog, wxID_OK);
    EXPECT_TRUE(dialog->IsModal());
    EXPECT_EQ(FindShownProgressWindow(), nullptr);
    Click(dialog, wxID_CANCEL);
  });
  Command(ID_FILE_UNPACK);
  EXPECT_TRUE(ran);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0].text, "\"Unpack to\" filed can not be NULL");
  EXPECT_EQ(messages_[0].icon, MessageIcon::kExclamation);
  EXPECT_NE(messages_[1].text.find("at most " + std::to_string(kPlatformPathLimit - 1)),
            std::string::npos)
      << messages_[1].text;
  EXPECT_TRUE(FilesBelow(out_).empty());
}

TEST_F(UnpackDialogTest, MissingFolderIsCreatedOnYesAndNoOrAFailureKeepsTheDialog) {
  std::vector<wxString> questions;
  bool answer = false;
  YesNoQuestion previous = SetYesNoQuestion([&](wxWindow*, const wxString& text) {
    questions.push_back(text);
    return answer;
  });
  const std::filesystem::path missing = out_ / "new" / "deeper";
  std::filesystem::create_directory(folder_ / "blocked");
  std::ofstream(folder_ / "blocked" / "file") << "in the way";
  bool ran = false;
  wxTheApp->CallAfter([&] {
    for (wxWindow* window : wxTopLevelWindows) {
      auto* dialog = dynamic_cast<UnpackDialog*>(window);
      if (dialog == nullptr) continue;
      ran = true;
      dialog->FolderControl()->ChangeValue(wxString::FromUTF8(missing.string()));
      Click(dialog, wxID_OK);  // No
      EXPECT_TRUE(dialog->IsModal());
      EXPECT_EQ(dialog->FolderControl()->GetValue(), wxString::FromUTF8(missing.string()));
      EXPECT_FALSE(std::filesystem::exists(out_ / "new"));
      answer = true;
      dialog->FolderControl()->ChangeValue(
          wxString::FromUTF8((folder_ / "blocked" / "file" / "sub").string()));
      Click(dialog, wxID_OK);  // Yes, but a file stands where a folder must go
      EXPECT_TRUE(dialog->IsModal());
      dialog->FolderControl()->ChangeValue(wxString::FromUTF8(missing.string()));
      Click(dialog, wxID_OK);  // Yes
    }
  });
  Command(ID_FILE_UNPACK);
  SetYesNoQuestion(std::move(previous));
  EXPECT_TRUE(ran);
  ASSERT_EQ(questions.size(), 3u);
  EXPECT_EQ(questions[0],
            "The folder " + wxString::FromUTF8(missing.string()) + " does not exist. Create it?");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].icon, MessageIcon::kStop);
  EXPECT_NE(messages_[0].text.find("Not a directory"), std::string::npos) << messages_[0].text;
  EXPECT_EQ(FilesBelow(missing).size(), 5u);
}

TEST_F(UnpackDialogTest, AllRowsWithUsePathRecreateTheInternalFolders) {
  // The real modal loop, ended before the rows are written.
  const auto dialog_shown = [] {
    return std::any_of(wxTopLevelWindows.begin(), wxTopLevelWindows.end(), [](wxWindow* window) {
      return dynamic_cast<UnpackDialog*>(window) != nullptr && window->IsShown();
    });
  };
  bool dialog_ended_first = false;
  wxTheApp->CallAfter([&] {
    for (wxWindow* window : wxTopLevelWindows) {
      auto* dialog = dynamic_cast<UnpackDialog*>(window);
      if (dialog == nullptr) continue;
      dialog->UsePathBox()->SetValue(true);
      dialog->FolderControl()->ChangeValue(wxString::FromUTF8(out_.string() + "/"));
      // Runs once the dialog's loop or the unpack lets events through.
      wxTheApp->CallAfter([&] { dialog_ended_first = !dialog_shown(); });
      Click(dialog, wxID_OK);
    }
  });
  Command(ID_FILE_UNPACK);
  EXPECT_TRUE(dialog_ended_first);
  EXPECT_TRUE(Frame()->IsEnabled());
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(FilesBelow(out_), (std::vector<std::string>{"a/b/two.htm", "a/one.htm", "c/three.txt",
                                                        "four.css", "index.html"}));
  EXPECT_EQ(ReadFile(out_ / "a/b/two.htm"), "bytes of /a/b/two.htm");
  EXPECT_EQ(FindShownProgressWindow(), nullptr);
}

TEST_F(UnpackDialogTest, SelectedRowsOrAllRowsAsTheRadioButtonsSayFlatWithoutUsePath) {
  Select({RowNamed("one.htm", "a/"), RowNamed("four.css")});
  UnpackCommand([&](UnpackDialog& dialog) { UnpackTo(dialog, out_.string()); });
  EXPECT_EQ(FilesBelow(out_), (std::vector<std::string>{"a/one.htm", "four.css"}));

  // Switched to "All files" although rows are selected, and without "Use Path": every file
  // straight into the folder.
  std::filesystem::remove_all(out_);
  std::filesystem::create_directory(out_);
  UnpackCommand([&](UnpackDialog& dialog) {
    ChooseRadio(&dialog, IDC_UNPACK_ALL);
    dialog.UsePathBox()->SetValue(false);
    UnpackTo(dialog, out_.string());
    EXPECT_FALSE(dialog.IsShown());
    ASSERT_TRUE(dialog.Choices());
    EXPECT_EQ(dialog.Choices()->folder, out_.string());
    EXPECT_EQ(dialog.Choices()->files, UnpackChoice::kAllFiles);
    EXPECT_FALSE(dialog.Choices()->use_path);
    EXPECT_TRUE(FilesBelow(out_).empty());  // written by the command, once the dialog is done
  });
  EXPECT_EQ(FilesBelow(out_), (std::vector<std::string>{"four.css", "index.html", "one.htm",
                                                        "three.txt", "two.htm"}));

  // "Selected files" with nothing selected: the window opens and closes, nothing is written.
  std::filesystem::remove_all(out_);
  std::filesystem::create_directory(out_);
  Select({});
  UnpackCommand([&](UnpackDialog& dialog) {
    ChooseRadio(&dialog, IDC_UNPACK_SELECTED);
    UnpackTo(dialog, out_.string());
  });
  EXPECT_TRUE(FilesBelow(out_).empty());
  EXPECT_TRUE(messages_.empty());
}

wxString ShownStatus() {
  wxWindow* progress = FindShownProgressWindow();
  if (progress == nullptr) return "none";
  return progress->FindWindow(ProgressWindow::kStatusTextId)->GetLabel();
}

TEST_F(UnpackDialogTest, WhileAFileIsWrittenTheWindowNamesItAndShowsTheShareDone) {
  Select({0, 2, 4});
  std::vector<wxString> seen;
  GatedSink* sink_seen = nullptr;
  GatedSink sink([](std::size_t) { return true; },
                 [&](std::size_t place) {
                   // The interface thread runs while the job's thread is inside a file.
                   const std::size_t entry = sink_seen->Begun()[place];
                   const int row = entry == 0 ? 0 : entry == 1 ? 2 : 4;
                   const wxString expected =
                       "Unpacking:" +
                       wxString::FromUTF8(std::string(Rows().GetItemText(row, kNameColumn)));
                   if (ShownStatus() != expected) return false;
                   EXPECT_FALSE(Frame()->IsEnabled());  // the rows cannot change meanwhile
                   seen.push_back(FindShownProgressWindow()->GetLabel());
                   return true;
                 });
  sink_seen = &sink;
  UnpackJob job = Job(UnpackChoice::kSelectedFiles, true);
  job.sink = &sink;
  UnpackRows(job);
  EXPECT_EQ(sink.Begun().size(), 3u);
  EXPECT_EQ(seen,
            (std::vector<wxString>{"Unpacking...", "Unpacking... [33%]", "Unpacking... [66%]"}));
  EXPECT_TRUE(Frame()->IsEnabled());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(UnpackDialogTest, EscapeStopsAfterTheFileInHandAndKeepsTheFilesBefore) {
  UnpackJob job = Job(UnpackChoice::kAllFiles, false);
  std::vector<JobEntry> entries;
  for (int row = 0; row < Rows().GetItemCount(); ++row) {
    entries.push_back({ComPtr<IStorage>::Share(job.engine->RowStorage(Rows(), row)), "",
                       std::string(Rows().GetItemText(row, kNameColumn))});
  }
  EntryFiles files(entries, out_.string(), false);
  // Escape typed into the list while the second file is written.
  GatedSink sink([](std::size_t place) { return place == 1; },
                 [this, typed = false](std::size_t) mutable {
                   if (!std::exchange(typed, true)) {
                     wxKeyEvent escape(wxEVT_CHAR);
                     escape.m_keyCode = WXK_ESCAPE;
                     escape.SetEventObject(&List()->Window());
                     List()->Window().GetEventHandler()->QueueEvent(escape.Clone());
                   }
                   return FindShownProgressWindow() == nullptr;  // cancelling hides it
                 },
                 &files);
  job.sink = &sink;
  UnpackRows(job);
  EXPECT_EQ(sink.Begun().size(), 2u);
  EXPECT_EQ(FilesBelow(out_).size(), 2u);  // both whole, and nothing after them
  EXPECT_TRUE(messages_.empty());
}

TEST_F(UnpackDialogTest, FileErrorEndsTheUnpackAtItsFileAndKeepsTheFilesBefore) {
  // The order the files are written in.
  GatedSink order([](std::size_t) { return false; }, [](std::size_t) { return true; });
  UnpackJob job = Job(UnpackChoice::kAllFiles, false);
  job.sink = &order;
  UnpackRows(job);
  std::vector<std::string> names;
  for (const std::size_t entry : order.Begun())
    names.emplace_back(Rows().GetItemText(static_cast<int>(entry), kNameColumn));
  ASSERT_EQ(names.size(), 5u);

  // The third file cannot be made: a folder of that name is in the way.
  std::filesystem::create_directory(out_ / names[2]);
  UnpackRows(Job(UnpackChoice::kAllFiles, false));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].icon, MessageIcon::kStop);
  EXPECT_NE(messages_[0].text.find((out_ / names[2]).string()), std::string::npos)
      << messages_[0].text;
  EXPECT_EQ(FindShownProgressWindow(), nullptr);  // gone before the message
  std::vector<std::string> written{names[0], names[1]};
  std::sort(written.begin(), written.end());
  EXPECT_EQ(FilesBelow(out_), written);  // the two files before it
}

TEST_F(UnpackDialogTest, WithoutUsePathFilesWrittenOverAreToldAndTheLastOneStays) {
  Open(WriteHelpFile("same.chm",
                     NamedStreams({"/a/index.html", "/b/index.html", "/c/index.html", "/x.css"})));
  ASSERT_EQ(Rows().GetItemCount(), 4);
  UnpackRows(Job(UnpackChoice::kAllFiles, false));
  EXPECT_EQ(FilesBelow(out_), (std::vector<std::string>{"index.html", "x.css"}));
  EXPECT_EQ(ReadFile(out_ / "index.html"), "bytes of /c/index.html");
  ASSERT_EQ(messages_.size(), 1u);
  // Named as the Path column shows them, with the platform's separator.
  const std::string a = std::string("a") + kPathSeparator + "index.html";
  const std::string b = std::string("b") + kPathSeparator + "index.html";
  EXPECT_EQ(messages_[0].text,
            "Unpacked without Use Path: 2 files were written over by a later file of the same "
            "name: " +
                a + ", " + b + ".");
  EXPECT_EQ(FindShownProgressWindow(), nullptr);  // gone before the message

  // With the internal folders nothing collides and nothing is told.
  messages_.clear();
  UnpackRows(Job(UnpackChoice::kAllFiles, true));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(UnpackDialogTest, DamagedFileIsLeftOutAndNamedAtTheEndAndTheOthersAreWritten) {
  std::vector<std::uint8_t> bytes =
      chmwriter::WriteChm({{"/packed.txt", std::vector<std::uint8_t>(100, 'p'), 1},
                           {"/stored.txt", std::vector<std::uint8_t>(100, 's'), 0},
                           {"/later.txt", std::vector<std::uint8_t>(100, 'l'), 0}});
  // Section 1 unreadable: a reset interval of 0 in its ControlData.
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::size_t control_data = text.find("LZXC") - 4;
  for (int i = 0; i < 4; ++i) bytes.at(control_data + 0x0C + i) = 0;
  Open(WriteFile("broken.chm", std::string(bytes.begin(), bytes.end())));
  ASSERT_EQ(Rows().GetItemCount(), 3);
  UnpackRows(Job(UnpackChoice::kAllFiles, true));
  EXPECT_EQ(FilesBelow(out_), (std::vector<std::string>{"later.txt", "stored.txt"}));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].icon, MessageIcon::kExclamation);
  EXPECT_TRUE(messages_[0].text.starts_with(
      "1 file is damaged in the help file and left out; the others were written.\n"
      "packed.txt: damaged help file: "))
      << messages_[0].text;
  EXPECT_NE(messages_[0].text.find("bad reset interval 0"), std::string::npos) << messages_[0].text;
}

TEST_F(UnpackDialogTest, UnpackAsProjectWritesEveryRowWithItsFoldersAndTheProject) {
  // #SYSTEM version 3 with a title, then a record header cut off: a damaged record to tell.
  const std::string title = "Guide Title";
  std::vector<std::uint8_t> system{
      3, 0, 0, 0, kTitleCode, 0, static_cast<std::uint8_t>(title.size() + 1), 0};
  system.insert(system.end(), title.begin(), title.end());
  system.insert(system.end(), {0, 9, 0});
  std::vector<chmwriter::Entry> streams = NamedStreams({"/index.html", "/a/one.htm"});
  streams.push_back({"/#SYSTEM", system, 0});
  Open(WriteHelpFile("guide.chm", streams));
  ASSERT_EQ(Rows().GetItemCount(), 2);
  Select({RowNamed("index.html")});  // neither the selection nor the find box limits a project
  Rows().SetFilter("index");
  UnpackDialogHook hook([&](UnpackDialog& dialog) {
    dialog.InitDialog();
    EXPECT_TRUE(dialog.IsProject());
    EXPECT_FALSE(dialog.FindWindow(IDC_UNPACK_SELECTED)->IsShown());
    EXPECT_FALSE(dialog.UsePathBox()->IsShown());
    dialog.UsePathBox()->SetValue(false);  // hidden, and not asked
    UnpackTo(dialog, out_.string());
    return wxID_OK;
  });
  Command(ID_FILE_UNPACK_PROJECT);
  EXPECT_EQ(hook.shown, 1);
  EXPECT_EQ(FilesBelow(out_), (std::vector<std::string>{"a/one.htm", "guide.hhp", "index.html"}));
  EXPECT_EQ(Rows().GetItemCount(), 1);
  EXPECT_NE(ReadFile(out_ / "guide.hhp").find("a/one.htm"), std::string::npos);
  EXPECT_NE(ReadFile(out_ / "guide.hhp").find("\nTitle=Guide Title\n"), std::string::npos)
      << ReadFile(out_ / "guide.hhp");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].icon, MessageIcon::kExclamation);
  EXPECT_TRUE(messages_[0].text.starts_with(
      "1 record is damaged in the help file and left out of " + (out_ / "guide.hhp").string()))
      << messages_[0].text;
  EXPECT_NE(messages_[0].text.find("header is cut off"), std::string::npos) << messages_[0].text;
}

}  // namespace
}  // namespace vaskel::testing
