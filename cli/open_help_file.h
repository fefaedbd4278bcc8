// Opening a help file for a command, with the command line's error reporting.
#pragma once

#include <string>

#include "storage/storage_engine.h"

namespace vaskel::cli {

// Opens `path` in `engine`; on failure prints "vaskel-cli: PATH: cause" and returns false.
// Warns on standard error about entries left out for their unsafe names or lost to a damaged
// directory.
bool OpenHelpFile(StorageEngine& engine, const std::string& path);

}  // namespace vaskel::cli
