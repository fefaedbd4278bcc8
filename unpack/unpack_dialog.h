// The Unpack dialog: the folder to unpack to (typed, or chosen with "..."), the selected rows or
// all rows, and whether the help file's internal folders are recreated ("Use Path"). Its
// "Unpack" button runs the whole unpack before the dialog returns.
#pragma once

#include <wx/dialog.h>

#include <string>
#include <string_view>

class wxCheckBox;
class wxTextCtrl;

namespace vaskel {

class CatalogueList;
class StorageEngine;

inline constexpr std::string_view kEmptyUnpackFolder = "\"Unpack to\" filed can not be NULL";

class UnpackDialog final : public wxDialog {
 public:
  UnpackDialog(wxWindow* parent, CatalogueList& rows, StorageEngine& engine);
  // False when the layout could not be loaded.
  bool IsLoaded() const { return loaded_; }

  // The control id of the radio button to check when the dialog opens, and of the one chosen
  // since: IDC_UNPACK_SELECTED or IDC_UNPACK_ALL. Other values are ignored.
  void SetFileChoice(int choice);
  int FileChoice() const { return file_choice_; }

  // Unpack as Project: the file choices and "Use Path" are hidden; every row is written with its
  // internal folders and then the project of `help_file` (its path, UTF-8) beside them.
  void AsProject(std::string help_file);
  bool IsProject() const { return !project_of_.empty(); }

  wxTextCtrl* FolderControl() const;
  wxCheckBox* UsePathBox() const { return use_path_box_; }

 private:
  // Screen readers read the folder field by its caption, "Unpack to:".
  void NameFolderFieldByItsCaption();
  void OnInitDialog(wxInitDialogEvent& event);
  void OnChooseSelected(wxCommandEvent& event);
  void OnChooseAll(wxCommandEvent& event);
  void OnBrowseFolder(wxCommandEvent& event);
  // The unpack: checks the folder text (the dialog stays open when it is refused), ends the
  // dialog, then writes the rows.
  void OnOK(wxCommandEvent& event);

  CatalogueList& rows_;
  StorageEngine& engine_;
  wxCheckBox* use_path_box_ = nullptr;
  int file_choice_;
  std::string project_of_;
  bool loaded_ = false;
};

// The Unpack command of the catalogue: the dialog with "Selected files" chosen when a row is
// selected, else "All files", shown modally.
void OpenUnpackDialog(wxWindow* parent, CatalogueList& rows, StorageEngine& engine);

// The Unpack as Project command: the dialog with the folder alone, shown modally.
void OpenUnpackProjectDialog(wxWindow* parent, CatalogueList& rows, StorageEngine& engine,
                             std::string help_file);

}  // namespace vaskel
