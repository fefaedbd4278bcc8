#include "unpack/unpack_dialog.h"

#include <wx/checkbox.h>
#include <wx/intl.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "platform/desktop/accessible_name.h"
#include "platform/text/translation.h"
#include "res/label_fit.h"
#include "res/resource_ids.h"
#include "res/window_resources.h"
#include "storage/message_box.h"
#include "unpack/folder_chooser.h"
#include "unpack/missing_folder.h"

namespace vaskel {

using res::IDC_UNPACK_ALL;
using res::IDC_UNPACK_SELECTED;

namespace {

const wxSize kTemplateSize(187, 111);  // dialog units
const wxSize kProjectSize(187, 42);    // the folder row and the two buttons alone
constexpr char kProjectTitle[] = TrNoop("Unpack as Project");

}  // namespace

UnpackDialog::UnpackDialog(wxWindow* parent) : file_choice_(IDC_UNPACK_ALL) {
  res::LoadWindowResources();
  loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, "IDD_UNPACK");
  if (!loaded_) return;
  SetAccessibleDialogRole(*this);
  // The layout gives the dialog's own size in dialog units too, but converts it before the
  // layout's font is applied; measured again in that font it matches the controls.
  SetClientSize(ConvertDialogToPixels(kTemplateSize));
  res::GrowControlsToFitTexts(*this);
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

void UnpackDialog::AsProject() {
  project_ = true;
  file_choice_ = IDC_UNPACK_ALL;
  SetTitle(wxGetTranslation(kProjectTitle));
  for (wxWindow* child : GetChildren()) {
    const int id = child->GetId();
    if (id == IDC_UNPACK_SELECTED || id == IDC_UNPACK_ALL || id == res::IDC_UNPACK_USE_PATH ||
        dynamic_cast<wxStaticBox*>(child) != nullptr) {
      child->Hide();
    }
  }
  SetClientSize(ConvertDialogToPixels(kProjectSize));
  res::GrowControlsToFitTexts(*this);
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
    ShowMessage(res::Translated(kEmptyUnpackFolder).utf8_string(), MessageIcon::kExclamation);
    return;
  }
  if (const std::string refusal = FolderRefusal(*folder); !refusal.empty()) {
    ShowMessage(refusal, MessageIcon::kExclamation);
    return;
  }
  // No, or a folder that could not be made: back to the dialog with the text as typed.
  if (!MakeSureFolderExists(this, *folder)) return;
  if (!Validate() || !TransferDataFromWindow()) return;
  const bool all = IsProject() || file_choice_ != IDC_UNPACK_SELECTED;
  const bool use_path = IsProject() || (use_path_box_ != nullptr && use_path_box_->IsChecked());
  choices_ = UnpackChoices{*folder, all ? UnpackChoice::kAllFiles : UnpackChoice::kSelectedFiles,
                           use_path};
  if (IsModal()) {
    EndModal(wxID_OK);
  } else {
    SetReturnCode(wxID_OK);
    Hide();
  }
}

std::optional<UnpackChoices> AskUnpackChoices(wxWindow* parent, bool rows_selected) {
  UnpackDialog dialog(parent);
  if (!dialog.IsLoaded()) return std::nullopt;
  dialog.SetFileChoice(rows_selected ? IDC_UNPACK_SELECTED : IDC_UNPACK_ALL);
  return dialog.ShowModal() == wxID_OK ? dialog.Choices() : std::nullopt;
}

std::optional<UnpackChoices> AskUnpackProjectFolder(wxWindow* parent) {
  UnpackDialog dialog(parent);
  if (!dialog.IsLoaded()) return std::nullopt;
  dialog.AsProject();
  return dialog.ShowModal() == wxID_OK ? dialog.Choices() : std::nullopt;
}

}  // namespace vaskel
