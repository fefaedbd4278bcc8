#include "platform/desktop/desktop_launcher.h"

#include <gio/gio.h>

#include <memory>
#include <utility>

namespace vaskel {
namespace {

template <typename T>
struct GObjectUnref {
  void operator()(T* object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref<T>>;

struct GFreeDeleter {
  void operator()(char* text) const { g_free(text); }
};

void LaunchDefaultForType(const std::string& path) {
  const std::unique_ptr<char, GFreeDeleter> uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
  if (uri) g_app_info_launch_default_for_uri(uri.get(), nullptr, nullptr);
}

void LaunchTextEditor(const std::string& path) {
  const GObjectPtr<GAppInfo> editor(g_app_info_get_default_for_type("text/plain", FALSE));
  if (!editor) {
    // A desktop without a text editor still has a chance to open the file somehow.
    LaunchDefaultForType(path);
    return;
  }
  const GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
  GList files{file.get(), nullptr, nullptr};
  g_app_info_launch(editor.get(), &files, nullptr, nullptr);
}

DesktopLauncher& Launcher() {
  static DesktopLauncher launcher;
  return launcher;
}

}  // namespace

DesktopLauncher SetDesktopLauncher(DesktopLauncher launcher) {
  return std::exchange(Launcher(), std::move(launcher));
}

void OpenWithDesktop(const std::string& path, DesktopProgram program) {
  if (const DesktopLauncher& launcher = Launcher()) {
    launcher(path, program);
    return;
  }
  if (program == DesktopProgram::kTextEditor) {
    LaunchTextEditor(path);
  } else {
    LaunchDefaultForType(path);
  }
}

}  // namespace vaskel
