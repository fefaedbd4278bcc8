#include "unpack/unpack_rows.h"

#include <cstdint>
#include <exception>
#include <limits>

#include "storage/catalogue_list.h"
#include "storage/entry_extraction.h"
#include "storage/message_box.h"
#include "storage/path_limit.h"
#include "unpack/progress_window.h"

namespace vaskel {
namespace {

constexpr char kProgressTitle[] = "Unpacking...";

class RowWriter {
 public:
  RowWriter(const UnpackJob& job, ProgressWindow& progress) : job_(job), progress_(progress) {}

  // False once the unpack is to stop after this row.
  bool Write(int row) {
    const CatalogueList& rows = *job_.rows;
    // Rows cannot change while the dialog holds the main window, but nothing is read from a row
    // that is gone.
    if (row < 0 || row >= rows.GetItemCount()) return false;
    const std::string name(rows.GetItemText(row, kNameColumn));
    const std::string path(rows.GetItemText(row, kPathColumn));
    progress_.SetStatusText("Unpacking:%s", name.c_str());
    const bool use_path = job_.use_path && job_.use_path();
    job_.engine->ExtractEntry(RowStorage(rows, *job_.engine, row), path, name, job_.folder,
                              use_path, &session_);
    progress_.StepBar();
    progress_.PumpMessages(true);
    return !progress_.IsCancelled();
  }

 private:
  const UnpackJob& job_;
  ProgressWindow& progress_;
  // Each call writes its file completely, so a failure names the row it belongs to.
  ExtractionSession session_{ExtractionSession::Writing::kInCall};
};

void WriteChosenRows(const UnpackJob& job, ProgressWindow& progress) {
  const CatalogueList& rows = *job.rows;
  RowWriter writer(job, progress);
  switch (job.choice) {
    case UnpackChoice::kAllFiles: {
      const int count = rows.GetItemCount();
      progress.SetBarRange(0, count, 1);
      for (int row = 0; row < count; ++row) {
        if (!writer.Write(row)) return;
      }
      return;
    }
    case UnpackChoice::kSelectedFiles: {
      progress.SetBarRange(0, rows.GetSelectedCount(), 1);
      int row = rows.GetNextItem(-1, LVNI_SELECTED);
      while (row != -1) {
        // Looked up first: the row being written must not decide where the walk goes on.
        const int next = rows.GetNextItem(row, LVNI_SELECTED);
        if (!writer.Write(row)) return;
        row = next;
      }
      return;
    }
  }
}

}  // namespace

std::optional<std::string> NormalizeUnpackFolder(const wxString& text) {
  if (text.empty()) return std::nullopt;
  std::string folder = text.utf8_string();
  if (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
  return folder;
}

std::string FolderRefusal(const std::string& folder) {
  if (folder.size() < kPlatformPathLimit) return {};
  return "The folder to unpack to is " + std::to_string(folder.size()) +
         " bytes long; this system takes at most " + std::to_string(kPlatformPathLimit - 1) +
         ". Choose a folder with a shorter path.";
}

IStorage* RowStorage(const CatalogueList& rows, const StorageEngine& engine, int row) {
  const std::intptr_t data = rows.GetItemData(row);
  if (data < 0 || data > std::numeric_limits<std::int32_t>::max()) return nullptr;
  return engine.StorageAt(static_cast<std::int32_t>(data));
}

void UnpackRows(const UnpackJob& job) {
  if (job.rows == nullptr || job.engine == nullptr) return;
  ProgressWindow progress(job.progress_owner, kProgressTitle, true);
  progress.SetStatusText("Unpacking:");
  try {
    WriteChosenRows(job, progress);
  } catch (const std::exception& error) {  // ExtractionError, or running out of memory
    // The report comes after the window has gone, so that nothing hides it.
    progress.Destroy();
    ShowMessage(error.what(), MessageIcon::kStop);
  }
}

}  // namespace vaskel
