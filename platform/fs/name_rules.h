// Names that a file system would resolve to somewhere other than a new entry of the folder
// they are joined to. Windows adds its own: drive letters and stream names (':'), device names
// (CON, aux.txt, ...), names ending in a dot or a space, which it silently drops, and the
// characters it allows in no name (< > " | ? * and control characters), which would otherwise
// fail the whole unpack at the first such file.
#pragma once

#include <string_view>

namespace vaskel::platform {

// Why Windows would resolve one name (a single level, no separator) elsewhere; null when it
// would not. Known on every platform, so that it can be checked everywhere.
const char* WindowsNameRefusal(std::string_view name);

// The same for the platform the program runs on; null on Linux.
const char* PlatformNameRefusal(std::string_view name);

#ifdef _WIN32
inline constexpr bool kHasNameRefusals = true;
#else
inline constexpr bool kHasNameRefusals = false;
#endif

}  // namespace vaskel::platform
