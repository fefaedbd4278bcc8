#include "tests/window/window_test_support.h"

#include <wx/log.h>
#include <wx/menu.h>
#include <wx/toolbar.h>

#include <fstream>

#include "res/resource_ids.h"
#include "tests/window/private_desktop.h"

namespace vaskel::testing {
namespace {

bool window_system_ready = false;

// The toolkit starts once per test program; every test then starts the application anew.
class ToolkitEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!DisplayAvailable()) return;
    UsePrivateDesktop();
    wxApp::SetInstance(new CVaskelApp());
    static char name[] = "window_tests";
    static char* argv[] = {name, nullptr};
    static int argc = 1;
    window_system_ready = wxEntryStart(argc, argv);
    if (window_system_ready) delete wxLog::SetActiveTarget(new wxLogStderr());
  }
  void TearDown() override {
    if (window_system_ready) wxEntryCleanup();
  }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment());

}  // namespace

bool WindowSystemReady() { return window_system_ready; }

void WindowTest::SetUp() {
  if (!WindowSystemReady()) GTEST_SKIP() << "no display: run under Xvfb (./test does)";
  UsePrivateProfile(folder_);
  previous_messages_ = SetMessageBoxHandler([this](std::string_view text, MessageIcon icon) {
    messages_.push_back({std::string(text), icon});
  });
  previous_launcher_ =
      SetShellLauncher([this](const wxString& target) { launched_.push_back(target); });
  previous_tip_runner_ =
      SetTipDialogRunner([this](TipDialog& dialog) { tips_shown_.push_back(dialog.TipText()); });
}

void WindowTest::TearDown() {
  if (!WindowSystemReady()) return;
  Stop();
  SetMessageBoxHandler(std::move(previous_messages_));
  SetShellLauncher(std::move(previous_launcher_));
  SetTipDialogRunner(std::move(previous_tip_runner_));
}

bool WindowTest::Start(const std::vector<std::string>& arguments) {
  started_ = true;
  return App().InitInstance(arguments);
}

void WindowTest::Stop() {
  if (!started_) return;
  started_ = false;
  App().ExitInstance();
  RunPendingCalls();
}

CVaskelView* WindowTest::View() const { return App().DocManager()->View(); }
CVaskelDoc* WindowTest::Doc() const { return App().DocManager()->Document(); }

void WindowTest::Command(int resource_id) const {
  wxCommandEvent event(wxEVT_MENU, res::WxId(resource_id));
  event.SetEventObject(Frame());
  Frame()->ProcessWindowEvent(event);
}

bool WindowTest::MenuItemEnabled(int resource_id) const {
  Frame()->GetMenuBar()->UpdateMenus();
  return Frame()->GetMenuBar()->IsEnabled(res::WxId(resource_id));
}

bool WindowTest::ToolEnabled(int resource_id) const {
  Frame()->GetToolBar()->UpdateWindowUI();
  return Frame()->GetToolBar()->GetToolEnabled(res::WxId(resource_id));
}

wxString WindowTest::StatusText(int pane) const {
  return Frame()->GetStatusBar()->GetStatusText(pane);
}

wxString WindowTest::Title() const { return Frame()->GetTitle(); }

void WindowTest::Open(const std::string& path) const {
  App().OpenDocumentFile(wxString::FromUTF8(path));
}

void WindowTest::RunPendingCalls() const {
  wxTheApp->ProcessPendingEvents();
  wxTheApp->ProcessIdle();  // also deletes the windows closed meanwhile
}

std::string WindowTest::WriteHelpFile(const std::string& name,
                                      const std::vector<chmwriter::Entry>& entries) const {
  const std::vector<std::uint8_t> bytes = chmwriter::WriteChm(entries);
  return WriteFile(name, std::string(bytes.begin(), bytes.end()));
}

std::string WindowTest::WriteFile(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path path = folder_ / name;
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

std::vector<chmwriter::Entry> TwelveStreams() {
  return {Stream("/#SYSTEM", 40),           Stream("/$WWKeywordLinks/Property", 8),
          Stream("/index.html", 120),       Stream("/about.html", 7),
          Stream("/style.css", 33),         Stream("/logo.png", 64),
          Stream("/notes.txt", 5),          Stream("/data.bin", 2),
          Stream("/script.js", 11),         Stream("/topics/one.html", 70),
          Stream("/topics/two.html", 71),   Stream("/topics/deep/three.htm", 72),
          Stream("/images/photo.jpg", 300), Stream("/readme", 1)};
}

}  // namespace vaskel::testing
