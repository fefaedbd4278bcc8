#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/files_report.h"
#include "cli/open_help_file.h"
#include "platform/process/process_environment.h"
#include "platform/text/translation.h"
#include "storage/catalogue_list.h"
#include "storage/entry_files.h"
#include "storage/extraction_job.h"
#include "storage/path_limit.h"
#include "storage/type_and_icon_source.h"

namespace vaskel::cli {
namespace {

// TRANSLATORS: keep the command, its options and the examples as they are.
constexpr char kUnpackHelp[] = TrNoop(
    "usage: vaskel-cli unpack FILE.chm -o DIR [--flat] [--only GLOB]...\n"
    "\n"
    "Writes the files of the help file's catalogue (every stored file but those whose name,\n"
    "or a folder's name above them, begins with '#' or '$') into DIR, in the order their\n"
    "bytes are stored, recreating the internal folders below DIR. DIR is made when missing;\n"
    "existing files are replaced.\n"
    "\n"
    "options:\n"
    "  -o, --output DIR  the folder to write into (required)\n"
    "  --flat            write every file straight into DIR, without the internal folders;\n"
    "                    of files with the same name, the last one in the catalogue remains\n"
    "  --only GLOB       write only the files whose internal path and name (\"html/a.htm\")\n"
    "                    match GLOB (shell wildcards as in fnmatch(3), letter case counting;\n"
    "                    '*' also matches '/'); may be repeated, a file matching any of\n"
    "                    them is written\n"
    "\n"
    "On a terminal a progress line is shown on standard error; a summary (files, bytes,\n"
    "seconds) ends the run. With --flat, the files written over by a later file of the same\n"
    "name are counted on standard error (this alone does not change the exit status).\n"
    "Exit status: 0 done; 1 a file's data is damaged (each such file is named on standard\n"
    "error and left out, the others are written), entries were lost to a damaged directory\n"
    "(named on standard error by chunk and reason; the files listed are written), or a file\n"
    "could not be written (named on standard error; the unpack stops there, the files\n"
    "written before it stay); 2 the help file cannot be opened or the command line is wrong.\n"
    "\n"
    "examples:\n"
    "  vaskel-cli unpack manual.chm -o manual\n"
    "  vaskel-cli unpack manual.chm -o pages --flat --only '*.htm' --only '*.html'\n"
    "  vaskel-cli unpack manual.chm -o images --only 'images/*'\n");

struct UnpackOptions {
  std::string help_file;
  std::string output;
  bool flat = false;
  std::vector<std::string> globs;
};

// Parses the arguments; false (after saying why) on a usage error.
bool ParseOptions(Arguments args, UnpackOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takes_value = arg == "-o" || arg == "--output" || arg == "--only";
    if (takes_value && i + 1 == args.size()) {
      std::fprintf(stderr, Tr("vaskel-cli unpack: %s needs a value\n").c_str(), arg.c_str());
      return false;
    }
    if (arg == "-o" || arg == "--output") {
      options.output = args[++i];
    } else if (arg == "--only") {
      options.globs.push_back(args[++i]);
    } else if (arg == "--flat") {
      options.flat = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, Tr("vaskel-cli unpack: unknown option %s\n").c_str(), arg.c_str());
      return false;
    } else if (options.help_file.empty()) {
      options.help_file = arg;
    } else {
      std::fprintf(stderr, Tr("vaskel-cli unpack: one help file only\n").c_str());
      return false;
    }
  }
  if (options.help_file.empty() || options.output.empty()) {
    std::fprintf(stderr, Tr("vaskel-cli unpack: a help file and -o DIR are required\n").c_str());
    return false;
  }
  return true;
}

// Unpacking needs no type names or icons: the walk is spared the desktop's look-ups.
class NoTypesOrIcons final : public TypeAndIconSource {
 public:
  std::string_view TypeName(std::string_view) override { return {}; }
  int SmallIconIndex(std::string_view) override { return 0; }
};

// The rows to write, in list order: all, or those whose internal path and name match a glob.
std::vector<int> ChooseRows(const CatalogueList& list, const std::vector<std::string>& globs) {
  std::vector<int> rows;
  std::string internal_name;
  for (int row = 0; row < list.GetItemCount(); ++row) {
    if (!globs.empty()) {
      internal_name = list.GetItemText(row, kPathColumn);
      internal_name += list.GetItemText(row, kNameColumn);
      // Globs name folders with '/' whatever the platform's separator.
      std::replace(internal_name.begin(), internal_name.end(), kPathSeparator, '/');
      bool chosen = false;
      for (const std::string& glob : globs) {
        if (platform::GlobMatches(glob, internal_name)) {
          chosen = true;
          break;
        }
      }
      if (!chosen) continue;
    }
    rows.push_back(row);
  }
  return rows;
}

// "Unpacking:name [pct%]" on a terminal, rewritten at most every tenth of a second or when
// the percentage changes, so that a fast unpack does not spend its time on the terminal.
class ProgressLine {
 public:
  explicit ProgressLine(std::size_t total)
      : total_(total), shown_(platform::StandardErrorIsTerminal()) {}
  void Show(std::size_t done, std::string_view name) {
    if (!shown_ || total_ == 0) return;
    const int percent = static_cast<int>(done * 100 / total_);
    const auto now = std::chrono::steady_clock::now();
    if (percent == percent_ && now - last_ < std::chrono::milliseconds(100)) return;
    percent_ = percent;
    last_ = now;
    std::fprintf(stderr, ("\r\033[K" + Tr("Unpacking:%.*s [%d%%]")).c_str(),
                 static_cast<int>(name.size()), name.data(), percent);
    std::fflush(stderr);
  }
  void Clear() {
    if (shown_ && percent_ >= 0) std::fputs("\r\033[K", stderr);
  }

 private:
  std::size_t total_;
  bool shown_;
  int percent_ = -1;
  std::chrono::steady_clock::time_point last_;
};

// Shows the progress line as each entry begins, then passes everything on to the files.
class ShownProgress final : public EntrySink {
 public:
  ShownProgress(EntryFiles& files, const std::vector<JobEntry>& entries, ProgressLine& line)
      : files_(files), entries_(entries), line_(line) {}
  void Begin(std::size_t entry, std::uint64_t size) override {
    line_.Show(done_++, entries_[entry].name);
    files_.Begin(entry, size);
  }
  void Write(std::span<const std::uint8_t> bytes) override { files_.Write(bytes); }
  void End(HRESULT result) override { files_.End(result); }
  void Skip(std::size_t entry) override {
    ++done_;
    files_.Skip(entry);
  }

 private:
  EntryFiles& files_;
  const std::vector<JobEntry>& entries_;
  ProgressLine& line_;
  std::size_t done_ = 0;
};

int RunUnpack(Arguments args) {
  if (WantsHelp(args)) return PrintHelp(args, kUnpackHelp);
  UnpackOptions options;
  if (!ParseOptions(args, options)) return PrintHelp({}, kUnpackHelp);
  const auto started = std::chrono::steady_clock::now();

  StorageEngine engine;
  bool directory_damaged = false;
  if (!OpenHelpFile(engine, options.help_file, &directory_damaged)) return kExitCannotOpen;
  CatalogueList list;
  NoTypesOrIcons no_types;
  engine.WalkCatalogue(list, no_types);
  const std::vector<int> rows = ChooseRows(list, options.globs);
  if (!options.globs.empty() && rows.empty())
    std::fprintf(stderr, Tr("vaskel-cli: %s: no file matches --only\n").c_str(),
                 options.help_file.c_str());

  std::error_code made_error;
  std::filesystem::create_directories(options.output, made_error);

  std::vector<JobEntry> entries;
  entries.reserve(rows.size());
  for (const int row : rows) entries.push_back(engine.RowEntry(list, row));
  std::vector<std::string> written_over;
  if (options.flat) entries = LastOfEachName(std::move(entries), &written_over);
  ExtractionJob job(std::move(entries));
  ProgressLine progress(job.Entries().size());
  // A damaged file is named and left out; the others are still written.
  EntryFiles files(job.Entries(), options.output, !options.flat,
                   [&progress](const ExtractionError& error) {
                     progress.Clear();
                     std::fprintf(stderr, "vaskel-cli: %s\n", error.what());
                   });
  ShownProgress sink(files, job.Entries(), progress);
  try {
    files.PrepareFolders();
    job.Run(sink);
  } catch (const std::exception& error) {  // ExtractionError, or running out of memory
    progress.Clear();
    std::fprintf(stderr, "vaskel-cli: %s\n", error.what());
    PrintStoppedAfter(files.FilesWritten());
    return kExitFailure;
  }
  progress.Clear();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::fprintf(stderr,
               TrPlural("Unpacked %zu file(s), %llu bytes, in %.2f s",
                        "Unpacked %zu file(s), %llu bytes, in %.2f s", files.FilesWritten())
                   .c_str(),
               files.FilesWritten(), static_cast<unsigned long long>(files.BytesWritten()),
               seconds);
  PrintSkippedAndDamaged(files.Skipped(), files.Damaged());
  std::fputc('\n', stderr);
  // Reported, not failed: the last of each name winning is what --flat promises.
  if (!written_over.empty()) {
    std::fprintf(stderr, Tr("vaskel-cli: warning: %s\n").c_str(),
                 WrittenOverText(written_over).c_str());
  }
  if (directory_damaged) {
    std::fprintf(
        stderr,
        Tr("vaskel-cli: %s: entries were lost to a damaged directory (named above)\n").c_str(),
        options.help_file.c_str());
  }
  return files.Damaged() || directory_damaged ? kExitFailure : kExitOk;
}

const CommandRegistration kUnpackCommand({"unpack",
                                          TrNoop("writes the catalogue's files into a folder"),
                                          RunUnpack});

}  // namespace
}  // namespace vaskel::cli
