#include "platform/desktop/accessible_name.h"

#include <gtk/gtk.h>
#include <wx/menuitem.h>
#include <wx/window.h>

#include <string>

namespace vaskel {
namespace {

// The widget that takes the focus and the one that holds it (a scrolled window around a tree
// view, a box around an entry): a screen reader may meet either.
template <typename Apply>
void ForWidgets(wxWindow& window, Apply apply) {
  auto* outer = static_cast<GtkWidget*>(window.GetHandle());
  GtkWidget* focused = window.GetConnectWidget();
  if (focused == outer && outer != nullptr && GTK_IS_SCROLLED_WINDOW(outer)) {
    focused = gtk_bin_get_child(GTK_BIN(outer));
  }
  if (outer != nullptr) apply(gtk_widget_get_accessible(outer));
  if (focused != nullptr && focused != outer) apply(gtk_widget_get_accessible(focused));
}

}  // namespace

void SetAccessibleName(wxWindow& control, const wxString& name) {
  const std::string text = wxMenuItem::GetLabelText(name).utf8_string();
  ForWidgets(control, [&](AtkObject* object) { atk_object_set_name(object, text.c_str()); });
}

void SetAccessibleLabel(wxWindow& label, wxWindow& control) {
  SetAccessibleName(control, label.GetLabel());
  AtkObject* caption = gtk_widget_get_accessible(static_cast<GtkWidget*>(label.GetHandle()));
  ForWidgets(control, [&](AtkObject* object) {
    atk_object_add_relationship(object, ATK_RELATION_LABELLED_BY, caption);
    atk_object_add_relationship(caption, ATK_RELATION_LABEL_FOR, object);
  });
}

void SetAccessibleDialogRole(wxWindow& dialog) {
  if (auto* widget = static_cast<GtkWidget*>(dialog.GetHandle())) {
    atk_object_set_role(gtk_widget_get_accessible(widget), ATK_ROLE_DIALOG);
  }
}

void SetAccessibleStatus(wxWindow& bar, const wxString& text) {
  AtkObject* object = gtk_widget_get_accessible(static_cast<GtkWidget*>(bar.GetHandle()));
  atk_object_set_role(object, ATK_ROLE_STATUSBAR);
  // A changed name is an event screen readers announce for a status bar.
  atk_object_set_name(object, text.utf8_string().c_str());
}

}  // namespace vaskel
