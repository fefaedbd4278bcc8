// run_page_bench [help file] [runs]: Run on an HTML page of a help file (the corpus's lcl.chm
// by default) in the window, with the preview folder on tmpfs (/dev/shm, or the folder
// VASKEL_BENCH_ROOT names, to measure a disk): the time from the
// command to the page handed to the browser, the time until the rest of the file has followed
// in idle time, and a later Run that reuses the copy. For scale, `7zz x` of the whole file into
// tmpfs is timed in the same runs, alternating. Then, with the whole file copied: a drag of every
// row (time until the files are offered, peak memory, bytes on disk), and closing the window:
// the clean-up on the window's thread as it used to run, against the window gone now and the
// clean-up finished behind it. Needs a display: bench/run_page_bench.sh starts a virtual one.
#include <sys/resource.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/vaskel_app.h"
#include "app/vaskel_doc_manager.h"
#include "catalogue/drag_and_drop.h"
#include "catalogue/page_preview.h"
#include "catalogue/preview_folder.h"
#include "catalogue/vaskel_doc.h"
#include "catalogue/vaskel_view.h"
#include "platform/desktop/desktop_launcher.h"
#include "storage/catalogue_list.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Ms(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A page in a folder, with references: what a reader runs.
int PageRow(const vaskel::CatalogueList& rows) {
  int fallback = -1;
  for (int row = 0; row < rows.GetItemCount(); ++row) {
    if (!vaskel::PagePreview::IsPage(rows.GetItemText(row, vaskel::kNameColumn))) continue;
    if (fallback == -1) fallback = row;
    if (rows.GetItemText(row, vaskel::kPathColumn).find('/') != std::string_view::npos &&
        rows.GetItemText(row, vaskel::kNameColumn).size() > 12) {
      return row;
    }
  }
  return fallback;
}

long PeakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Files and bytes below `folder`.
std::pair<std::size_t, std::uintmax_t> Holding(const fs::path& folder) {
  std::size_t files = 0;
  std::uintmax_t bytes = 0;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file()) {
      ++files;
      bytes += it->file_size();
    }
  }
  return {files, bytes};
}

// The whole file copied into the pages folder by a fresh preview.
void CopyWhole(vaskel::CVaskelView& view, int row, const std::string& help_file) {
  vaskel::PagePreview fresh(nullptr);
  fresh.Run(view.Rows(), view.GetVaskelDoc()->Engine(), row, help_file);
  while (fresh.CopySome(std::chrono::milliseconds(20))) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string help_file = argc > 1 ? argv[1] : VASKEL_CORPUS_DIR "/real/lcl.chm";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  if (std::getenv("DISPLAY") == nullptr) {
    std::fprintf(stderr, "run_page_bench needs a display (bench/run_page_bench.sh)\n");
    return 2;
  }
  const char* root = std::getenv("VASKEL_BENCH_ROOT");
  const fs::path shm = fs::path(root != nullptr ? root : "/dev/shm") /
                       ("vaskel-run-bench-" + std::to_string(getpid()));
  fs::create_directories(shm / "runtime");
  fs::permissions(shm / "runtime", fs::perms::owner_all);
  ::setenv("XDG_RUNTIME_DIR", (shm / "runtime").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (shm / "config").c_str(), 1);

  Clock::time_point launched;
  std::string launched_path;
  vaskel::SetDesktopLauncher([&](const std::string& path, vaskel::DesktopProgram) {
    launched = Clock::now();
    launched_path = path;
  });

  wxApp::SetInstance(new vaskel::CVaskelApp());
  int wx_argc = 1;
  if (!wxEntryStart(wx_argc, argv)) return 2;
  delete wxLog::SetActiveTarget(new wxLogStderr());
  auto& app = static_cast<vaskel::CVaskelApp&>(*wxTheApp);
  if (!app.InitInstance({"-Embedding", help_file})) return 2;
  wxTheApp->ProcessPendingEvents();
  vaskel::CVaskelView* view = app.DocManager()->View();
  const int row = PageRow(view->Rows());
  if (row < 0) {
    std::fprintf(stderr, "%s holds no HTML page\n", help_file.c_str());
    return 2;
  }
  std::printf("%s: Run on %s%s\n", help_file.c_str(),
              std::string(view->Rows().GetItemText(row, vaskel::kPathColumn)).c_str(),
              std::string(view->Rows().GetItemText(row, vaskel::kNameColumn)).c_str());

  std::vector<double> shown, whole, again, peer;
  for (int run = 0; run < runs; ++run) {
    // The peer: the whole file unpacked by 7-Zip into tmpfs.
    const fs::path peer_out = shm / "7zz";
    const Clock::time_point peer_start = Clock::now();
    const std::string command =
        "7zz x -y -bso0 -bsp0 -o'" + peer_out.string() + "' '" + help_file + "' >/dev/null";
    if (std::system(command.c_str()) == 0) peer.push_back(Ms(Clock::now() - peer_start));
    fs::remove_all(peer_out);

    view->Pages()->Forget();
    vaskel::ClearPreviewFolder();
    // A fresh start for the copy: the help file's folder is known to be whole otherwise.
    vaskel::PagePreview fresh(nullptr);
    const Clock::time_point start = Clock::now();
    fresh.Run(view->Rows(), view->GetVaskelDoc()->Engine(), row, help_file);
    shown.push_back(Ms(launched - start));
    while (fresh.CopySome(std::chrono::milliseconds(20))) {
    }
    whole.push_back(Ms(Clock::now() - start));
    const Clock::time_point second = Clock::now();
    fresh.Run(view->Rows(), view->GetVaskelDoc()->Engine(), row, help_file);
    again.push_back(Ms(launched - second));
  }
  std::printf("page shown        %8.1f ms (median of %d)\n", Median(shown), runs);
  std::printf("whole file copied %8.1f ms\n", Median(whole));
  std::printf("later Run, reused %8.1f ms\n", Median(again));
  if (!peer.empty()) {
    std::printf("7zz x whole file  %8.1f ms   page shown / 7zz x = %.3f\n", Median(peer),
                Median(shown) / Median(peer));
  }

  // A drag of every row.
  view->Rows().SetItemState(-1, vaskel::LVIS_SELECTED, vaskel::LVIS_SELECTED);
  const long peak_before = PeakKilobytes();
  const Clock::time_point drag_start = Clock::now();
  const vaskel::DraggedFiles dragged = vaskel::DraggedRows(*view);
  const double drag_ms = Ms(Clock::now() - drag_start);
  const auto [drag_files, drag_bytes] = Holding(dragged.folder);
  std::printf(
      "drag of every row %8.1f ms until offered, %zu files, %.1f MB on disk, peak memory "
      "%ld -> %ld MB\n",
      drag_ms, drag_files, static_cast<double>(drag_bytes) / 1e6, peak_before / 1024,
      PeakKilobytes() / 1024);
  vaskel::DragEnded(dragged, wxDragCancel);
  view->Rows().SetItemState(-1, 0, vaskel::LVIS_SELECTED);

  // Closing with the whole file copied: as it was, the clean-up on the window's thread first.
  view->Pages()->Forget();
  CopyWhole(*view, row, help_file);
  const auto [close_files, close_bytes] = Holding(vaskel::ProcessPreviewFolderPath());
  const Clock::time_point old_close = Clock::now();
  vaskel::ClearPreviewFolder();
  const double old_ms = Ms(Clock::now() - old_close);
  CopyWhole(*view, row, help_file);
  // Now: File > Exit until the window is gone, then until the clean-up behind it is done.
  bool destroyed = false;
  app.MainFrame()->Bind(wxEVT_DESTROY, [&](wxWindowDestroyEvent&) { destroyed = true; });
  const Clock::time_point close_start = Clock::now();
  app.MainFrame()->Close();
  while (!destroyed) {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();  // deletes the closed frame
  }
  const double window_ms = Ms(Clock::now() - close_start);
  vaskel::FinishPreviewFolderRemoval();
  const double removed_ms = Ms(Clock::now() - close_start);
  std::printf(
      "close with %zu preview files (%.1f MB): clean-up before the window goes %8.1f ms; "
      "now window gone %8.1f ms, clean-up done %8.1f ms\n",
      close_files, static_cast<double>(close_bytes) / 1e6, old_ms, window_ms, removed_ms);
  app.ExitInstance();
  wxEntryCleanup();
  fs::remove_all(shm);
  return 0;
}
