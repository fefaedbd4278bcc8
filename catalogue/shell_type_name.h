// The desktop's type name for a file name ("HTML document"), as the catalogue's Type column and
// Run show it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vaskel {

// Longest type name, in bytes: the shell's answer record holds 80 characters with the final 0.
inline constexpr std::size_t kMaxTypeNameBytes = 79;

// The description of the content type GIO guesses from the name alone; empty when GIO knows
// no type for it. At most kMaxTypeNameBytes bytes, cut between UTF-8 characters. Nothing on
// disk is touched. Answers are cached per extension (see MakeTypeLookupKey), so the result
// depends only on the extension. Safe to call from any thread.
std::string ShellTypeName(std::string_view name);

// The same text without a copy, for callers asking once per catalogue row. Valid until this
// thread's next call.
std::string_view CachedShellTypeName(std::string_view name);

}  // namespace vaskel
