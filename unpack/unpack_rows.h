// The unpack operation: the chosen catalogue rows written into a folder by an ExtractionJob, in
// the order their bytes are stored, on threads of their own; the interface thread meanwhile
// shows each file's name and the share done in a progress window, lets the program's events
// through, and offers Cancel, which takes effect between two files.
#pragma once

#include <wx/string.h>

#include <optional>
#include <string>

class wxWindow;

namespace vaskel {

class CatalogueList;
class EntrySink;
class StorageEngine;

enum class UnpackChoice {
  kSelectedFiles,  // the selected rows, in list order
  kAllFiles,       // every row, in list order
};

// What the Unpack dialog confirmed.
struct UnpackChoices {
  std::string folder;  // as NormalizeUnpackFolder gives it
  UnpackChoice files = UnpackChoice::kAllFiles;
  bool use_path = true;  // recreate the rows' internal folders below `folder`
};

struct UnpackJob {
  CatalogueList* rows = nullptr;
  StorageEngine* engine = nullptr;
  UnpackChoices choices;
  wxWindow* progress_owner = nullptr;
  // When set (the help file's path, UTF-8): once every row is written, the help file's project
  // (NAME.hhp) is written beside them, as the command line's decompile does. Not when cancelled.
  std::string project_of;
  // Where the bytes go instead of files below `folder` (for tests). Its entries are the chosen
  // rows in list order. Called on another thread than the interface's.
  EntrySink* sink = nullptr;
};

// The folder text of the Unpack dialog as extraction takes it: one trailing separator removed
// (a lone separator, the root, stays). Nothing when the text is empty.
std::optional<std::string> NormalizeUnpackFolder(const wxString& text);

// Why extraction could not take the folder text (longer than the platform's path limit), in a
// sentence for the user; empty when it can.
std::string FolderRefusal(const std::string& folder);

// Runs the unpack: shows the progress window ("Unpacking...") and writes the rows, the other
// windows of the program disabled meanwhile so that the rows cannot change. Stops after
// the file during which the user cancelled; a file that cannot be written ends the unpack there,
// with the window gone, and is reported in a message box (stop icon) naming the file and the
// cause. Files written before stay. A file whose data is damaged is left out and the others are
// written; once the window has gone, a message box names the damaged files with their causes
// and, without Use Path, the files written over by a later file of the same name; with a
// project, the records of it left out as damaged. A project that cannot be written is reported
// as a file that cannot be written.
void UnpackRows(const UnpackJob& job);

}  // namespace vaskel
