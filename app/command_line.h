// The command line as the application reads it: an optional file to open and the flags
// "Embedding", "Automation" (no Tip of the Day) and "Unregister", "Unregserver" (remove the
// profile and end), in any letter case. A flag starts with '-'; on Windows '/' also starts one,
// while elsewhere '/' starts every absolute path and so names a file.
#pragma once

#include <string>
#include <vector>

namespace vaskel {

#ifdef _WIN32
inline constexpr bool kSlashStartsFlags = true;
#else
inline constexpr bool kSlashStartsFlags = false;
#endif

struct CommandLineInfo {
  enum class ShellCommand { kFileNew, kFileOpen, kUnregister };
  ShellCommand shell_command = ShellCommand::kFileNew;
  std::string file_name;  // the first plain argument
  bool show_splash = true;
  bool run_embedded = false;
  bool run_automated = false;
};

// `arguments` excludes the program's name. Unknown flags are ignored, as are plain arguments
// after the first.
CommandLineInfo ParseCommandLine(const std::vector<std::string>& arguments,
                                 bool slash_starts_flags = kSlashStartsFlags);

}  // namespace vaskel
