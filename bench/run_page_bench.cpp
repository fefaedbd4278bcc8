// run_page_bench [help file] [runs]: Run on an HTML page of a help file (the corpus's lcl.chm
// by default) in the window, with the preview folder on tmpfs (/dev/shm): the time from the
// command to the page handed to the browser, the time until the rest of the file has followed
// in idle time, and a later Run that reuses the copy. For scale, `7zz x` of the whole file into
// tmpfs is timed in the same runs, alternating. Needs a display:
// bench/run_page_bench.sh starts a virtual one.
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

#include "app/vaskel_app.h"
#include "app/vaskel_doc_manager.h"
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

}  // namespace

int main(int argc, char** argv) {
  const std::string help_file = argc > 1 ? argv[1] : VASKEL_CORPUS_DIR "/real/lcl.chm";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  if (std::getenv("DISPLAY") == nullptr) {
    std::fprintf(stderr, "run_page_bench needs a display (bench/run_page_bench.sh)\n");
    return 2;
  }
  const fs::path shm = fs::path("/dev/shm") / ("vaskel-run-bench-" + std::to_string(getpid()));
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
  app.ExitInstance();
  wxEntryCleanup();
  fs::remove_all(shm);
  return 0;
}
