// The launcher a test puts in place of the desktop's (SetDesktopLauncher), for every platform's
// OpenWithDesktop to ask first.
#pragma once

#include <string>

#include "platform/desktop/desktop_launcher.h"

namespace vaskel {

// True when a launcher is in place; it has then had the file.
bool LaunchedByOverride(const std::string& path, DesktopProgram program);

}  // namespace vaskel
