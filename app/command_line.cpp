#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace vaskel {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

void ParseFlag(std::string_view flag, CommandLineInfo& info) {
  if (EqualsIgnoringCase(flag, "Embedding")) {
    info.run_embedded = true;
    info.show_splash = false;
  } else if (EqualsIgnoringCase(flag, "Automation")) {
    info.run_automated = true;
    info.show_splash = false;
  } else if (EqualsIgnoringCase(flag, "Unregister") || EqualsIgnoringCase(flag, "Unregserver")) {
    info.shell_command = CommandLineInfo::ShellCommand::kUnregister;
  }
}

}  // namespace

CommandLineInfo ParseCommandLine(const std::vector<std::string>& arguments,
                                 bool slash_starts_flags) {
  CommandLineInfo info;
  for (const std::string& argument : arguments) {
    const bool is_flag =
        !argument.empty() && (argument[0] == '-' || (slash_starts_flags && argument[0] == '/'));
    if (is_flag) {
      ParseFlag(std::string_view(argument).substr(1), info);
    } else if (info.file_name.empty() && !argument.empty()) {
      info.file_name = argument;
      if (info.shell_command == CommandLineInfo::ShellCommand::kFileNew) {
        info.shell_command = CommandLineInfo::ShellCommand::kFileOpen;
      }
    }
  }
  return info;
}

}  // namespace vaskel
