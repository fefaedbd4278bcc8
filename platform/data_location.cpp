#include "platform/data_location.h"

#include <system_error>

// Set by the build from the install folders; this is what a <prefix>/bin, <prefix>/share
// installation needs.
#ifndef VASKEL_DATA_FROM_BINARY
#define VASKEL_DATA_FROM_BINARY "../share/vaskel"
#endif
#ifndef VASKEL_LOCALE_FROM_BINARY
#define VASKEL_LOCALE_FROM_BINARY "../share/locale"
#endif

namespace vaskel {

std::filesystem::path RunningExecutable() {
  std::error_code error;
  std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : executable;
}

std::vector<std::filesystem::path> ProgramDataFolders(const std::filesystem::path& executable) {
  if (executable.empty()) return {};
  const std::filesystem::path folder = executable.parent_path();
  return {folder, (folder / VASKEL_DATA_FROM_BINARY).lexically_normal()};
}

std::vector<std::filesystem::path> CatalogueFolders(const std::filesystem::path& executable) {
  if (executable.empty()) return {};
  const std::filesystem::path folder = executable.parent_path();
  // The build puts the programs in app/, cli/ and tests/, and the catalogues in locale/.
  return {(folder / "../locale").lexically_normal(),
          (folder / VASKEL_LOCALE_FROM_BINARY).lexically_normal()};
}

std::filesystem::path FindProgramDataFile(std::string_view name,
                                          const std::filesystem::path& executable) {
  if (name.empty()) return {};
  for (const std::filesystem::path& folder : ProgramDataFolders(executable)) {
    std::filesystem::path candidate = folder / name;
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return {};
}

}  // namespace vaskel
