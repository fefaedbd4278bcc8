#include <cstdio>

#include "cli/commands.h"
#include "cli/open_help_file.h"
#include "cli/storage_tree.h"

namespace vaskel::cli {
namespace {

constexpr char kTreeHelp[] =
    "usage: vaskel-cli tree FILE.chm\n"
    "\n"
    "Prints every folder and file the help file presents, depth first in stored order:\n"
    "  S<TAB>path/            a folder (storage)\n"
    "  F<TAB>path<TAB>size    a file (stream), size in bytes\n"
    "\n"
    "example:\n"
    "  vaskel-cli tree manual.chm | grep '^F' | sort -t$'\\t' -k3 -n | tail\n";

int RunTree(Arguments args) {
  if (WantsHelp(args) || args.size() != 1) return PrintHelp(args, kTreeHelp);
  StorageEngine engine;
  if (!OpenHelpFile(engine, args[0])) return kExitCannotOpen;
  TreeVisitor visitor;
  visitor.on_storage = [](const std::string& path) { std::printf("S\t%s/\n", path.c_str()); };
  visitor.on_stream = [](IStorage*, const std::u16string&, const std::string& path,
                         std::uint64_t size) {
    std::printf("F\t%s\t%llu\n", path.c_str(), static_cast<unsigned long long>(size));
  };
  const bool complete = VisitTree(engine.GetRootStorage(), visitor);
  if (!complete)
    std::fprintf(stderr, "vaskel-cli: %s: some folders could not be read\n", args[0].c_str());
  return complete ? kExitOk : kExitFailure;
}

const CommandRegistration kTreeCommand({"tree", "every folder and file, in stored order", RunTree});

}  // namespace
}  // namespace vaskel::cli
