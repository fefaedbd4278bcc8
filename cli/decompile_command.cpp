#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/open_help_file.h"
#include "platform/fs/utf8_path.h"
#include "storage/catalogue_list.h"
#include "storage/entry_files.h"
#include "storage/extraction_job.h"
#include "storage/help_project_writer.h"
#include "storage/path_limit.h"
#include "storage/type_and_icon_source.h"

namespace vaskel::cli {
namespace {

constexpr char kDecompileHelp[] =
    "usage: vaskel-cli decompile FILE.chm FOLDER\n"
    "\n"
    "Unpacks the help file as a project that a help compiler can build again: every file of\n"
    "the catalogue is written below FOLDER with its internal folders (as 'unpack' does), and\n"
    "beside them NAME.hhp (NAME-project.hhp when the help file stores a file of that name)\n"
    "with the options (compiled file, contents and index files, default topic, title,\n"
    "language, default window and font, full-text search, binary contents and index,\n"
    "compatibility), the window definitions, the context ids ([ALIAS] and [MAP]) and the\n"
    "files to compile ([FILES]). Help files keep no symbolic names for context ids: each is\n"
    "written IDH_<number>. What the help file does not store is written as a comment.\n"
    "\n"
    "Exit status: 0 done; 1 a file's data or a record of the project is damaged (each is\n"
    "named on standard error; what could be read is written), or a file could not be\n"
    "written; 2 the help file cannot be opened or the command line is wrong.\n"
    "\n"
    "example:\n"
    "  vaskel-cli decompile manual.chm manual && (cd manual && chmcmd manual.hhp)\n";

class NoTypesOrIcons final : public TypeAndIconSource {
 public:
  std::string_view TypeName(std::string_view) override { return {}; }
  int SmallIconIndex(std::string_view) override { return 0; }
};

int RunDecompile(Arguments args) {
  if (WantsHelp(args) || args.size() != 2) return PrintHelp(args, kDecompileHelp);
  const std::string& help_file = args[0];
  const std::string& folder = args[1];

  StorageEngine engine;
  bool directory_damaged = false;
  if (!OpenHelpFile(engine, help_file, &directory_damaged)) return kExitCannotOpen;
  CatalogueList list;
  NoTypesOrIcons no_types;
  engine.WalkCatalogue(list, no_types);

  const std::vector<std::string> stored = StoredFileNames(list);
  std::vector<JobEntry> entries;
  entries.reserve(list.GetItemCount());
  for (int row = 0; row < list.GetItemCount(); ++row) entries.push_back(engine.RowEntry(list, row));

  std::error_code made_error;
  std::filesystem::create_directories(platform::Utf8Path(folder), made_error);
  ExtractionJob job(std::move(entries));
  EntryFiles files(job.Entries(), folder, true, [](const ExtractionError& error) {
    std::fprintf(stderr, "vaskel-cli: %s\n", error.what());
  });
  try {
    files.PrepareFolders();
    job.Run(files);
  } catch (const std::exception& error) {  // ExtractionError, or running out of memory
    std::fprintf(stderr, "vaskel-cli: %s\n", error.what());
    std::fprintf(stderr, "vaskel-cli: stopped after %zu file(s); they are kept\n",
                 files.FilesWritten());
    return kExitFailure;
  }

  const WrittenProject written =
      WriteHelpProject(*engine.GetRootStorage(), stored, help_file, folder);
  const HelpProject& project = written.project;
  for (const std::string& warning : project.warnings)
    std::fprintf(stderr, "vaskel-cli: %s: %s\n", help_file.c_str(), warning.c_str());
  const std::string& project_name = written.file_name;
  if (!written.written) {
    std::fprintf(stderr, "vaskel-cli: %s/%s: cannot be written\n", folder.c_str(),
                 project_name.c_str());
    return kExitFailure;
  }
  std::fprintf(stderr, "Wrote %zu file(s) and %s: %zu window(s), %zu context id(s)",
               files.FilesWritten(), project_name.c_str(), project.windows.size(),
               project.context_ids.size());
  if (files.Skipped())
    std::fprintf(stderr, "; %zu could not be opened and were skipped", files.Skipped());
  if (files.Damaged()) std::fprintf(stderr, "; %zu damaged and left out", files.Damaged());
  if (!project.warnings.empty())
    std::fprintf(stderr, "; %zu damaged record(s) left out", project.warnings.size());
  std::fputc('\n', stderr);
  if (directory_damaged) {
    std::fprintf(stderr, "vaskel-cli: %s: entries were lost to a damaged directory (named above)\n",
                 help_file.c_str());
  }
  return files.Damaged() || !project.warnings.empty() || directory_damaged ? kExitFailure : kExitOk;
}

const CommandRegistration kDecompileCommand(
    {"decompile", "unpacks the help file as a project a help compiler rebuilds", RunDecompile});

}  // namespace
}  // namespace vaskel::cli
