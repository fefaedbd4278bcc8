// The Tip of the Day: one line of advice from the tips file, "&Next Tip" to step on, and the
// choice whether the dialog opens by itself at start-up. Between showings the state lives in
// the profile's section "Tip": "StartUp" (0: open at start-up), "FilePos" (where the next tip
// is looked for) and "TimeStamp" (the tips file's stamp when "FilePos" last started from 0).
#pragma once

#include <wx/bitmap.h>
#include <wx/dialog.h>

#include <filesystem>
#include <functional>
#include <string>

#include "app/tips_file.h"

class wxConfigBase;
class wxDC;

namespace vaskel {

class TipDialog final : public wxDialog {
 public:
  // Reads the profile, opens the tips file at `tips_path` (empty: there is none) and reads the
  // tip to show, so construction alone moves the reading position. A stored position the seek
  // rejects is reported by a message box here, before the dialog opens.
  TipDialog(wxWindow* parent, wxConfigBase& profile, const std::filesystem::path& tips_path);
  // Stores the reading position while the tips file is open, shown or not.
  ~TipDialog() override;

  bool IsLoaded() const { return loaded_; }
  bool ShowAtStartup() const { return show_at_startup_; }
  // The tip on display (or the sentence shown instead), as the file's bytes.
  const std::string& TipText() const { return tip_text_; }
  bool HasTipsFile() const { return file_.IsOpen(); }

  // "&Next Tip": the next tip, and every control set from the members again (so a change to
  // the check box is undone).
  void ShowNextTip();

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

  // Draws the black frame and the white tip area with the bulb and "Did you know...".
  void PaintTipArea(wxDC& dc);

 private:
  void ReadTip();
  void OnInitDialog(wxInitDialogEvent& event);
  void OnCloseButton(wxCommandEvent& event);
  void OnCharHook(wxKeyEvent& event);
  void OnPaint(wxPaintEvent& event);

  wxConfigBase& profile_;
  TipsFile file_;
  wxBitmap bulb_;  // bitmap 102
  bool show_at_startup_ = true;
  std::string tip_text_;
  bool loaded_ = false;
};

// Runs a tip dialog modally. Tests put their own runner in place, since a modal loop waits for a
// person; an empty runner restores ShowModal. Returns the previous runner.
using TipDialogRunner = std::function<void(TipDialog&)>;
TipDialogRunner SetTipDialogRunner(TipDialogRunner runner);
void RunTipDialog(TipDialog& dialog);

}  // namespace vaskel
