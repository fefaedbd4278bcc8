// The PreviewFolder: "VASKELTMP", where Run puts the files it opens, until the main window
// closes. It lives in a directory private to the user ($XDG_RUNTIME_DIR when that is a real
// directory of the user's, else "vaskel-<uid>" in the temporary directory), never straight in a
// temporary directory that every user can write to: there another user could plant a link in
// its place and have Run overwrite, or the clean-up delete, files of their choice.
#pragma once

#include <string>

namespace vaskel {

inline constexpr char kPreviewFolderName[] = "VASKELTMP";

// The directory that holds the PreviewFolder; computed anew on every call.
std::string PreviewBaseFolder();
// PreviewBaseFolder() followed by "/VASKELTMP".
std::string PreviewFolderPath();

struct PreviewFolderCheck {
  std::string path;     // the PreviewFolder, usable when `refusal` is empty
  std::string refusal;  // why it cannot be used, in a sentence for the user
  bool Usable() const { return refusal.empty(); }
};

// Makes the PreviewFolder (and a per-user base folder in the temporary directory) with
// owner-only permissions when missing, and refuses one that is a symbolic link, not a folder,
// or owned by another user. An existing folder of the user's is made owner-only.
PreviewFolderCheck PreparePreviewFolder();

// Deletes everything inside the PreviewFolder, sub-folders too, never following a link (a link
// itself is deleted), then the folder when that left it empty. Leaves a folder alone that is a link
// or not the user's. Failures are ignored.
void ClearPreviewFolder();

}  // namespace vaskel
