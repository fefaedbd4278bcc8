// The main window, centred on the screen (frame_placement.h), with the menu bar, a toolbar of
// large labelled buttons and a status bar of four panes (messages, CAP, NUM, SCRL).
#pragma once

#include <wx/docview.h>

#include <functional>
#include <string>

class wxMenuBar;

namespace vaskel {

class CVaskelView;
struct UnpackChoices;

class CMainFrame final : public wxDocParentFrame {
 public:
  explicit CMainFrame(wxDocManager* manager);

  // Inserts "Ti&p of the Day..." and a separator at the top of the Help menu unless it is
  // already there; without a Help menu, appends one holding only that item.
  void AddTipMenuItem();

  // Shows CAP, NUM and SCRL while the lock keys are on.
  void UpdateLockIndicators();

  // Runs first on every close request that reaches the frame (the preview folder's clean-up
  // is attached here).
  void SetBeforeCloseHook(std::function<void()> hook) { before_close_ = std::move(hook); }

  // No smaller than keeps the whole toolbar and kRowsInSight rows of `list` in sight.
  void KeepInSight(wxWindow& list);
  static constexpr int kRowsInSight = 3;

  // The toolbar's buttons in order; wxID_SEPARATOR marks the separator.
  static const int kToolbarButtons[6];

 protected:
  // "Ready" whenever no prompt is shown, as after a menu closes.
  void DoGiveHelp(const wxString& text, bool show) override;
  wxStatusBar* OnCreateStatusBar(int number, long style, wxWindowID id,
                                 const wxString& name) override;

 private:
  void CreateMenuBarFromResources();
  void CreateToolbarWithLabels();
  void CreateStatusBarWithIndicators();
  // The catalogue's view, once the document manager has made it.
  CVaskelView* View() const;

  void OnClose(wxCloseEvent& event);
  void OnMenuOpen(wxMenuEvent& event);
  void OnIdle(wxIdleEvent& event);
  void OnUnpack(wxCommandEvent& event);
  void OnUnpackProject(wxCommandEvent& event);
  // Writes the view's rows as the Unpack dialog chose, and with `project_of` (the help file's
  // path) its project beside them.
  void Unpack(CVaskelView& view, const UnpackChoices& choices, std::string project_of);
  void OnUpdateUnpack(wxUpdateUIEvent& event);
  void OnHelpContents(wxCommandEvent& event);
  void OnHomePage(wxCommandEvent& event);
  void OnSendMail(wxCommandEvent& event);
  void OnToggleToolbar(wxCommandEvent& event);
  void OnToggleStatusBar(wxCommandEvent& event);
  void OnUpdateToolbarCheck(wxUpdateUIEvent& event);
  void OnUpdateStatusBarCheck(wxUpdateUIEvent& event);

  std::function<void()> before_close_;
};

}  // namespace vaskel
