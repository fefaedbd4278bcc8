#include "unpack/unpack_dialog.h"

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "platform/desktop/accessible_name.h"
#include "res/resource_ids.h"
#include "res/window_resources.h"
#include "storage/catalogue_list.h"
#include "storage/message_box.h"
#include "unpack/folder_chooser.h"
#include "unpack/missing_folder.h"
#include "unpack/unpack_rows.h"

namespace vaskel {

using res::IDC_UNPACK_ALL;
using res::IDC_UNPACK_SELECTED;

namespace {

const wxSize kTemplateSize(187, 111);  // dialog units
const wxSize kProjectSize(187, 42);    // the folder row and the two buttons alone
constexpr char kProjectTitle[] = "Unpack as Project";

}  // namespace

UnpackDialog::UnpackDialog(wxWindow* parent, CatalogueList& rows, StorageEngine& engine)
    : rows_(rows), engine_(engine), file_choice_(IDC_UNPACK_ALL) {
  res::LoadWindowResources();
  loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, "IDD_UNPACK");
  if (!loaded_) return;
  // The layout gives the dialog's own size in dialog units too, but converts it before the
  // layout's font is applied; measured again in that font it matches the controls.
  SetClientSize(ConvertDialogToPixels(kTemplateSize));
  CentreOnParent();
  use_path_box_ = dynamic_cast<wxCheckBox*>(FindWindow(res::IDC_UNPACK_USE_PATH));
  NameFolderFieldByItsCaption();
  Bind(wxEVT_INIT_DIALOG, &UnpackDialog::OnInitDialog, this);
  Bind(wxEVT_RADIOBUTTON, &UnpackDialog::OnChooseSelected, this, IDC_UNPACK_SELECTED);
  Bind(wxEVT_RADIOBUTTON, &UnpackDialog::OnChooseAll, this, IDC_UNPACK_ALL);
  Bind(wxEVT_BUTTON, &UnpackDialog::OnBrowseFolder, this, res::IDC_UNPACK_BROWSE);
  Bind(wxEVT_BUTTON, &UnpackDialog::OnOK, this, wxID_OK);
}

void UnpackDialog::NameFolderFieldByItsCaption() {
  // The caption comes just before the field in the layout, as in the tab order.
  wxWindow* caption = nullptr;
  for (wxWindow* child : GetChildren()) {
    if (child->GetId() == res::IDC_UNPACK_FOLDER && caption != nullptr) {
      SetAccessibleLabel(*caption, *child);
      return;
    }
    caption = dynamic_cast<wxStaticText*>(child) != nullptr ? child : nullptr;
  }
}

void UnpackDialog::SetFileChoice(int choice) {
  if (choice == IDC_UNPACK_SELECTED || choice == IDC_UNPACK_ALL) file_choice_ = choice;
}

void UnpackDialog::AsProject(std::string help_file) {
  project_of_ = std::move(help_file);
  file_choice_ = IDC_UNPACK_ALL;
  SetTitle(kProjectTitle);
  for (wxWindow* child : GetChildren()) {
    const int id = child->GetId();
    if (id == IDC_UNPACK_SELECTED || id == IDC_UNPACK_ALL || id == res::IDC_UNPACK_USE_PATH ||
        dynamic_cast<wxStaticBox*>(child) != nullptr) {
      child->Hide();
    }
  }
  SetClientSize(ConvertDialogToPixels(kProjectSize));
  CentreOnParent();
}

wxTextCtrl* UnpackDialog::FolderControl() const {
  return dynamic_cast<wxTextCtrl*>(FindWindow(res::IDC_UNPACK_FOLDER));
}

void UnpackDialog::OnInitDialog(wxInitDialogEvent& event) {
  event.Skip();  // the toolkit's own initialisation
  if (use_path_box_ != nullptr) use_path_box_->SetValue(true);
  if (auto* radio = dynamic_cast<wxRadioButton*>(FindWindow(file_choice_))) radio->SetValue(true);
  if (wxWindow* unpack = FindWindow(wxID_OK)) unpack->SetFocus();
}

void UnpackDialog::OnChooseSelected(wxCommandEvent& /*event*/) {
  file_choice_ = IDC_UNPACK_SELECTED;
}

void UnpackDialog::OnChooseAll(wxCommandEvent& /*event*/) { file_choice_ = IDC_UNPACK_ALL; }

void UnpackDialog::OnBrowseFolder(wxCommandEvent& /*event*/) {
  const std::optional<wxString> chosen = ChooseOutputFolder(this);
  if (!chosen) return;  // the text stays as it was
  if (wxTextCtrl* folder = FolderControl()) folder->ChangeValue(*chosen);
}

void UnpackDialog::OnOK(wxCommandEvent& /*event*/) {
  wxTextCtrl* folder_control = FolderControl();
  const std::optional<std::string> folder =
      NormalizeUnpackFolder(folder_control != nullptr ? folder_control->GetValue() : wxString());
  if (!folder) {
    ShowMessage(kEmptyUnpackFolder, MessageIcon::kExclamation);
    return;
  }
  if (const std::string refusal = FolderRefusal(*folder); !refusal.empty()) {
    ShowMessage(refusal, MessageIcon::kExclamation);
    return;
  }
  // No, or a folder that could not be made: back to the dialog with the text as typed.
  if (!MakeSureFolderExists(this, *folder)) return;
  if (!Validate() || !TransferDataFromWindow()) return;
  // Ended before the rows are written: the dialog is gone from the screen, while the main
  // window stays disabled until this handler returns.
  if (IsModal()) {
    EndModal(wxID_OK);
  } else {
    SetReturnCode(wxID_OK);
    Hide();
  }
  UnpackJob job;
  job.rows = &rows_;
  job.engine = &engine_;
  job.choice = file_choice_ == IDC_UNPACK_SELECTED && !IsProject() ? UnpackChoice::kSelectedFiles
                                                                   : UnpackChoice::kAllFiles;
  job.folder = *folder;
  job.use_path = [this] {
    return IsProject() || (use_path_box_ != nullptr && use_path_box_->IsChecked());
  };
  job.project_of = project_of_;
  job.progress_owner = this;
  UnpackRows(job);
}

void OpenUnpackDialog(wxWindow* parent, CatalogueList& rows, StorageEngine& engine) {
  UnpackDialog dialog(parent, rows, engine);
  if (!dialog.IsLoaded()) return;
  dialog.SetFileChoice(rows.GetSelectedCount() != 0 ? IDC_UNPACK_SELECTED : IDC_UNPACK_ALL);
  dialog.ShowModal();
}

void OpenUnpackProjectDialog(wxWindow* parent, CatalogueList& rows, StorageEngine& engine,
                             std::string help_file) {
  UnpackDialog dialog(parent, rows, engine);
  if (!dialog.IsLoaded()) return;
  dialog.AsProject(std::move(help_file));
  dialog.ShowModal();
}

}  // namespace vaskel
