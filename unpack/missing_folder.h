// The Unpack dialog's answer to a folder that does not exist yet: ask, then create it with its
// parents, as archive managers and `vaskel-cli unpack -o` do.
#pragma once

#include <wx/string.h>

#include <functional>
#include <string>

#include "platform/text/translation.h"

class wxWindow;

namespace vaskel {

// TRANSLATORS: %s is the folder typed into the Unpack dialog; Yes and No answer it.
inline constexpr char kCreateFolderQuestion[] = TrNoop("The folder %s does not exist. Create it?");

// A question with Yes (the default button) and No; true for Yes. Replaceable by tests.
using YesNoQuestion = std::function<bool(wxWindow* parent, const wxString& text)>;
// Returns the previous question; an empty one restores the toolkit's message box.
YesNoQuestion SetYesNoQuestion(YesNoQuestion question);
bool AskYesNo(wxWindow* parent, const wxString& text);

// True when `folder` exists or the user agreed to create it and it was made. False when the user
// said No, or when it could not be made (reported, naming the folder and the system's reason).
// Something other than a folder at that path is left for extraction to report.
bool MakeSureFolderExists(wxWindow* parent, const std::string& folder);

}  // namespace vaskel
