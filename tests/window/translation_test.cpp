// The window in other languages: in the pseudo-language every text a person reads comes from
// the catalogue (marked "[...]") and fits its control; under LANGUAGE=ja the menus are
// Japanese.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include <fstream>
#include <map>
#include <optional>

#include "app/about_dialog.h"
#include "app/shell_commands.h"
#include "app/tip_dialog.h"
#include "app/translations.h"
#include "res/resource_ids.h"
#include "res/window_resources.h"
#include "tests/window/unpack_test_support.h"
#include "unpack/missing_folder.h"
#include "unpack/progress_window.h"
#include "unpack/unpack_rows.h"

namespace vaskel::testing {
namespace {

using namespace res;

constexpr char kPseudoLanguage[] = "qaa";  // made from the template by the build

// What is left of `text` once the data it shows (names, folders, addresses) and the
// pseudo-language's bracketed texts are taken out: a letter there escaped the catalogue.
std::string Unmarked(wxString text, const std::vector<wxString>& data = {}) {
  for (const wxString& shown : data) text.Replace(shown, "");
  std::string rest;
  int depth = 0;
  for (const char c : text.utf8_string()) {
    if (c == '[') {
      ++depth;
    } else if (c == ']') {
      depth = std::max(0, depth - 1);
    } else if (depth == 0 && std::isalpha(static_cast<unsigned char>(c))) {
      rest += c;
    }
  }
  return rest;
}

#define EXPECT_MARKED(text, ...) \
  EXPECT_EQ(Unmarked(text, ##__VA_ARGS__), "") << "not from the catalogue: " << (text)

bool IsLabelled(wxWindow* control) {
  return dynamic_cast<wxButton*>(control) != nullptr ||
         dynamic_cast<wxCheckBox*>(control) != nullptr ||
         dynamic_cast<wxRadioButton*>(control) != nullptr ||
         dynamic_cast<wxStaticText*>(control) != nullptr ||
         dynamic_cast<wxStaticBox*>(control) != nullptr;
}

// Every shown label, button, check box and radio button of `window` is marked (when `data` is
// given: the pseudo-language) and fits; group boxes are marked. `exempt` names controls checked
// otherwise: text areas that wrap (or cut) their data.
void ExpectMarkedAndFitting(wxWindow& window, const std::optional<std::vector<wxString>>& data,
                            const std::vector<int>& exempt = {}) {
  if (data) {
    EXPECT_MARKED(window.GetLabel(), *data);
  }
  for (wxWindow* control : window.GetChildren()) {
    if (!control->IsShown() || !IsLabelled(control) || control->GetLabel().empty()) continue;
    if (std::find(exempt.begin(), exempt.end(), control->GetId()) != exempt.end()) continue;
    if (data) {
      EXPECT_MARKED(control->GetLabel(), *data);
    }
    if (dynamic_cast<wxStaticBox*>(control) != nullptr) continue;
    const wxSize best = control->GetBestSize();
    const wxSize size = control->GetSize();
    EXPECT_LE(best.x, size.x) << "cut: " << control->GetLabel();
    EXPECT_LE(best.y, size.y) << "cut: " << control->GetLabel();
  }
}

void ExpectMenuMarked(wxMenu& menu) {
  for (wxMenuItem* item : menu.GetMenuItems()) {
    if (item->IsSeparator()) continue;
    EXPECT_MARKED(item->GetItemLabelText());
    EXPECT_MARKED(item->GetHelp());
    if (wxMenu* sub = item->GetSubMenu()) ExpectMenuMarked(*sub);
  }
}

wxFrame* ShownFrameOtherThan(wxWindow* main_frame) {
  for (wxWindow* window : wxTopLevelWindows) {
    if (auto* frame = dynamic_cast<wxFrame*>(window);
        frame && frame != main_frame && frame->IsShown())
      return frame;
  }
  return nullptr;
}

// Back to English, the source, after each test.
class LanguageTest : public UnpackWindowTest {
 protected:
  void TearDown() override {
    if (!WindowSystemReady()) return;
    UnpackWindowTest::TearDown();
    UseLanguage("");
  }
};

class PseudoLanguageTest : public LanguageTest {
 protected:
  void SetUp() override {
    LanguageTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_EQ(ChooseLanguage({kPseudoLanguage}), kPseudoLanguage) << "the build makes it";
    UseLanguage(kPseudoLanguage);
  }
};

TEST_F(PseudoLanguageTest, MainFrameMenusToolbarStatusAndColumnsComeFromTheCatalogue) {
  ASSERT_TRUE(Start());
  wxMenuBar* menu_bar = Frame()->GetMenuBar();
  for (std::size_t index = 0; index < menu_bar->GetMenuCount(); ++index) {
    EXPECT_MARKED(menu_bar->GetMenuLabelText(index));
    ExpectMenuMarked(*menu_bar->GetMenu(index));
  }
  wxToolBar* toolbar = Frame()->GetToolBar();
  for (std::size_t index = 0; index < toolbar->GetToolsCount(); ++index) {
    const wxToolBarToolBase* tool = toolbar->GetToolByPos(static_cast<int>(index));
    if (tool->IsSeparator()) continue;
    EXPECT_MARKED(tool->GetLabel());
    EXPECT_MARKED(tool->GetShortHelp());
    EXPECT_MARKED(tool->GetLongHelp());
  }
  EXPECT_MARKED(Title());
  EXPECT_MARKED(StatusText(0));

  const std::string help_file = WriteHelpFile("twelve.chm", TwelveStreams());
  Open(help_file);
  EXPECT_MARKED(Title(), {"twelve.chm"});
  EXPECT_MARKED(StatusText(0));
  ASSERT_EQ(List()->ColumnCount(), kCatalogueColumnCount);
  for (int column = 0; column < List()->ColumnCount(); ++column) {
    const wxString heading = List()->ColumnHeading(column);
    EXPECT_EQ(heading, Translated(kCatalogueColumnHeadings[column]));
    EXPECT_MARKED(heading);
    EXPECT_GE(List()->ColumnWidth(column), List()->Window().GetTextExtent(heading).x)
        << "cut: " << heading;
  }
  Open(WriteFile("not-help.chm", "plain text, not a help file"));
  ASSERT_FALSE(messages_.empty());
  // The first paragraph is ours; the reader's detail after it names the file's damage.
  EXPECT_MARKED(
      wxString::FromUTF8(messages_.back().text.substr(0, messages_.back().text.find("\n\n"))));
}

TEST_F(PseudoLanguageTest, AboutBoxAndTipOfTheDayComeFromTheCatalogueAndFit) {
  ASSERT_TRUE(Start({"-Embedding"}));
  AboutDialog about(Frame());
  ASSERT_TRUE(about.IsLoaded());
  ExpectMarkedAndFitting(about,
                         std::vector<wxString>{MakerEmail(), MakerHomePage(), MakerTelephone()});

  const std::filesystem::path tips = folder_ / "tips.txt";
  std::ofstream(tips) << "A tip of the tips file, shown as written\n";
  TipDialog tip(Frame(), *App().Profile(), tips);
  ASSERT_TRUE(tip.IsLoaded());
  tip.InitDialog();
  ExpectMarkedAndFitting(tip, std::vector<wxString>{}, {IDC_TIP_TEXT});
}

TEST_F(PseudoLanguageTest, UnpackDialogsQuestionProgressAndMessagesComeFromTheCatalogueAndFit) {
  ASSERT_TRUE(Start({WriteHelpFile("twelve.chm", TwelveStreams())}));
  const std::filesystem::path missing = folder_ / "not yet";
  std::vector<wxString> questions;
  const YesNoQuestion previous = SetYesNoQuestion([&](wxWindow*, const wxString& text) {
    questions.push_back(text);
    return false;
  });
  UnpackDialogHook hook([&](UnpackDialog& dialog) {
    dialog.InitDialog();
    ExpectMarkedAndFitting(dialog, std::vector<wxString>{});
    dialog.FolderControl()->ChangeValue("");
    wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
    dialog.ProcessWindowEvent(ok);  // refused: no folder
    dialog.FolderControl()->ChangeValue(wxString::FromUTF8(missing.string()));
    dialog.ProcessWindowEvent(ok);  // asks to make it; No keeps the dialog
    return wxID_CANCEL;
  });
  Command(ID_FILE_UNPACK);
  Command(ID_FILE_UNPACK_PROJECT);
  SetYesNoQuestion(previous);
  ASSERT_EQ(hook.shown, 2);
  ASSERT_EQ(questions.size(), 2u);
  for (const wxString& question : questions)
    EXPECT_MARKED(question, {wxString::FromUTF8(missing.string())});
  ASSERT_GE(messages_.size(), 1u);
  for (const ShownMessage& message : messages_) EXPECT_MARKED(wxString::FromUTF8(message.text));

  std::vector<wxString> seen;
  GatedSink sink(
      [](std::size_t place) { return place == 0; },
      [&](std::size_t) {
        wxFrame* progress = ShownFrameOtherThan(Frame());
        if (progress == nullptr) return false;
        // The button is sized from its caption's extent, by design smaller than
        // GTK's padding would make it, in English too: its text is what must fit.
        ExpectMarkedAndFitting(*progress, std::vector<wxString>{},
                               {ProgressWindow::kStatusTextId, ProgressWindow::kCancelButtonId});
        wxWindow* cancel = progress->FindWindow(ProgressWindow::kCancelButtonId);
        EXPECT_MARKED(cancel->GetLabel());
        EXPECT_LE(cancel->GetTextExtent(cancel->GetLabel()).x, cancel->GetClientSize().x);
        const wxString status = progress->FindWindow(ProgressWindow::kStatusTextId)->GetLabel();
        seen.push_back(status);
        return true;
      });
  UnpackJob job;
  job.rows = &Rows();
  job.engine = &Doc()->Engine();
  job.choices = {folder_.string(), UnpackChoice::kAllFiles, true};
  job.sink = &sink;
  UnpackRows(job);
  ASSERT_EQ(seen.size(), 1u);
  const std::string first_name(Rows().GetItemText(0, kNameColumn));
  EXPECT_MARKED(seen[0], {wxString::FromUTF8(first_name)});
}

// Each language of po/LINGUAS whose catalogue the build made: the fixed layouts fit its texts.
using EveryLanguageTest = LanguageTest;

TEST_F(EveryLanguageTest, AboutTipAndUnpackDialogsFitTheTranslatedTexts) {
  std::ifstream list(std::filesystem::path(VASKEL_SOURCE_DIR) / "po/LINGUAS");
  std::vector<std::string> languages;
  for (std::string language; std::getline(list, language);) {
    if (!language.empty() && language[0] != '#' && !ChooseLanguage({language}).empty())
      languages.push_back(language);
  }
  if (languages.empty()) GTEST_SKIP() << "no catalogue in po/ yet";
  const std::filesystem::path tips = folder_ / "tips.txt";
  std::ofstream(tips) << "A tip\n";
  for (const std::string& language : languages) {
    SCOPED_TRACE(language);
    UseLanguage(language);
    ASSERT_TRUE(Start({WriteHelpFile("twelve.chm", TwelveStreams()), "-Embedding"}));
    {  // the dialogs go before the frame that owns them
      AboutDialog about(Frame());
      ExpectMarkedAndFitting(about, std::nullopt);
      TipDialog tip(Frame(), *App().Profile(), tips);
      ExpectMarkedAndFitting(tip, std::nullopt, {IDC_TIP_TEXT});
      UnpackDialog unpack(Frame());
      ExpectMarkedAndFitting(unpack, std::nullopt);
      unpack.AsProject();
      ExpectMarkedAndFitting(unpack, std::nullopt);
    }
    Stop();
  }
}

// The msgstr of each of `msgids` in the catalogue at `path`.
std::map<std::string, std::string> Translations(const std::filesystem::path& path,
                                                const std::vector<std::string>& msgids) {
  std::map<std::string, std::string> found;
  std::ifstream in(path);
  std::optional<std::string> wanted;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("msgid \"")) {
      const std::string id = line.substr(7, line.size() - 8);
      wanted.reset();
      if (std::find(msgids.begin(), msgids.end(), id) != msgids.end()) wanted = id;
    } else if (wanted && line.starts_with("msgstr \"")) {
      found[*wanted] = line.substr(8, line.size() - 9);
      wanted.reset();
    }
  }
  return found;
}

using JapaneseWindowTest = LanguageTest;

TEST_F(JapaneseWindowTest, StartedUnderLanguageJaTheMenuBarShowsTheCataloguesTitles) {
  const std::filesystem::path catalogue = std::filesystem::path(VASKEL_SOURCE_DIR) / "po/ja.po";
  if (!std::filesystem::exists(catalogue))
    GTEST_SKIP() << "po/ja.po is not there yet: no Japanese menus to compare with";
  const std::vector<std::string> titles = {"&File", "&Edit", "&View", "&Help"};
  const std::map<std::string, std::string> japanese = Translations(catalogue, titles);
  ASSERT_EQ(japanese.size(), titles.size());
  SaveEnvironment("LANGUAGE", "ja");
  SaveEnvironment("LANG", "C.UTF-8");
  SaveEnvironment("LC_ALL", "");
  SaveEnvironment("LC_MESSAGES", "");
  UseDesktopLanguage();
  ASSERT_TRUE(Start());
  wxMenuBar* menu_bar = Frame()->GetMenuBar();
  ASSERT_EQ(menu_bar->GetMenuCount(), titles.size());
  for (std::size_t index = 0; index < titles.size(); ++index)
    EXPECT_EQ(menu_bar->GetMenuLabel(index).utf8_string(), japanese.at(titles[index]));
}

}  // namespace
}  // namespace vaskel::testing
