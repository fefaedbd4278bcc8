// The system's own text for an error code (Windows).
#pragma once

#include <string>

namespace vaskel::platform {

// UTF-8, without the final line end; "error N" when the system has no text for the code.
std::string SystemMessage(unsigned long code);

}  // namespace vaskel::platform
