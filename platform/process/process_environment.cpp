#include "platform/process/process_environment.h"

#include <fnmatch.h>
#include <sched.h>
#include <unistd.h>

namespace vaskel::platform {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareStandardStreams() {}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

int UsableCores() {
  cpu_set_t cores;
  if (sched_getaffinity(0, sizeof cores, &cores) != 0) return 1;
  return CPU_COUNT(&cores);
}

bool GlobMatches(const std::string& pattern, const std::string& text) {
  return ::fnmatch(pattern.c_str(), text.c_str(), 0) == 0;
}

}  // namespace vaskel::platform
