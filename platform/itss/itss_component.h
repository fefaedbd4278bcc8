// Our compiled-help storage component: reads .chm containers and presents them through the
// structured-storage interfaces.
#pragma once

#include <cstddef>

#include "platform/com/storage_interfaces.h"
#include "platform/itss/directory.h"

namespace vaskel::itss {

// Creates the component with one reference owned by the caller.
HRESULT CreateItssComponent(IITStorage** out);

// Number of directory entries of the open file that were not presented because their path is
// unsafe (empty, "." or ".." components, or "/", "\" or NUL inside a name). `root` must be a
// storage this component returned; 0 for anything else.
std::size_t UnsafeEntryCount(IStorage* root);

// Entries of the open file's directory lost to damage; none when `root` is not a storage this
// component returned.
DirectoryLosses DirectoryLossesOf(IStorage* root);

}  // namespace vaskel::itss
