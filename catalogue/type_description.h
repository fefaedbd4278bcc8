// The desktop's own description of a file type, asked by a type look-up key (see
// MakeTypeLookupKey): GIO's on Linux, the shell's associations on Windows.
#pragma once

#include <string>

namespace vaskel {

// UTF-8, uncut; empty when the desktop knows no type for the key. Safe from any thread.
std::string DescribeTypeOf(const std::string& key);

}  // namespace vaskel
