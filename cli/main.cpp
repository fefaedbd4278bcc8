#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_language.h"
#include "cli/commands.h"
#include "platform/com/component_factory.h"
#include "platform/com/system_component.h"
#include "platform/process/process_environment.h"
#include "platform/text/translation.h"

namespace vaskel::cli {
namespace {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

void PrintUsage(std::FILE* out) {
  // TRANSLATORS: keep the command names and options as they are.
  std::fputs(
      Tr("usage: vaskel-cli COMMAND FILE.chm [options]\n"
         "\n"
         "Lists, checks and unpacks the files stored inside compiled HTML help (.chm).\n"
         "\n"
         "options (before or after the command):\n"
         "  --component=own|system  which compiled-help reader opens the file: our own (the\n"
         "                          default) or the platform's (Windows only)\n"
         "\n"
         "commands:\n")
          .c_str(),
      out);
  for (const auto& command : RegisteredCommands()) {
    std::fprintf(out, "  %-8s %s\n", command.name.c_str(), Tr(command.synopsis.c_str()).c_str());
  }
  std::fputs(Tr("\n'vaskel-cli COMMAND --help' explains one command, with examples.\n").c_str(),
             out);
}

}  // namespace

CommandRegistration::CommandRegistration(Command command) {
  auto& commands = Registry();
  commands.push_back(std::move(command));
  std::sort(commands.begin(), commands.end(),
            [](const Command& a, const Command& b) { return a.name < b.name; });
}

const std::vector<Command>& RegisteredCommands() { return Registry(); }

bool WantsHelp(Arguments args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
}

int PrintHelp(Arguments args, const char* help) {
  const bool asked = WantsHelp(args);
  std::fputs(Tr(help).c_str(), asked ? stdout : stderr);
  return asked ? kExitOk : kExitCannotOpen;
}

}  // namespace vaskel::cli

int main(int argc, char** argv) {
  using namespace vaskel::cli;
  vaskel::platform::PrepareStandardStreams();
  UseDesktopLanguage();
  std::vector<std::string> all = vaskel::platform::Utf8Arguments(argc, argv);
  // --component=system, anywhere: the platform's own compiled-help component reads the file
  // instead of ours.
  std::optional<vaskel::ScopedComponentOverride> component;
  for (auto it = all.begin(); it != all.end();) {
    if (!it->starts_with("--component=")) {
      ++it;
      continue;
    }
    const std::string choice = it->substr(12);
    if (choice == "system") {
      component.emplace(vaskel::CreateSystemComponent);
    } else if (choice != "own") {
      std::fprintf(stderr,
                   vaskel::Tr("vaskel-cli: --component is 'own' or 'system', not '%s'\n").c_str(),
                   choice.c_str());
      return kExitCannotOpen;
    }
    it = all.erase(it);
  }
  if (all.empty() || all[0] == "--help" || all[0] == "-h" || all[0] == "help") {
    PrintUsage(all.empty() ? stderr : stdout);
    return all.empty() ? kExitCannotOpen : kExitOk;
  }
  const Arguments rest(all.data() + 1, all.size() - 1);
  for (const auto& command : RegisteredCommands()) {
    if (command.name == all[0]) return command.run(rest);
  }
  std::fprintf(stderr, vaskel::Tr("vaskel-cli: unknown command '%s'\n").c_str(), all[0].c_str());
  PrintUsage(stderr);
  return kExitCannotOpen;
}
