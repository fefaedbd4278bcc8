// Path lengths counted as the platform counts them against its path limit: bytes on Linux,
// UTF-16 units on Windows.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/text/translation.h"

namespace vaskel::platform {

#ifdef _WIN32
// Longer paths would need the "\\?\" form, which the program does not use.
inline constexpr char kPathUnitsText[] =
    " characters (longer paths would need the \\\\?\\ form, which is not supported)";
#else
inline constexpr char kPathUnitsText[] = TrNoop(" bytes");
#endif

std::size_t PathUnits(std::string_view utf8);

// Longest single name most file systems accept, in the same units.
inline constexpr std::size_t kNameLimit = 255;

}  // namespace vaskel::platform
