// The window's texts in the user's language: our catalogue ("vaskel") and wxWidgets' own
// (stock buttons and dialogs), from the build tree or the installation, and the same catalogue
// for the texts the layers below the window make.
#pragma once

#include <wx/string.h>

#include <string>
#include <vector>

namespace vaskel {

inline constexpr char kCatalogueDomain[] = "vaskel";

// The first of `preferred` that has a catalogue; empty (English) when none has.
wxString ChooseLanguage(const std::vector<std::string>& preferred);

// The language the environment asks for (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
void UseDesktopLanguage();
// `language` as a catalogue's folder names it ("de", "zh_CN"); empty for English, the source.
void UseLanguage(const wxString& language);

}  // namespace vaskel
