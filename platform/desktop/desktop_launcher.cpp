#include "platform/desktop/desktop_launcher.h"

#include <gio/gio.h>

#include <optional>
#include <utility>

#include "platform/desktop/glib_ptr.h"
#include "platform/desktop/launcher_override.h"
#include "platform/desktop/open_with_chooser.h"

namespace vaskel {
namespace {

constexpr char kTextType[] = "text/plain";

// Empty once the program has started, else the desktop's reason.
using Failure = std::optional<std::string>;

Failure TakeFailure(GError* error) {
  const GErrorPtr owned(error);
  return std::string(owned ? owned->message : "the desktop gave no reason");
}

Failure LaunchDefault(const std::string& uri) {
  GError* error = nullptr;
  if (g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error)) return std::nullopt;
  return TakeFailure(error);
}

Failure LaunchTextEditor(const std::string& uri) {
  const GObjectPtr<GAppInfo> editor(g_app_info_get_default_for_type(kTextType, FALSE));
  // A desktop without a text editor still has a chance to open the file somehow.
  if (!editor) return LaunchDefault(uri);
  GList uris{const_cast<char*>(uri.c_str()), nullptr, nullptr};
  GError* error = nullptr;
  if (g_app_info_launch_uris(editor.get(), &uris, nullptr, &error)) return std::nullopt;
  return TakeFailure(error);
}

std::string FileContentType(const std::string& path) {
  const GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
  const GObjectPtr<GFileInfo> info(g_file_query_info(file.get(),
                                                     G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                                     G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
  const char* const type = info ? g_file_info_get_content_type(info.get()) : nullptr;
  return type != nullptr ? type : "application/octet-stream";
}

// After a failed start the user may pick another program; what still fails names `shown`.
std::string OfferChooser(const std::string& shown, const std::string& content_type,
                         const std::string& uri, std::string reason) {
  ChooserOutcome chosen = OfferOtherProgram(content_type, uri);
  if (chosen.started) return {};
  if (!chosen.failure.empty()) reason = std::move(chosen.failure);
  return "Cannot open \"" + shown + "\": " + reason;
}

}  // namespace

std::string OpenWithDesktop(const std::string& path, DesktopProgram program) {
  if (LaunchedByOverride(path, program)) return {};
  const GCharPtr uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
  if (!uri) return "Cannot open \"" + path + "\": the name is not a local file's";
  const bool text = program == DesktopProgram::kTextEditor;
  Failure failure = text ? LaunchTextEditor(uri.get()) : LaunchDefault(uri.get());
  if (!failure) return {};
  return OfferChooser(path, text ? kTextType : FileContentType(path), uri.get(),
                      std::move(*failure));
}

std::string OpenAddressWithDesktop(const std::string& address) {
  Failure failure = LaunchDefault(address);
  if (!failure) return {};
  const GCharPtr scheme(g_uri_parse_scheme(address.c_str()));
  const std::string type = "x-scheme-handler/" + std::string(scheme ? scheme.get() : "unknown");
  return OfferChooser(address, type, address, std::move(*failure));
}

}  // namespace vaskel
