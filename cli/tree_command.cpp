#include <cstdio>

#include "cli/commands.h"
#include "cli/open_help_file.h"
#include "platform/text/translation.h"
#include "storage/storage_tree_walk.h"

namespace vaskel::cli {
namespace {

// TRANSLATORS: keep the command, its options and the examples as they are.
constexpr char kTreeHelp[] = TrNoop(
    "usage: vaskel-cli tree FILE.chm\n"
    "\n"
    "Prints every folder and file the help file presents, depth first in stored order:\n"
    "  S<TAB>path/            a folder (storage)\n"
    "  F<TAB>path<TAB>size    a file (stream), size in bytes\n"
    "\n"
    "example:\n"
    "  vaskel-cli tree manual.chm | grep '^F' | sort -t$'\\t' -k3 -n | tail\n");

class TreePrinter final : public TreeVisitor {
 public:
  bool EnterStorage(const TreeElement& element) override {
    std::printf("S\t%.*s%.*s/\n", Length(element.folder), element.folder.data(),
                Length(element.name), element.name.data());
    return true;
  }
  void Stream(const TreeElement& element) override {
    std::printf("F\t%.*s%.*s\t%llu\n", Length(element.folder), element.folder.data(),
                Length(element.name), element.name.data(),
                static_cast<unsigned long long>(element.stat.cbSize));
  }

 private:
  static int Length(std::string_view text) { return static_cast<int>(text.size()); }
};

int RunTree(Arguments args) {
  if (WantsHelp(args) || args.size() != 1) return PrintHelp(args, kTreeHelp);
  StorageEngine engine;
  if (!OpenHelpFile(engine, args[0])) return kExitCannotOpen;
  TreePrinter printer;
  const bool complete = WalkTree(engine.GetRootStorage(), std::string(), '/', printer);
  if (!complete)
    std::fprintf(stderr, Tr("vaskel-cli: %s: some folders could not be read\n").c_str(),
                 args[0].c_str());
  return complete ? kExitOk : kExitFailure;
}

const CommandRegistration kTreeCommand({"tree", TrNoop("every folder and file, in stored order"),
                                        RunTree});

}  // namespace
}  // namespace vaskel::cli
