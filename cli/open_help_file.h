// Opening a help file for a command, with the command line's error reporting.
#pragma once

#include <string>

#include "storage/storage_engine.h"

namespace vaskel::cli {

// Opens `path` in `engine`; on failure prints "vaskel-cli: PATH: cause" and returns false.
// Names on standard error the entries the reader left out: for their unsafe names (a warning),
// or lost to a damaged directory (sets `*directory_damaged` when given).
bool OpenHelpFile(StorageEngine& engine, const std::string& path,
                  bool* directory_damaged = nullptr);

}  // namespace vaskel::cli
