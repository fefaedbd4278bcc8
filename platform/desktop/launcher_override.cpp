#include "platform/desktop/launcher_override.h"

#include <utility>

namespace vaskel {
namespace {

DesktopLauncher& Launcher() {
  static DesktopLauncher launcher;
  return launcher;
}

}  // namespace

DesktopLauncher SetDesktopLauncher(DesktopLauncher launcher) {
  return std::exchange(Launcher(), std::move(launcher));
}

bool LaunchedByOverride(const std::string& path, DesktopProgram program) {
  const DesktopLauncher& launcher = Launcher();
  if (!launcher) return false;
  launcher(path, program);
  return true;
}

}  // namespace vaskel
