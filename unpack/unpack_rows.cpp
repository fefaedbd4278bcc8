#include "unpack/unpack_rows.h"

#include <wx/intl.h>
#include <wx/utils.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "platform/fs/path_units.h"
#include "platform/text/translation.h"
#include "storage/catalogue_list.h"
#include "storage/entry_files.h"
#include "storage/extraction_job.h"
#include "storage/help_project_writer.h"
#include "storage/message_box.h"
#include "storage/path_limit.h"
#include "storage/storage_engine.h"
#include "unpack/event_pump.h"
#include "unpack/progress_window.h"

namespace vaskel {
namespace {

constexpr char kProgressTitle[] = TrNoop("Unpacking...");
// How often the interface thread looks at the job and lets the program's events through.
constexpr auto kProgressInterval = std::chrono::milliseconds(30);
constexpr std::size_t kNoEntry = std::numeric_limits<std::size_t>::max();

// The chosen rows as the job's entries, in list order.
std::vector<JobEntry> ChosenEntries(const UnpackJob& job) {
  const CatalogueList& rows = *job.rows;
  std::vector<JobEntry> entries;
  const auto add = [&](int row) { entries.push_back(job.engine->RowEntry(rows, row)); };
  switch (job.choices.files) {
    case UnpackChoice::kAllFiles:
      for (int row = 0, count = rows.GetItemCount(); row < count; ++row) add(row);
      break;
    case UnpackChoice::kSelectedFiles:
      for (int row = rows.GetNextItem(-1, LVNI_SELECTED); row != -1;
           row = rows.GetNextItem(row, LVNI_SELECTED)) {
        add(row);
      }
      break;
  }
  return entries;
}

// Passes everything on, and tells the interface thread which file is in hand and how many are
// done.
class WatchedSink final : public EntrySink {
 public:
  explicit WatchedSink(EntrySink& sink) : sink_(sink) {}
  void Begin(std::size_t entry, std::uint64_t size) override {
    current_.store(entry, std::memory_order_relaxed);
    sink_.Begin(entry, size);
  }
  void Write(std::span<const std::uint8_t> bytes) override { sink_.Write(bytes); }
  void End(HRESULT result) override {
    sink_.End(result);
    done_.fetch_add(1, std::memory_order_relaxed);
  }
  void Skip(std::size_t entry) override {
    sink_.Skip(entry);
    done_.fetch_add(1, std::memory_order_relaxed);
  }
  std::size_t Current() const { return current_.load(std::memory_order_relaxed); }
  std::size_t Done() const { return done_.load(std::memory_order_relaxed); }

 private:
  EntrySink& sink_;
  std::atomic<std::size_t> current_{kNoEntry};
  std::atomic<std::size_t> done_{0};
};

// Runs the job on a thread of its own; the object waits for it to end.
class JobThread {
 public:
  JobThread(ExtractionJob& job, EntrySink& sink, const ProgressWindow& progress)
      : thread_([this, &job, &sink, &progress] {
          std::exception_ptr failure;
          try {
            job.Run(sink, [this, &progress] { return abandoned_ || progress.IsCancelled(); });
          } catch (...) {
            failure = std::current_exception();
          }
          std::lock_guard lock(mutex_);
          failure_ = failure;
          ended_ = true;
          ended_signal_.notify_all();
        }) {}
  ~JobThread() {
    abandoned_ = true;  // only when leaving early: the job stops before its next file
    // The file in hand may need a call queued for this thread before it can end.
    while (!WaitForEnd(std::chrono::milliseconds(10))) DispatchWaitingEvents([] { return false; });
    thread_.join();
  }
  // Waits up to `interval` for the end; true once it has come.
  bool WaitForEnd(std::chrono::milliseconds interval) {
    std::unique_lock lock(mutex_);
    return ended_signal_.wait_for(lock, interval, [this] { return ended_; });
  }
  std::exception_ptr Failure() {
    std::lock_guard lock(mutex_);
    return failure_;
  }

 private:
  std::atomic<bool> abandoned_{false};
  std::mutex mutex_;
  std::condition_variable ended_signal_;
  bool ended_ = false;
  std::exception_ptr failure_;
  std::thread thread_;
};

// Ends a list of named files or records: how many are not named.
std::string MoreText(std::size_t count) { return FormatText(Tr("and %zu more"), count); }

// Shows the file in hand and the files done, changing only what changed.
class ProgressShown {
 public:
  ProgressShown(ProgressWindow& progress, const std::vector<JobEntry>& entries)
      : progress_(progress), entries_(entries) {}
  void Update(std::size_t current, std::size_t done) {
    if (current != kNoEntry && current != current_) {
      current_ = current;
      // TRANSLATORS: %s is the file being written, with no space before it.
      progress_.SetStatusText(Tr("Unpacking:%s").c_str(), entries_[current].name.c_str());
    }
    if (done != done_) {
      done_ = done;
      progress_.SetBarPosition(static_cast<int>(
          std::min<std::size_t>(done, static_cast<std::size_t>(std::numeric_limits<int>::max()))));
    }
  }

 private:
  ProgressWindow& progress_;
  const std::vector<JobEntry>& entries_;
  std::size_t current_ = kNoEntry;
  std::size_t done_ = 0;
};

// What the user is told once the unpack has ended: the files left out for damaged data and
// those written over by a later file of the same name. Empty when there is nothing to tell.
std::string EndReport(const std::vector<ExtractionError>& damaged,
                      const std::vector<std::string>& written_over) {
  constexpr std::size_t kNamed = 5;
  std::string report;
  if (!damaged.empty()) {
    const std::size_t count = damaged.size();
    report = FormatText(
        TrPlural("%zu file is damaged in the help file and left out; the others were written.",
                 "%zu files are damaged in the help file and left out; the others were written.",
                 count),
        count);
    for (std::size_t i = 0; i < count && i < kNamed; ++i) {
      report += "\n" + damaged[i].Entry() + ": " + damaged[i].Reason();
    }
    if (count > kNamed) report += "\n" + MoreText(count - kNamed);
  }
  if (!written_over.empty()) {
    if (!report.empty()) report += "\n\n";
    // TRANSLATORS: "Use Path" is the Unpack dialog's check box; %s tells the files written over.
    report +=
        FormatText(Tr("Unpacked without Use Path: %s."), WrittenOverText(written_over).c_str());
  }
  return report;
}

// Writes the project beside the files; returns what the user is told of its damaged records.
std::string WriteProject(const UnpackJob& job, const std::vector<std::string>& stored) {
  constexpr std::size_t kNamed = 5;
  IStorage* root = job.engine->GetRootStorage();
  if (root == nullptr) return {};
  const std::string& folder = job.choices.folder;
  const WrittenProject written = WriteHelpProject(*root, stored, job.project_of, folder);
  const std::string destination = folder + kPathSeparator + written.file_name;
  if (!written.written) throw ExtractionError(destination, Tr("cannot be written"));
  const std::vector<std::string>& warnings = written.project.warnings;
  if (warnings.empty()) return {};
  // TRANSLATORS: records of the help project; %s is the project file written.
  std::string report = FormatText(
      TrPlural("%zu record is damaged in the help file and left out of %s.",
               "%zu records are damaged in the help file and left out of %s.", warnings.size()),
      warnings.size(), destination.c_str());
  for (std::size_t i = 0; i < warnings.size() && i < kNamed; ++i) report += "\n" + warnings[i];
  if (warnings.size() > kNamed) report += "\n" + MoreText(warnings.size() - kNamed);
  return report;
}

// Throws ExtractionError for a file that cannot be written; returns the end report.
std::string WriteChosenRows(const UnpackJob& job, ProgressWindow& progress) {
  std::vector<JobEntry> entries;
  std::vector<std::string> stored;
  if (job.project_of.empty()) {
    entries = ChosenEntries(job);
  } else {
    // A project is the whole help file, whatever the find box shows.
    job.rows->SuspendFilter();
    entries = ChosenEntries(job);
    stored = StoredFileNames(*job.rows);
    job.rows->ResumeFilter();
  }
  const bool use_path = job.choices.use_path;
  std::vector<std::string> written_over;
  if (!use_path && !job.sink) entries = LastOfEachName(std::move(entries), &written_over);
  progress.SetBarRange(0, static_cast<int>(entries.size()), 1);
  ExtractionJob extraction(std::move(entries));
  // Called on the job's thread, read once it has ended. A damaged file is left out and the
  // others are written, as on the command line.
  std::vector<ExtractionError> damaged;
  EntryFiles files(extraction.Entries(), job.choices.folder, use_path,
                   [&damaged](const ExtractionError& error) { damaged.push_back(error); });
  WatchedSink watched(job.sink ? *job.sink : files);
  ProgressShown shown(progress, extraction.Entries());
  {
    JobThread running(extraction, watched, progress);
    for (bool ended = false; !ended;) {
      ended = running.WaitForEnd(kProgressInterval);
      shown.Update(watched.Current(), watched.Done());
      // Every waiting event goes through on every pass, cancelled or not: the job may be
      // waiting for one of them (a call queued for this thread) before it can end.
      progress.PumpMessages(true);
      if (progress.IsCancelled()) DispatchWaitingEvents([] { return false; });
    }
    if (const std::exception_ptr failure = running.Failure()) std::rethrow_exception(failure);
  }
  // Cancelled, the later files of a name may never have come.
  if (progress.IsCancelled()) written_over.clear();
  std::string report = EndReport(damaged, written_over);
  if (!job.project_of.empty() && !job.sink && !progress.IsCancelled()) {
    const std::string project_report = WriteProject(job, stored);
    if (!report.empty() && !project_report.empty()) report += "\n\n";
    report += project_report;
  }
  return report;
}

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';  // Windows takes both
#else
  return c == '/';
#endif
}

// The part of a folder's text that is a root ("/"; "\\", "C:" or "C:\\" on Windows), whose
// separator belongs to it: "C:" alone is the drive's current folder, not its root.
std::size_t RootLength(const std::string& folder) {
#ifdef _WIN32
  if (folder.size() >= 2 && folder[1] == ':')
    return folder.size() > 2 && IsSeparator(folder[2]) ? 3 : 2;
#endif
  return !folder.empty() && IsSeparator(folder[0]) ? 1 : 0;
}

}  // namespace

std::optional<std::string> NormalizeUnpackFolder(const wxString& text) {
  if (text.empty()) return std::nullopt;
  std::string folder = text.utf8_string();
  if (folder.size() > RootLength(folder) && IsSeparator(folder.back())) folder.pop_back();
  return folder;
}

std::string FolderRefusal(const std::string& folder) {
  const std::size_t units = platform::PathUnits(folder);
  if (units < kPlatformPathLimit) return {};
  return FormatText(Tr("The folder to unpack to is %zu bytes long; this system takes at most %zu. "
                       "Choose a folder with a shorter path."),
                    units, static_cast<std::size_t>(kPlatformPathLimit - 1));
}

void UnpackRows(const UnpackJob& job) {
  if (job.rows == nullptr || job.engine == nullptr) return;
  ProgressWindow progress(job.progress_owner, wxGetTranslation(kProgressTitle), true);
  // The events let through must not change the rows, nor start another command, meanwhile.
  const wxWindowDisabler others(progress.Window());
  progress.SetStatusText("%s", Tr("Unpacking:").c_str());
  // Reports come after the window has gone, so that nothing hides them.
  try {
    const std::string report = WriteChosenRows(job, progress);
    progress.Destroy();
    if (!report.empty()) ShowMessage(report, MessageIcon::kExclamation);
  } catch (const std::exception& error) {  // ExtractionError, or running out of memory
    progress.Destroy();
    ShowMessage(error.what(), MessageIcon::kStop);
  }
}

}  // namespace vaskel
