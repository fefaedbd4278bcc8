// The Help menu's shell commands: the desktop's default programs open our help file, the
// maker's home page and a mail to the maker. A target the desktop cannot open, after its "Open
// With" chooser, and a help file that is nowhere are reported in a message box.
#pragma once

#include <wx/string.h>

#include <functional>

namespace vaskel {

// Opens a file or an address with the desktop's default program. Tests put a recorder here.
using ShellLauncher = std::function<void(const wxString& target)>;
// Returns the previous launcher; an empty one restores the desktop's.
ShellLauncher SetShellLauncher(ShellLauncher launcher);

// The maker's addresses, set when the program is built.
wxString MakerEmail();
wxString MakerHomePage();
wxString MakerTelephone();

// "VaskelHelp.chm" in the current directory, else beside the program, else in the installed
// data folder; empty when none has it.
wxString FindHelpContents();

void OpenHelpContents();
void OpenHomePage();
void SendMailToMaker();

}  // namespace vaskel
