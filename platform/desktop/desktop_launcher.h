// Hands a file to another program of the desktop: the default program for its type, or the
// desktop's plain-text editor. The launch is not waited for and its outcome is not reported.
#pragma once

#include <functional>
#include <string>

namespace vaskel {

enum class DesktopProgram {
  kDefaultForType,  // what the desktop opens files of this type with
  kTextEditor,      // the default application for text/plain
};

// Tests put a recorder here, so that no real program starts.
using DesktopLauncher = std::function<void(const std::string& path, DesktopProgram program)>;
// Returns the previous launcher; an empty one restores the desktop's.
DesktopLauncher SetDesktopLauncher(DesktopLauncher launcher);

// `path` is a local file's absolute path.
void OpenWithDesktop(const std::string& path, DesktopProgram program);

}  // namespace vaskel
