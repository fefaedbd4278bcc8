// A help project (.hhp) written from what a help file's internal files tell: the options, the
// window definitions, context ids and the files to compile. What the help file does not store
// is written as a comment, never guessed.
#pragma once

#include <string>
#include <vector>

#include "storage/help_project.h"

namespace vaskel {

struct HelpProject {
  std::string source_name;  // the help file's own name, for the heading comment
  bool has_system = false;
  SystemFile system;
  std::vector<WindowDefinition> windows;
  std::vector<ContextId> context_ids;  // topics as names of stored files where they could be
  std::vector<std::string> files;      // [FILES]: stored files ("html/a.htm")
  std::string fallback_compiled_file;  // when #SYSTEM does not name the compiled file
  std::vector<std::string> warnings;   // damaged records, each named
};

std::string ProjectText(const HelpProject& project);

}  // namespace vaskel
