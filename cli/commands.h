// The sub-commands of vaskel-cli. Each takes the arguments after its name and returns the
// process exit code.
#pragma once

#include <span>
#include <string>

namespace vaskel::cli {

using Arguments = std::span<const std::string>;

int RunTree(Arguments args);
int RunTest(Arguments args);

// Exit codes shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitCannotOpen = 2;

bool WantsHelp(Arguments args);

}  // namespace vaskel::cli
