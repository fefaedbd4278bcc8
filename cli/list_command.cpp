#include <cstdio>
#include <string>

#include "catalogue/system_image_list.h"
#include "cli/commands.h"
#include "cli/open_help_file.h"
#include "storage/catalogue_list.h"

namespace vaskel::cli {
namespace {

constexpr char kListHelp[] =
    "usage: vaskel-cli list FILE.chm\n"
    "\n"
    "Prints the catalogue the window shows: one line per stored file, in the window's\n"
    "order (depth first, as stored), with the columns File Name, Size, Type and Path\n"
    "separated by tabs. Size is in bytes; Type is the desktop's name for the file type,\n"
    "empty when it knows none; Path is the folder inside the help file, each level\n"
    "followed by '/', empty at the top. Entries whose names begin with '#' or '$' (the\n"
    "help file's own bookkeeping) are left out, with everything in folders so named.\n"
    "Control characters in texts print as '?'. \"Total N file(s)\" goes to standard error.\n"
    "\n"
    "Exit status: 0 listed, 2 the help file cannot be opened.\n"
    "\n"
    "examples:\n"
    "  vaskel-cli list manual.chm\n"
    "  vaskel-cli list manual.chm | awk -F'\\t' '$3 == \"\"'          # files of no known type\n"
    "  vaskel-cli list manual.chm | sort -t$'\\t' -k2,2n | tail -5   # the largest files\n";

void AppendCell(std::string& line, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    line.push_back(byte < 0x20 || byte == 0x7F ? '?' : c);
  }
}

void PrintRows(const CatalogueList& list) {
  std::string lines;
  for (int row = 0; row < list.GetItemCount(); ++row) {
    for (int column = 0; column < list.GetColumnCount(); ++column) {
      if (column > 0) lines.push_back('\t');
      AppendCell(lines, list.GetItemText(row, column));
    }
    lines.push_back('\n');
    if (lines.size() >= 64 * 1024) {
      std::fwrite(lines.data(), 1, lines.size(), stdout);
      lines.clear();
    }
  }
  std::fwrite(lines.data(), 1, lines.size(), stdout);
  std::fflush(stdout);
}

int RunList(Arguments args) {
  if (WantsHelp(args) || args.size() != 1 || args[0].starts_with("-")) {
    return PrintHelp(args, kListHelp);
  }
  StorageEngine engine;
  if (!OpenHelpFile(engine, args[0])) return kExitCannotOpen;
  SystemImageList images;
  CatalogueList list;
  const std::int32_t count = engine.WalkCatalogue(list, images);
  list.SetRedraw(true);
  PrintRows(list);
  std::fprintf(stderr, "Total %d file(s)\n", count);
  return kExitOk;
}

const CommandRegistration kListCommand({"list", "the catalogue: name, size, type, path", RunList});

}  // namespace
}  // namespace vaskel::cli
