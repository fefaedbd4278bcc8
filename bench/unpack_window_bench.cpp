// unpack_window_bench FILE.chm OUT_ROOT [runs]: opening the file in the window up to the status
// bar's "Total N file(s)", then the window's Unpack of all rows (from the confirmed dialog to the
// progress window's end), with the list unsorted and sorted by Size, against `vaskel-cli unpack`
// of the same file, alternating the three in every round. Prints medians and ratios. Needs a
// display (bench/unpack_window_bench.sh starts a virtual one) and VASKEL_CLI naming vaskel-cli.
// Builds for Windows too (bench/windows_bench.sh runs it under Wine).
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/log.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/main_frame.h"
#include "app/vaskel_app.h"
#include "app/vaskel_doc_manager.h"
#include "catalogue/column_sort.h"
#include "catalogue/vaskel_doc.h"
#include "catalogue/vaskel_view.h"
#include "storage/catalogue_list.h"
#include "unpack/unpack_rows.h"

namespace {

using Clock = std::chrono::steady_clock;

#ifdef _WIN32
constexpr char kNullDevice[] = "NUL";
#else
constexpr char kNullDevice[] = "/dev/null";
#endif

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const std::size_t middle = samples.size() / 2;
  return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

double TimeWindowUnpack(vaskel::CVaskelApp& app, const std::string& folder) {
  vaskel::CVaskelView* view = app.DocManager()->View();
  vaskel::UnpackJob job;
  job.rows = &view->Rows();
  job.engine = &app.DocManager()->Document()->Engine();
  job.choices = {folder, vaskel::UnpackChoice::kAllFiles, true};
  std::filesystem::create_directories(folder);
  const Clock::time_point start = Clock::now();
  vaskel::UnpackRows(job);
  return Seconds(Clock::now() - start);
}

// From File > Open's command to the status bar's count, as a person sees the open end.
double TimeOpen(vaskel::CVaskelApp& app, const std::string& file, wxString& status) {
  const Clock::time_point start = Clock::now();
  app.OpenDocumentFile(wxString::FromUTF8(file));
  wxTheApp->ProcessPendingEvents();
  const double seconds = Seconds(Clock::now() - start);
  status = app.MainFrame()->GetStatusBar()->GetStatusText(0);
  return seconds;
}

double TimeCommand(const std::string& command) {
  const Clock::time_point start = Clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  return Seconds(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  const char* cli = std::getenv("VASKEL_CLI");
#ifdef _WIN32
  const bool has_display = true;
#else
  const bool has_display = std::getenv("DISPLAY") != nullptr;
#endif
  if (argc < 3 || !has_display || cli == nullptr) {
    std::fprintf(stderr,
                 "usage: VASKEL_CLI=vaskel-cli unpack_window_bench FILE OUT_ROOT [runs]"
                 " (with a display)\n");
    return 2;
  }
  const std::string file = argv[1];
  const std::filesystem::path out = std::filesystem::path(argv[2]) / "vaskel-unpack-window";
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  std::filesystem::remove_all(out);
  std::filesystem::create_directories(out);
#ifndef _WIN32
  ::setenv("XDG_CONFIG_HOME", (out / "config").c_str(), 1);  // Windows: the registry profile
#endif

  wxApp::SetInstance(new vaskel::CVaskelApp());
  int wx_argc = 1;
  if (!wxEntryStart(wx_argc, argv)) return 2;
  delete wxLog::SetActiveTarget(new wxLogStderr());
  auto& app = static_cast<vaskel::CVaskelApp&>(*wxTheApp);
  // No tip at start-up: its dialog would wait for someone to close it.
  if (!app.InitInstance({"-Embedding"})) return 2;
  wxTheApp->ProcessPendingEvents();
  // Two copies to open in turn: opening the file already open reads nothing.
  const std::string copies[] = {(out / "a" / std::filesystem::path(file).filename()).string(),
                                (out / "b" / std::filesystem::path(file).filename()).string()};
  for (const std::string& copy : copies) {
    std::filesystem::create_directories(std::filesystem::path(copy).parent_path());
    std::filesystem::copy_file(file, copy);
  }
  wxString status;
  const double first_open = TimeOpen(app, copies[0], status);
  vaskel::CVaskelView* view = app.DocManager()->View();
  // Double quotes: both the POSIX shell and Windows' command processor take them.
  std::string cli_command = std::string("\"") + cli + "\" unpack \"" + file + "\" -o \"" +
                            (out / "cli").string() + "\" 2>" + kNullDevice;
#ifdef _WIN32
  // cmd /c drops the first and the last quote of a line that starts with one.
  cli_command = "\"" + cli_command + "\"";
#endif

  std::vector<double> opens, unsorted, sorted, command;
  for (int run = 0; run < runs; ++run) {
    // Catalogue order: the other copy opened afresh.
    opens.push_back(TimeOpen(app, copies[(run + 1) % 2], status));
    unsorted.push_back(TimeWindowUnpack(app, (out / "unsorted").string()));
    std::filesystem::remove_all(out / "unsorted");
    vaskel::SortByColumnClick(*view, vaskel::kSizeColumn);
    sorted.push_back(TimeWindowUnpack(app, (out / "sorted").string()));
    std::filesystem::remove_all(out / "sorted");
    command.push_back(TimeCommand(cli_command));
    std::filesystem::remove_all(out / "cli");
  }
  const double cli_median = Median(command);
  std::printf("%-28s open to \"%s\": first %.3f s, median %.3f s\n",
              std::filesystem::path(file).filename().string().c_str(),
              static_cast<const char*>(status.utf8_str()), first_open, Median(opens));
  std::printf(
      "%-28s %7d rows | window %7.3f s (%.2fx cli) | sorted by Size %7.3f s (%.2fx cli) |"
      " vaskel-cli unpack %7.3f s\n",
      std::filesystem::path(file).filename().string().c_str(), view->Rows().GetItemCount(),
      Median(unsorted), Median(unsorted) / cli_median, Median(sorted), Median(sorted) / cli_median,
      cli_median);

  app.ExitInstance();
  wxEntryCleanup();
  // A folder left behind is told, not thrown: the figures above are what was asked for.
  std::error_code error;
  std::filesystem::remove_all(out, error);
  if (error)
    std::fprintf(stderr, "could not remove %s: %s\n", out.string().c_str(),
                 error.message().c_str());
  return 0;
}
