#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

constexpr char kUsage[] =
    "usage: vaskel-cli COMMAND FILE.chm [options]\n"
    "\n"
    "Lists and checks the files stored inside compiled HTML help (.chm).\n"
    "\n"
    "commands:\n"
    "  tree FILE   every folder and file in stored order\n"
    "  test FILE   reads every file; prints SHA-256 sums (sha256sum format)\n"
    "\n"
    "'vaskel-cli COMMAND --help' explains one command.\n";

}  // namespace

namespace vaskel::cli {

bool WantsHelp(Arguments args) {
  for (const auto& arg : args) {
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

}  // namespace vaskel::cli

int main(int argc, char** argv) {
  using namespace vaskel::cli;
  const std::vector<std::string> all(argv + 1, argv + argc);
  if (all.empty() || all[0] == "--help" || all[0] == "-h" || all[0] == "help") {
    std::fputs(kUsage, all.empty() ? stderr : stdout);
    return all.empty() ? kExitCannotOpen : kExitOk;
  }
  const Arguments rest(all.data() + 1, all.size() - 1);
  if (all[0] == "tree") return RunTree(rest);
  if (all[0] == "test") return RunTest(rest);
  std::fprintf(stderr, "vaskel-cli: unknown command '%s'\n%s", all[0].c_str(), kUsage);
  return kExitCannotOpen;
}
