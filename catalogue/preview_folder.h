// The PreviewFolder: "VASKELTMP", where Run puts the files it opens and drags put the files they
// offer. It lives in a directory private to the user ($XDG_RUNTIME_DIR when that is a directory
// of the user's that others cannot write to unchecked, else "vaskel-<uid>" in the temporary
// directory), never straight in a temporary directory that every user can write to: there
// another user could plant a link in its place and have Run overwrite, or the clean-up delete,
// files of their choice.
//
// Each running program has a folder of its own inside it, named after the process (boot, process
// id and start time), so that one window's closing never deletes another's files; a folder whose
// process no longer runs (killed, crashed) is removed by the next program that starts. Inside it
// Run, pages and drags each have a sub-folder, so that their names never meet.
#pragma once

#include <string>

namespace vaskel {

inline constexpr char kPreviewFolderName[] = "VASKELTMP";

// The directory that holds the PreviewFolder; computed anew on every call.
std::string PreviewBaseFolder();
// PreviewBaseFolder() followed by "/VASKELTMP".
std::string PreviewFolderPath();
// This process's own folder inside the PreviewFolder.
std::string ProcessPreviewFolderPath();

// The sub-folders of the process's folder: Run's files flat, HTML pages with their help file's
// internal folders, and one folder per drag.
enum class PreviewArea { kRun, kPages, kDrags };

struct PreviewFolderCheck {
  std::string path;     // the area's folder, usable when `refusal` is empty
  std::string refusal;  // why it cannot be used, in a sentence for the user
  bool Usable() const { return refusal.empty(); }
};

// Makes the folders down to `area`'s (and a per-user base folder in the temporary directory)
// with owner-only permissions when missing, and refuses one that is a symbolic link, not a
// folder, or owned by another user. Folders of ours below the base are made owner-only; the
// base itself is never changed.
PreviewFolderCheck PreparePreviewFolder(PreviewArea area);

// Deletes this process's folder with everything in it, at any depth, never following a link (a
// link itself is deleted), then the PreviewFolder when that left it empty. Leaves alone what is
// a link or not the user's. Failures are ignored.
void ClearPreviewFolder();

// Removes `name` (a file, or a folder with everything in it) from `area`'s folder.
void RemoveFromPreviewFolder(PreviewArea area, const std::string& name);

// The same clean-up on a thread of its own, so that the closing window need not wait: the folder
// is first renamed aside, so that nothing written afterwards can meet the deletion.
void StartPreviewFolderRemoval();
// Moves the folders of processes that no longer run aside and removes them on that thread.
void SweepAbandonedPreviewFolders();
// Waits until the removals started have finished; before the program ends.
void FinishPreviewFolderRemoval();

}  // namespace vaskel
