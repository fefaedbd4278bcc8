// The folder browser of the Unpack dialog: the desktop's folder chooser, replaceable by tests.
#pragma once

#include <wx/string.h>

#include <functional>
#include <optional>

#include "platform/text/translation.h"

class wxWindow;

namespace vaskel {

inline constexpr char kChooseFolderTitle[] = TrNoop("Please select the output folder:");

// Nothing when the user cancelled.
using FolderChooser =
    std::function<std::optional<wxString>(wxWindow* parent, const wxString& title)>;
// Returns the previous chooser; an empty one restores the desktop's.
FolderChooser SetFolderChooser(FolderChooser chooser);

// Asks for an existing folder, with `kChooseFolderTitle` as the title.
std::optional<wxString> ChooseOutputFolder(wxWindow* parent);

}  // namespace vaskel
