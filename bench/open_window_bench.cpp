// open_window_bench [runs]: opens writer-made help files of 20,000 and 100,000 streams in the
// window, as File > Open does, and times each open from the command to the populated, painted
// list. The time is split into the storage component's open, the walk (without type look-ups),
// the desktop's type and icon look-ups, the list control (item count, redraw, painting with
// type names and icons) and the rest (please-wait window, framework). Needs a display:
// bench/open_window_bench.sh starts a virtual one.
#include <unistd.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/srchctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/vaskel_app.h"
#include "app/vaskel_doc_manager.h"
#include "catalogue/catalogue_rows_control.h"
#include "catalogue/column_sort.h"
#include "catalogue/find_box.h"
#include "catalogue/vaskel_doc.h"
#include "catalogue/vaskel_view.h"
#include "storage/type_and_icon_source.h"
#include "tools/chmwriter/chm_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
using vaskel::chmwriter::Entry;

double Ms(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// Times the look-ups the walk makes, answering from the real source.
class TimedTypeSource final : public vaskel::TypeAndIconSource {
 public:
  explicit TimedTypeSource(vaskel::TypeAndIconSource& real) : real_(real) {}
  std::string_view TypeName(std::string_view name) override {
    const Clock::time_point start = Clock::now();
    const std::string_view type = real_.TypeName(name);
    spent_ += Clock::now() - start;
    return type;
  }
  int SmallIconIndex(std::string_view name) override {
    const Clock::time_point start = Clock::now();
    const int index = real_.SmallIconIndex(name);
    spent_ += Clock::now() - start;
    return index;
  }
  Clock::duration TakeSpent() { return std::exchange(spent_, Clock::duration{}); }

 private:
  vaskel::TypeAndIconSource& real_;
  Clock::duration spent_{};
};

// Streams spread over nested folders, with the extensions of real help files.
std::vector<Entry> ManyStreams(int count) {
  static const char* const kExtensions[] = {".html", ".htm", ".css", ".js",
                                            ".gif",  ".png", ".jpg", ".txt"};
  std::vector<Entry> entries;
  entries.reserve(static_cast<std::size_t>(count) + 2);
  entries.push_back(Entry{"/#SYSTEM", std::vector<std::uint8_t>(64, 's'), 0});
  for (int i = 0; i < count; ++i) {
    std::string path = "/part" + std::to_string(i % 20) + "/topic" + std::to_string(i % 7) + "/" +
                       "page" + std::to_string(i) + kExtensions[i % 8];
    entries.push_back(Entry{std::move(path), std::vector<std::uint8_t>(16 + i % 48, 'x'), 1});
  }
  return entries;
}

std::string WriteFile(const std::filesystem::path& path, const std::vector<Entry>& entries) {
  const std::vector<std::uint8_t> bytes = vaskel::chmwriter::WriteChm(entries);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

// The paint the event loop would do next.
void Paint(vaskel::CVaskelView& view) { view.ListCtrl()->Window().Update(); }

struct Shares {
  double total = 0, component = 0, walk = 0, types = 0, control = 0, please_wait = 0, other = 0;
  int rows = 0;
};

Shares OpenOnce(vaskel::CVaskelApp& app, TimedTypeSource& types, const std::string& path) {
  vaskel::CVaskelView* view = app.DocManager()->View();
  types.TakeSpent();
  const Clock::time_point start = Clock::now();
  app.OpenDocumentFile(wxString::FromUTF8(path));
  const Clock::time_point refreshed = Clock::now();
  // The paint the event loop would do next, with type names and icons.
  Paint(*view);
  const Clock::time_point painted = Clock::now();

  const vaskel::RefreshTimings& refresh = view->LastRefreshTimings();
  Shares shares;
  shares.rows = refresh.rows;
  shares.total = Ms(painted - start);
  shares.component = Ms(app.DocManager()->Document()->LastOpenDuration());
  shares.types = Ms(types.TakeSpent());
  shares.walk = Ms(refresh.walk) - shares.types;
  shares.control = Ms(refresh.control) + Ms(painted - refreshed);
  shares.please_wait = Ms(refresh.please_wait);
  shares.other = shares.total - shares.component - shares.walk - shares.types - shares.control -
                 shares.please_wait;
  return shares;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A click on the Size header, then one on Type, each to the painted list.
double SortOnce(vaskel::CVaskelView& view, int column) {
  const Clock::time_point start = Clock::now();
  vaskel::SortByColumnClick(view, column);
  Paint(view);
  return Ms(Clock::now() - start);
}

// Typing a text into the find box that a tenth of the rows match, then emptying it again, each
// to the painted list.
std::pair<double, double> FilterOnce(vaskel::CVaskelView& view) {
  wxSearchCtrl* box = view.Find()->Control();
  const Clock::time_point start = Clock::now();
  box->SetValue("topic3/page1");
  Paint(view);
  const Clock::time_point narrowed = Clock::now();
  box->SetValue(wxString());
  Paint(view);
  return {Ms(narrowed - start), Ms(Clock::now() - narrowed)};
}

void Print(const char* label, const Shares& s) {
  const auto percent = [&](double part) { return 100.0 * part / s.total; };
  std::printf(
      "%-24s %7d rows %8.1f ms | component %6.1f (%4.1f%%) walk %6.1f (%4.1f%%) types %6.1f "
      "(%4.1f%%) control %6.1f (%4.1f%%) please-wait %5.1f (%4.1f%%) other %5.1f (%4.1f%%)\n",
      label, s.rows, s.total, s.component, percent(s.component), s.walk, percent(s.walk), s.types,
      percent(s.types), s.control, percent(s.control), s.please_wait, percent(s.please_wait),
      s.other, percent(s.other));
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  if (std::getenv("DISPLAY") == nullptr) {
    std::fprintf(stderr, "open_window_bench needs a display (bench/open_window_bench.sh)\n");
    return 2;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("vaskel-window-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);

  wxApp::SetInstance(new vaskel::CVaskelApp());
  int wx_argc = 1;
  if (!wxEntryStart(wx_argc, argv)) return 2;
  delete wxLog::SetActiveTarget(new wxLogStderr());
  auto& app = static_cast<vaskel::CVaskelApp&>(*wxTheApp);
  // No Tip of the Day at start-up: its modal dialog would wait for a click.
  if (!app.InitInstance({"-Embedding"})) return 2;
  wxTheApp->ProcessPendingEvents();

  vaskel::CVaskelView* view = app.DocManager()->View();
  TimedTypeSource types(view->ImageLists());
  view->SetTypeAndIconSource(&types);

  for (const int count : {20000, 100000}) {
    const std::vector<Entry> entries = ManyStreams(count);
    // Two copies: opening the file already open reads nothing.
    const std::string copies[2] = {
        WriteFile(folder / ("a" + std::to_string(count) + ".chm"), entries),
        WriteFile(folder / ("b" + std::to_string(count) + ".chm"), entries)};
    std::vector<Shares> warm;
    for (int run = 0; run <= runs; ++run) {
      const Shares shares = OpenOnce(app, types, copies[run % 2]);
      if (run == 0) {
        Print((std::to_string(count) + " streams, first").c_str(), shares);
      } else {
        warm.push_back(shares);
      }
    }
    std::sort(warm.begin(), warm.end(),
              [](const Shares& a, const Shares& b) { return a.total < b.total; });
    Print((std::to_string(count) + " streams, median").c_str(), warm[warm.size() / 2]);
    std::vector<double> size_sorts, type_sorts, narrows, widens;
    for (int run = 0; run < runs; ++run) {
      size_sorts.push_back(SortOnce(*view, vaskel::kSizeColumn));
      type_sorts.push_back(SortOnce(*view, vaskel::kTypeColumn));
      const auto [narrow, widen] = FilterOnce(*view);
      narrows.push_back(narrow);
      widens.push_back(widen);
    }
    std::printf(
        "%-24s sort by Size %7.1f ms, by Type %7.1f ms | find narrows %7.1f ms, "
        "emptied %7.1f ms (%d rows shown)\n",
        (std::to_string(count) + " streams, median").c_str(), Median(size_sorts),
        Median(type_sorts), Median(narrows), Median(widens), view->Rows().GetItemCount());
  }

  view->SetTypeAndIconSource(nullptr);
  app.ExitInstance();
  wxEntryCleanup();
  std::filesystem::remove_all(folder);
  return 0;
}
