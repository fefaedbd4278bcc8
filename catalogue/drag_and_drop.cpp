#include "catalogue/drag_and_drop.h"

#include <wx/app.h>
#include <wx/listctrl.h>

#include <filesystem>
#include <set>
#include <string>
#include <system_error>

#include "catalogue/catalogue_list_ctrl.h"
#include "catalogue/preview_folder.h"
#include "catalogue/vaskel_doc.h"
#include "catalogue/vaskel_view.h"
#include "res/string_table.h"
#include "storage/catalogue_list.h"
#include "storage/entry_extraction.h"
#include "storage/message_box.h"
#include "storage/reader_refusal.h"

namespace vaskel {
namespace {

// A folder for one drag inside the PreviewFolder: files dropped earlier keep theirs.
std::string NewDragFolder(const std::string& preview) {
  for (int number = 1;; ++number) {
    const std::string folder = preview + "/drag-" + std::to_string(number);
    std::error_code error;
    if (std::filesystem::create_directory(folder, error)) return folder;
    if (error) return {};
  }
}

}  // namespace

bool HelpFileDropTarget::OnDropFiles(wxCoord /*x*/, wxCoord /*y*/, const wxArrayString& files) {
  if (files.empty() || !open_) return false;
  // Opening may show a message box; not while the desktop still holds the drag.
  const wxString first = files[0];
  wxTheApp->CallAfter([open = open_, first] {
    // The framework's open empties the catalogue before the reader is asked: a file the reader
    // refuses is turned away first, and the open catalogue stays.
    const std::string path = first.utf8_string();
    if (const std::string refusal = ReaderRefusal(path); !refusal.empty()) {
      ShowMessage(std::string(res::kCantOpenFile) + "\n\n" + path + ": " + refusal,
                  MessageIcon::kExclamation);
      return;
    }
    open(first);
  });
  return true;
}

std::unique_ptr<wxFileDataObject> DraggedRows(CVaskelView& view) {
  CVaskelDoc* doc = view.GetVaskelDoc();
  if (doc == nullptr) return nullptr;
  if (CatalogueListCtrl* list = view.ListCtrl()) list->SyncStoreFromControl();
  const CatalogueList& rows = view.Rows();
  if (rows.GetSelectedCount() == 0) return nullptr;
  const PreviewFolderCheck preview = PreparePreviewFolder();
  if (!preview.Usable()) {
    ShowMessage(preview.refusal, MessageIcon::kStop);
    return nullptr;
  }
  const std::string folder = NewDragFolder(preview.path);
  if (folder.empty()) {
    ShowMessage("A folder for the dragged files cannot be made in " + preview.path + ".",
                MessageIcon::kStop);
    return nullptr;
  }
  auto files = std::make_unique<wxFileDataObject>();
  std::set<std::string> names;
  StorageEngine& engine = doc->Engine();
  ExtractionSession session;
  try {
    for (int row = rows.GetNextItem(-1, LVNI_SELECTED); row != -1;
         row = rows.GetNextItem(row, LVNI_SELECTED)) {
      const std::string name(rows.GetItemText(row, kNameColumn));
      IStorage* const storage = engine.RowStorage(rows, row);
      if (storage == nullptr) continue;
      // Flat, as an unpack without "Use Path": of two rows with one name the last one stays.
      const ExtractedEntry entry = engine.ExtractEntry(storage, rows.GetItemText(row, kPathColumn),
                                                       name, folder, false, &session);
      if (entry.written && names.insert(name).second) {
        files->AddFile(wxString::FromUTF8(folder + "/" + name));
      }
    }
  } catch (const ExtractionError& error) {
    ShowMessage(error.what(), MessageIcon::kStop);
    return nullptr;
  }
  if (names.empty()) return nullptr;
  return files;
}

void AttachDragAndDrop(CVaskelView& view, std::function<void(const wxString& path)> open) {
  CatalogueListCtrl* list = view.ListCtrl();
  if (list == nullptr) return;
  list->SetDropTarget(new HelpFileDropTarget(std::move(open)));
  list->Bind(wxEVT_LIST_BEGIN_DRAG, [&view, list](wxListEvent&) {
    const std::unique_ptr<wxFileDataObject> files = DraggedRows(view);
    if (files == nullptr) return;
    wxDropSource source(*files, list);
    source.DoDragDrop(wxDrag_CopyOnly);
  });
}

}  // namespace vaskel
