#include "tests/window/private_desktop.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/temp_folder.h"

namespace vaskel::testing {

bool DisplayAvailable() { return std::getenv("DISPLAY") != nullptr; }

// The desktop the window tests see, set before the toolkit starts because GLib reads it once:
// the system's MIME database, icons and settings, but none of its programs. HTML pages, help
// files and web addresses have no program; PNG pictures have one that cannot start (its working
// folder is missing). Nothing real starts, whatever is installed.
void UsePrivateDesktop() {
  namespace fs = std::filesystem;
  static const TempFolder desktop;
  const fs::path data = desktop.path() / "data";
  const fs::path shared = desktop.path() / "share";
  const fs::path config = desktop.path() / "config";
  fs::create_directories(data / "applications");
  fs::create_directories(shared);
  fs::create_directories(config);
  std::ofstream(data / "applications" / "broken-viewer.desktop")
      << "[Desktop Entry]\nType=Application\nName=Broken Viewer\nExec=true %f\nPath="
      << (desktop.path() / "gone").string() << "\nMimeType=image/png;\n";
  std::ofstream(data / "applications" / "mimeapps.list")
      << "[Default Applications]\nimage/png=broken-viewer.desktop\n";
  const char* const system = std::getenv("XDG_DATA_DIRS");
  std::stringstream folders(system != nullptr && *system != '\0' ? system
                                                                 : "/usr/local/share:/usr/share");
  std::error_code error;
  for (std::string folder; std::getline(folders, folder, ':');) {
    for (const auto& entry : fs::directory_iterator(folder, error)) {
      const fs::path link = shared / entry.path().filename();
      if (entry.path().filename() != "applications" && !fs::exists(link, error)) {
        fs::create_directory_symlink(entry.path(), link, error);
      }
    }
  }
  ::setenv("XDG_DATA_HOME", data.c_str(), 1);
  ::setenv("XDG_DATA_DIRS", shared.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  ::setenv("XDG_CONFIG_DIRS", config.c_str(), 1);
}

void UsePrivateProfile(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder / "config");
  ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
}

}  // namespace vaskel::testing
