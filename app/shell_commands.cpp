#include "app/shell_commands.h"

#include <wx/filename.h>
#include <wx/stdpaths.h>

#include <filesystem>
#include <utility>

#include "platform/data_location.h"
#include "platform/desktop/desktop_launcher.h"
#include "platform/fs/utf8_path.h"
#include "res/string_table.h"
#include "res/window_resources.h"
#include "storage/message_box.h"

#ifndef VASKEL_MAKER_EMAIL
#define VASKEL_MAKER_EMAIL "vaskel@example.org"
#endif
#ifndef VASKEL_MAKER_HOME_PAGE
#define VASKEL_MAKER_HOME_PAGE "https://vaskel.example.org/"
#endif
#ifndef VASKEL_MAKER_TELEPHONE
#define VASKEL_MAKER_TELEPHONE "+1 555 0100"
#endif

namespace vaskel {
namespace {

bool IsAddress(const wxString& target) {
  return target.StartsWith("http://") || target.StartsWith("https://") ||
         target.StartsWith("mailto:");
}

// The same way to the desktop as Run's, with its chooser and its reasons.
void LaunchWithDesktop(const wxString& target) {
  const std::string text = target.utf8_string();
  const std::string failure = IsAddress(target)
                                  ? OpenAddressWithDesktop(text)
                                  : OpenWithDesktop(text, DesktopProgram::kDefaultForType);
  if (!failure.empty()) ShowMessage(failure, MessageIcon::kStop);
}

ShellLauncher& Launcher() {
  static ShellLauncher launcher;
  return launcher;
}

void Launch(const wxString& target) {
  if (const ShellLauncher& launcher = Launcher()) {
    launcher(target);
  } else {
    LaunchWithDesktop(target);
  }
}

}  // namespace

ShellLauncher SetShellLauncher(ShellLauncher launcher) {
  return std::exchange(Launcher(), std::move(launcher));
}

wxString MakerEmail() { return wxString::FromUTF8(VASKEL_MAKER_EMAIL); }
wxString MakerHomePage() { return wxString::FromUTF8(VASKEL_MAKER_HOME_PAGE); }
wxString MakerTelephone() { return wxString::FromUTF8(VASKEL_MAKER_TELEPHONE); }

wxString FindHelpContents() {
  const wxString name = res::ToWx(res::kHelpFileName);
  wxFileName in_current_directory(wxFileName::GetCwd(), name);
  if (in_current_directory.FileExists()) return in_current_directory.GetFullPath();
  const std::filesystem::path found = FindProgramDataFile(
      res::kHelpFileName, wxStandardPaths::Get().GetExecutablePath().utf8_string());
  return found.empty() ? wxString() : wxString::FromUTF8(platform::Utf8Of(found));
}

void OpenHelpContents() {
  const wxString path = FindHelpContents();
  if (path.empty()) {
    ShowMessage("Cannot open \"" + std::string(res::kHelpFileName) +
                    "\": it is neither in the current folder, nor beside the program, nor in "
                    "its data folder",
                MessageIcon::kStop);
    return;
  }
  Launch(path);
}

void OpenHomePage() { Launch(MakerHomePage()); }

void SendMailToMaker() { Launch("mailto:" + MakerEmail()); }

}  // namespace vaskel
