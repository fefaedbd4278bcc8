// Where the program's own data files (its help file, the tips) live: beside the executable
// when it runs from the build tree, in <prefix>/share/vaskel/ when it is installed as
// <prefix>/bin/vaskel. Callers that also look in the current directory do so first.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace vaskel {

// The running program's own file (resolved through /proc/self/exe); empty when unknown.
std::filesystem::path RunningExecutable();

// The folders searched for data, in order: the executable's folder, then the installed data
// folder relative to it.
std::vector<std::filesystem::path> ProgramDataFolders(const std::filesystem::path& executable);

// The folders that may hold the translations (LANG/LC_MESSAGES/DOMAIN.mo), in order: the build
// tree's locale/ beside the programs' folders, then the installed one relative to the executable.
std::vector<std::filesystem::path> CatalogueFolders(const std::filesystem::path& executable);

// The first file called `name` in ProgramDataFolders(executable); empty when none holds it.
std::filesystem::path FindProgramDataFile(std::string_view name,
                                          const std::filesystem::path& executable);

}  // namespace vaskel
