#include "platform/desktop/open_with_chooser.h"

#include <gtk/gtk.h>

#include "platform/desktop/glib_ptr.h"

namespace vaskel {
namespace {

// The window the user acted in: the active one, else the first shown, so that the dialog stays
// above it.
GtkWindow* OwnerWindow() {
  GList* const windows = gtk_window_list_toplevels();
  GtkWindow* owner = nullptr;
  for (GList* item = windows; item != nullptr; item = item->next) {
    GtkWindow* const window = GTK_WINDOW(item->data);
    if (!gtk_widget_get_visible(GTK_WIDGET(window)) ||
        gtk_window_get_window_type(window) != GTK_WINDOW_TOPLEVEL) {
      continue;
    }
    if (gtk_window_is_active(window)) {
      owner = window;
      break;
    }
    if (owner == nullptr) owner = window;
  }
  g_list_free(windows);
  return owner;
}

// Destroys the dialog however the chooser is left.
struct WidgetDestroyer {
  void operator()(GtkWidget* widget) const { gtk_widget_destroy(widget); }
};

}  // namespace

ChooserOutcome OfferOtherProgram(const std::string& content_type, const std::string& uri) {
  if (gdk_display_get_default() == nullptr) return {};
  const std::unique_ptr<GtkWidget, WidgetDestroyer> dialog(
      gtk_app_chooser_dialog_new_for_content_type(OwnerWindow(), GTK_DIALOG_MODAL,
                                                  content_type.c_str()));
  if (gtk_dialog_run(GTK_DIALOG(dialog.get())) != GTK_RESPONSE_OK) return {};
  const GObjectPtr<GAppInfo> program(gtk_app_chooser_get_app_info(GTK_APP_CHOOSER(dialog.get())));
  if (!program) return {};
  gtk_widget_hide(dialog.get());
  GList uris{const_cast<char*>(uri.c_str()), nullptr, nullptr};
  GError* error = nullptr;
  if (!g_app_info_launch_uris(program.get(), &uris, nullptr, &error)) {
    const GErrorPtr owned(error);
    return {false, owned->message};
  }
  g_app_info_set_as_last_used_for_type(program.get(), content_type.c_str(), nullptr);
  return {true, {}};
}

}  // namespace vaskel
