#include "catalogue/drag_and_drop.h"

#include <wx/app.h>
#include <wx/listctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "catalogue/catalogue_list_ctrl.h"
#include "catalogue/please_wait_window.h"
#include "catalogue/preview_folder.h"
#include "catalogue/vaskel_doc.h"
#include "catalogue/vaskel_view.h"
#include "platform/fs/utf8_path.h"
#include "res/string_table.h"
#include "storage/catalogue_list.h"
#include "storage/catalogue_sort.h"
#include "storage/entry_files.h"
#include "storage/extraction_job.h"
#include "storage/message_box.h"
#include "storage/reader_refusal.h"

namespace vaskel {
namespace {

// A folder for one drag: files dropped earlier keep theirs.
std::string NewDragFolder(const std::string& drags) {
  for (int number = 1;; ++number) {
    const std::string folder = drags + "/" + std::to_string(number);
    std::error_code error;
    if (std::filesystem::create_directory(platform::Utf8Path(folder), error)) return folder;
    if (error) return {};
  }
}

// What a drag may write into `folder`: kLargestDrag, less when the disk has less free.
std::uint64_t DragBound(const std::string& folder) {
  std::error_code error;
  const std::filesystem::space_info disk =
      std::filesystem::space(platform::Utf8Path(folder), error);
  if (error) return kLargestDrag;
  return std::min<std::uint64_t>(kLargestDrag, disk.available);
}

std::string Megabytes(std::uint64_t bytes) {
  return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

// Runs the job on a thread of its own while the window repaints; the user's input waits.
// Returns the failure's message, empty when the files were written.
std::string WriteOnThread(ExtractionJob& job, EntryFiles& files, wxWindow* owner) {
  std::string failure;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    try {
      job.Run(files);
    } catch (const ExtractionError& error) {
      failure = error.what();
    } catch (const std::exception& error) {
      failure = error.what();
    }
    done = true;
  });
  {
    const PleaseWaitWindow wait(owner);
    while (!done) {
      if (wxTheApp != nullptr) wxTheApp->SafeYieldFor(wait.Window(), wxEVT_CATEGORY_UI);
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
  }
  writer.join();
  return failure;
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

DraggedFiles DraggedRows(CVaskelView& view) {
  CVaskelDoc* doc = view.GetVaskelDoc();
  if (doc == nullptr) return {};
  if (CatalogueListCtrl* list = view.ListCtrl()) list->SyncStoreFromControl();
  const CatalogueList& rows = view.Rows();
  if (rows.GetSelectedCount() == 0) return {};
  StorageEngine& engine = doc->Engine();
  std::vector<JobEntry> entries;
  std::uint64_t bytes = 0;
  for (int row = rows.GetNextItem(-1, LVNI_SELECTED); row != -1;
       row = rows.GetNextItem(row, LVNI_SELECTED)) {
    JobEntry entry = engine.RowEntry(rows, row);
    if (!entry.storage) continue;
    entries.push_back(std::move(entry));
    bytes += SizeKey(rows.GetItemText(row, kSizeColumn));
  }
  if (entries.empty()) return {};
  const PreviewFolderCheck drags = PreparePreviewFolder(PreviewArea::kDrags);
  if (!drags.Usable()) {
    ShowMessage(drags.refusal, MessageIcon::kStop);
    return {};
  }
  if (const std::uint64_t bound = DragBound(drags.path); bytes > bound) {
    ShowMessage("The selected files take " + Megabytes(bytes) + ", more than the " +
                    Megabytes(bound) + " a drag may write into " + drags.path +
                    ". Unpack them instead.",
                MessageIcon::kStop);
    return {};
  }
  DraggedFiles dragged;
  dragged.folder = NewDragFolder(drags.path);
  if (dragged.folder.empty()) {
    ShowMessage("A folder for the dragged files cannot be made in " + drags.path + ".",
                MessageIcon::kStop);
    return {};
  }
  // Flat, as an unpack without "Use Path": of two rows with one name, the one read last stays.
  ExtractionJob job(std::move(entries));
  EntryFiles files(job.Entries(), dragged.folder, false);
  const std::string failure = WriteOnThread(job, files, view.ListCtrl());
  if (!failure.empty()) {
    DragEnded(dragged, wxDragCancel);
    ShowMessage(failure, MessageIcon::kStop);
    return {};
  }
  std::set<std::string> names;
  for (const JobEntry& entry : job.Entries()) {
    // The system's own separators: on Windows the shell takes the list as CF_HDROP paths.
    const std::filesystem::path file =
        (platform::Utf8Path(dragged.folder) / platform::Utf8Path(entry.name)).make_preferred();
    std::error_code error;
    if (std::filesystem::is_regular_file(file, error) && names.insert(entry.name).second) {
      if (!dragged.files) dragged.files = std::make_unique<wxFileDataObject>();
      dragged.files->AddFile(wxString::FromUTF8(platform::Utf8Of(file)));
    }
  }
  if (!dragged.files) DragEnded(dragged, wxDragCancel);
  return dragged;
}

void DragEnded(const DraggedFiles& dragged, wxDragResult result) {
  if (dragged.folder.empty() || result == wxDragCopy || result == wxDragMove ||
      result == wxDragLink) {
    return;
  }
  RemoveFromPreviewFolder(PreviewArea::kDrags,
                          platform::Utf8Of(platform::Utf8Path(dragged.folder).filename()));
}

void AttachDragAndDrop(CVaskelView& view, std::function<void(const wxString& path)> open) {
  CatalogueListCtrl* list = view.ListCtrl();
  if (list == nullptr) return;
  list->SetDropTarget(new HelpFileDropTarget(std::move(open)));
  list->Bind(wxEVT_LIST_BEGIN_DRAG, [&view, list](wxListEvent&) {
    const DraggedFiles dragged = DraggedRows(view);
    if (dragged.files == nullptr) return;
    wxDropSource source(*dragged.files, list);
    DragEnded(dragged, source.DoDragDrop(wxDrag_CopyOnly));
  });
}

}  // namespace vaskel
