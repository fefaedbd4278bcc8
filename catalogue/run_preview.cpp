#include "catalogue/run_preview.h"

#include <string>

#include "catalogue/preview_folder.h"
#include "platform/desktop/desktop_launcher.h"
#include "storage/catalogue_list.h"
#include "storage/entry_files.h"
#include "storage/extraction_job.h"
#include "storage/message_box.h"
#include "storage/storage_engine.h"

namespace vaskel {

void RunEntry(const CatalogueList& rows, StorageEngine& engine, int row) {
  if (row < 0 || row >= rows.GetItemCount()) return;
  const std::string name(rows.GetItemText(row, kNameColumn));
  const std::string internal_path(rows.GetItemText(row, kPathColumn));
  const bool has_type = !rows.GetItemText(row, kTypeColumn).empty();

  const PreviewFolderCheck folder = PreparePreviewFolder(PreviewArea::kRun);
  if (!folder.Usable()) {
    ShowMessage(folder.refusal, MessageIcon::kStop);
    return;
  }
  // A row left over from a file the engine has let go names no storage: nothing is read.
  IStorage* const storage = engine.RowStorage(rows, row);
  if (storage == nullptr) return;
  // Read as the unpack reads, by the same job and into a file by the same rules.
  ExtractionJob job({{ComPtr<IStorage>::Share(storage), internal_path, name}});
  EntryFiles file(job.Entries(), folder.path, false);
  try {
    job.Run(file);
  } catch (const ExtractionError& error) {
    ShowMessage(error.what(), MessageIcon::kStop);
    return;
  }
  if (file.FilesWritten() == 0) return;  // the stream could not be opened: no file to show
  const std::string failure =
      OpenWithDesktop(folder.path + "/" + name,
                      has_type ? DesktopProgram::kDefaultForType : DesktopProgram::kTextEditor);
  if (!failure.empty()) ShowMessage(failure, MessageIcon::kStop);
}

}  // namespace vaskel
