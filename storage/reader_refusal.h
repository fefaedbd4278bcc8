// Asking the reader about a file without touching the file the program has open.
#pragma once

#include <string>

namespace vaskel {

// Why the help-file reader refuses the file at `path` (UTF-8), in its own words ("no ITSF
// signature"); empty when it opens the file.
std::string ReaderRefusal(const std::string& path);

}  // namespace vaskel
