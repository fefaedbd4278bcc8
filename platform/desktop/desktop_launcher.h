// Hands a file or an address to another program of the desktop: the default program for its
// type, or the desktop's plain-text editor. When the desktop has no program for it, or cannot
// start the program, it offers its "Open With" chooser, as the shell does; what still fails is
// returned as a message naming the file and the desktop's reason. The launch is not waited for.
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

// `path` is a local file's absolute path. Returns an empty text once a program has started.
[[nodiscard]] std::string OpenWithDesktop(const std::string& path, DesktopProgram program);
// `address` is a web or mail address (https:, mailto:...).
[[nodiscard]] std::string OpenAddressWithDesktop(const std::string& address);

}  // namespace vaskel
