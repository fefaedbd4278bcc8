// A second name for a file already written below a folder, spelt as a page refers to it: pages
// made where letter case does not matter name "Glossary.js" as "glossary.js", and a browser on a
// case-sensitive file system looks for exactly what the page names.
#pragma once

#include <string_view>

namespace vaskel {

// `written` and `alias` are relative to `folder` ("a/b/name"). The alias is a hard link to
// `written`, or a copy where the file system cannot link; an alias already there is kept. Its
// name is checked as an entry's would be, and nothing is made outside `folder`. Throws
// ExtractionError.
void WriteSpellingAlias(std::string_view folder, std::string_view written, std::string_view alias);

}  // namespace vaskel
