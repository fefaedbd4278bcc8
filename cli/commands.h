// The sub-commands of vaskel-cli. Each command's file registers itself with a static
// CommandRegistration; main() dispatches by name.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace vaskel::cli {

using Arguments = std::span<const std::string>;

// Exit codes shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitCannotOpen = 2;

struct Command {
  std::string name;
  std::string synopsis;  // one line for the general usage text
  // Runs with the arguments after the command's name; returns the exit code.
  std::function<int(Arguments)> run;
};

struct CommandRegistration {
  explicit CommandRegistration(Command command);
};

const std::vector<Command>& RegisteredCommands();

bool WantsHelp(Arguments args);
// Prints `help` to standard output for --help (exit 0) or to standard error for misuse (exit 2).
int PrintHelp(Arguments args, const char* help);

}  // namespace vaskel::cli
