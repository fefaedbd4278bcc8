// vaskel-cli's messages and --help in the user's language, through the C library's gettext.
#pragma once

namespace vaskel::cli {

// Connects the catalogue ("vaskel", as the window's) for the language the environment asks for;
// English, the source, needs none.
void UseDesktopLanguage();

}  // namespace vaskel::cli
