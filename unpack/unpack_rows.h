// The unpack operation: the chosen catalogue rows written into a folder, one ExtractEntry call
// per row in list order, with a progress window that shows each name and offers Cancel between
// two rows.
#pragma once

#include <wx/string.h>

#include <functional>
#include <optional>
#include <string>

class wxWindow;

namespace vaskel {

class CatalogueList;
class StorageEngine;
struct IStorage;

enum class UnpackChoice {
  kSelectedFiles,  // the selected rows, in list order
  kAllFiles,       // every row, in list order
};

struct UnpackJob {
  CatalogueList* rows = nullptr;
  StorageEngine* engine = nullptr;
  UnpackChoice choice = UnpackChoice::kAllFiles;
  std::string folder;  // as NormalizeUnpackFolder gives it
  // Asked before every row: recreate the row's internal folders below `folder`?
  std::function<bool()> use_path;
  wxWindow* progress_owner = nullptr;
};

// The folder text of the Unpack dialog as extraction takes it: one trailing separator removed
// (a lone separator, the root, stays). Nothing when the text is empty.
std::optional<std::string> NormalizeUnpackFolder(const wxString& text);

// Why extraction could not take the folder text (longer than the platform's path limit), in a
// sentence for the user; empty when it can.
std::string FolderRefusal(const std::string& folder);

// The storage that holds a row's stream; null when the row names none the engine still holds.
IStorage* RowStorage(const CatalogueList& rows, const StorageEngine& engine, int row);

// Runs the unpack: shows the progress window ("Unpacking...") and writes the rows. Stops after
// the row during which the user cancelled; a row that cannot be written ends the unpack there,
// with the window gone, and is reported in a message box (stop icon) naming the file. Files
// written before stay.
void UnpackRows(const UnpackJob& job);

}  // namespace vaskel
