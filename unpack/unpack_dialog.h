// The Unpack dialog: the folder to unpack to (typed, or chosen with "..."), the selected rows or
// all rows, and whether the help file's internal folders are recreated ("Use Path"). Its
// "Unpack" button checks the folder (the dialog stays open when it is refused, or when a missing
// folder is not to be made) and ends the dialog with the choices; its caller runs the unpack.
#pragma once

#include <wx/dialog.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/text/translation.h"
#include "unpack/unpack_rows.h"

class wxCheckBox;
class wxTextCtrl;

namespace vaskel {

inline constexpr std::string_view kEmptyUnpackFolder =
    TrNoop("\"Unpack to\" filed can not be NULL");

class UnpackDialog final : public wxDialog {
 public:
  explicit UnpackDialog(wxWindow* parent);
  // False when the layout could not be loaded.
  bool IsLoaded() const { return loaded_; }

  // The control id of the radio button to check when the dialog opens, and of the one chosen
  // since: IDC_UNPACK_SELECTED or IDC_UNPACK_ALL. Other values are ignored.
  void SetFileChoice(int choice);
  int FileChoice() const { return file_choice_; }

  // Unpack as Project: the file choices and "Use Path" are hidden; the choices are then every
  // row with its internal folders.
  void AsProject();
  bool IsProject() const { return project_; }

  // What "Unpack" confirmed; nothing until then.
  const std::optional<UnpackChoices>& Choices() const { return choices_; }

  wxTextCtrl* FolderControl() const;
  wxCheckBox* UsePathBox() const { return use_path_box_; }

 private:
  // Screen readers read the folder field by its caption, "Unpack to:".
  void NameFolderFieldByItsCaption();
  void OnInitDialog(wxInitDialogEvent& event);
  void OnChooseSelected(wxCommandEvent& event);
  void OnChooseAll(wxCommandEvent& event);
  void OnBrowseFolder(wxCommandEvent& event);
  // Checks the folder text (the dialog stays open when it is refused), then ends the dialog
  // with the choices.
  void OnOK(wxCommandEvent& event);

  wxCheckBox* use_path_box_ = nullptr;
  int file_choice_;
  bool project_ = false;
  bool loaded_ = false;
  std::optional<UnpackChoices> choices_;
};

// The Unpack command's dialog, shown modally with "Selected files" chosen when `rows_selected`,
// else "All files". Nothing when it was cancelled (or could not be loaded).
std::optional<UnpackChoices> AskUnpackChoices(wxWindow* parent, bool rows_selected);

// The Unpack as Project command's dialog: the folder alone.
std::optional<UnpackChoices> AskUnpackProjectFolder(wxWindow* parent);

}  // namespace vaskel
