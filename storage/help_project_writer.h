// Writes a help file's project (.hhp) beside its unpacked files, for the command line's
// decompile and the window's Unpack as Project alike.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/storage_interfaces.h"
#include "storage/help_project_text.h"

namespace vaskel {

class CatalogueList;

// Every row's internal name as the project lists it ("html/a.htm"), in list order.
std::vector<std::string> StoredFileNames(const CatalogueList& rows);

// NAME.hhp after the help file's name; NAME-project.hhp (then -project2, ...) when the help file
// stores a file of that name at its top, which the project must not replace.
std::string ProjectFileName(std::string_view help_file, std::span<const std::string> stored);

struct WrittenProject {
  HelpProject project;    // what was read, with its warnings (damaged records)
  std::string file_name;  // NAME.hhp, below the folder
  bool written = false;   // false when the file could not be written
};

// Reads the project from `root` and writes it to `folder`/NAME.hhp. `help_file` (UTF-8) names
// the project and its heading comment.
WrittenProject WriteHelpProject(IStorage& root, std::span<const std::string> stored,
                                std::string_view help_file, std::string_view folder);

}  // namespace vaskel
