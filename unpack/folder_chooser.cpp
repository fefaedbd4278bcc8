#include "unpack/folder_chooser.h"

#include <wx/dirdlg.h>
#include <wx/intl.h>

#include <utility>

namespace vaskel {
namespace {

FolderChooser& Chooser() {
  static FolderChooser chooser;
  return chooser;
}

std::optional<wxString> AskTheDesktop(wxWindow* parent, const wxString& title) {
  wxDirDialog dialog(parent, title, wxString(), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return dialog.GetPath();
}

}  // namespace

FolderChooser SetFolderChooser(FolderChooser chooser) {
  return std::exchange(Chooser(), std::move(chooser));
}

std::optional<wxString> ChooseOutputFolder(wxWindow* parent) {
  const wxString title = wxGetTranslation(kChooseFolderTitle);
  if (const FolderChooser& chooser = Chooser()) return chooser(parent, title);
  return AskTheDesktop(parent, title);
}

}  // namespace vaskel
