// The program's narrow text (UTF-8) and the storage component's UTF-16 names, the way storage
// needs them: into a name buffer of the platform's path limit, with '?' for what cannot convert.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vaskel {

// Converts narrow text up to its first NUL into `out`, terminator included. Sequences that are
// not valid UTF-8 become '?'. Returns the number of units written without the terminator, or
// nothing when the result and its terminator do not fit; nothing is then written.
std::optional<std::size_t> NarrowToWide(std::string_view text, std::span<char16_t> out);

// Converts a UTF-16 name to narrow text; unpaired surrogates become '?'.
std::string WideToNarrow(std::u16string_view name);

}  // namespace vaskel
