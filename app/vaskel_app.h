// The application: start-up (profile, recent-file list, the document template, the command
// line), the commands not tied to the catalogue (Open, recent files, Exit, About, Tip of the
// Day).
#pragma once

#include <wx/app.h>

#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/window_layout.h"

class wxConfigBase;
class wxDocument;

namespace vaskel {

class CMainFrame;
class CVaskelDocManager;

class CVaskelApp : public wxApp {
 public:
  CVaskelApp();
  ~CVaskelApp() override;

  // The program's entry: connects message boxes, then InitInstance with the arguments.
  bool OnInit() override;
  int OnExit() override;

  // Start-up with these arguments (without the program's name). False ends the program: the
  // profile was removed, or the file named could not be opened; no window remains then.
  bool InitInstance(const std::vector<std::string>& arguments);
  // Closes the main window if it is still open and releases the framework's objects and the
  // profile.
  void ExitInstance();

  CMainFrame* MainFrame() const { return main_frame_; }
  CVaskelDocManager* DocManager() const { return doc_manager_.get(); }
  wxConfigBase* Profile() const { return profile_.get(); }

  // The last step of a successful start-up: offers the Tip of the Day unless the command line
  // said "Embedding" or "Automation". The tip dialog attaches here.
  void ShowStartupTip();
  void ShowAboutBox();
  void ShowTipOfTheDay();
  // The Open command's dialog, then the open.
  void OpenWithDialog();
  // Opens a file as the File menu does; null when it could not be opened.
  wxDocument* OpenDocumentFile(const wxString& path);

 private:
  void OnAbout(wxCommandEvent& event);
  void OnFileOpen(wxCommandEvent& event);
  void OnRecentFile(wxCommandEvent& event);
  void OnExit(wxCommandEvent& event);
  void OnTipOfTheDay(wxCommandEvent& event);
  void DestroyMainFrame();

  std::unique_ptr<wxConfigBase> profile_;
  WindowLayout layout_;
  std::unique_ptr<CVaskelDocManager> doc_manager_;
  CMainFrame* main_frame_ = nullptr;  // a top-level window: wx deletes it
  CommandLineInfo command_line_;
};

}  // namespace vaskel

wxDECLARE_APP(vaskel::CVaskelApp);
