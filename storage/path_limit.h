// The platform's path limit in UTF-16 units, terminator included.
#pragma once

#include <cstddef>

namespace vaskel {

#ifdef _WIN32
inline constexpr std::size_t kPlatformPathLimit = 260;
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr std::size_t kPlatformPathLimit = 4096;
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace vaskel
