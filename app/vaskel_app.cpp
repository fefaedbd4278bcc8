#include "app/vaskel_app.h"

#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/menu.h>

#include "app/about_dialog.h"
#include "app/main_frame.h"
#include "app/message_boxes.h"
#include "app/profile.h"
#include "app/recent_file_list.h"
#include "app/tip_dialog.h"
#include "app/translations.h"
#include "app/vaskel_doc_manager.h"
#include "catalogue/catalogue_list_ctrl.h"
#include "catalogue/drag_and_drop.h"
#include "catalogue/page_preview.h"
#include "catalogue/preview_folder.h"
#include "catalogue/vaskel_doc.h"
#include "catalogue/vaskel_view.h"
#include "platform/data_location.h"
#include "res/resource_ids.h"
#include "res/string_table.h"
#include "res/window_resources.h"
#include "storage/message_box.h"

namespace vaskel {

CVaskelApp::CVaskelApp() {
  SetAppName(
      res::ToWx(res::LoadString(res::IDS_APP_TITLE)));  // names the settings: never translated
  SetVendorName(kProfileVendor);
  Bind(wxEVT_MENU, &CVaskelApp::OnAbout, this, res::WxId(res::ID_APP_ABOUT));
  Bind(wxEVT_MENU, &CVaskelApp::OnFileOpen, this, res::WxId(res::ID_FILE_OPEN));
  Bind(wxEVT_MENU, &CVaskelApp::OnRecentFile, this, res::WxId(res::ID_FILE_MRU_FILE1),
       res::WxId(res::ID_FILE_MRU_FILE4));
  Bind(wxEVT_MENU, &CVaskelApp::OnExit, this, res::WxId(res::ID_APP_EXIT));
  Bind(wxEVT_MENU, &CVaskelApp::OnTipOfTheDay, this, res::WxId(res::ID_TIP_OF_THE_DAY));
}

CVaskelApp::~CVaskelApp() = default;

bool CVaskelApp::OnInit() {
  UseDesktopLanguage();
  ConnectMessageBoxes();
  std::vector<std::string> arguments;
  for (int index = 1; index < argc; ++index) arguments.push_back(argv[index].utf8_string());
  return InitInstance(arguments);
}

int CVaskelApp::OnExit() {
  ExitInstance();
  return wxApp::OnExit();
}

bool CVaskelApp::InitInstance(const std::vector<std::string>& arguments) {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler());
  res::LoadWindowResources();

  profile_ = OpenProfile();
  doc_manager_ = std::make_unique<CVaskelDocManager>();
  doc_manager_->FileHistoryLoad(*profile_);
  RecentFileList* history = dynamic_cast<RecentFileList*>(doc_manager_->GetFileHistory());
  new wxDocTemplate(doc_manager_.get(), res::TemplateText(res::TemplateField::kFileNewName), "*",
                    "", "", "CVaskelDoc", "CVaskelView", wxCLASSINFO(CVaskelDoc),
                    wxCLASSINFO(CVaskelView), wxTEMPLATE_VISIBLE);

  command_line_ = ParseCommandLine(arguments);
  if (command_line_.shell_command == CommandLineInfo::ShellCommand::kUnregister) {
    // Nothing may be written back: the profile is gone.
    if (history != nullptr) history->KeepIn(nullptr);
    profile_.reset();
    DeleteProfile();
    ShowMessage(res::LoadWxString(res::IDS_UNREGISTER_DONE).utf8_string(),
                MessageIcon::kInformation);
    ExitInstance();
    return false;
  }

  // The profile the program's parts reach without the application (the progress window's
  // position).
  delete wxConfigBase::Set(profile_.get());
  // What windows that ended without closing (killed, crashed) left in the preview folder.
  SweepAbandonedPreviewFolders();
  main_frame_ = new CMainFrame(doc_manager_.get());
  main_frame_->SetBeforeCloseHook([this] {
    CVaskelView* view = doc_manager_ != nullptr ? doc_manager_->View() : nullptr;
    layout_.Save(*profile_, main_frame_, view != nullptr ? view->ListCtrl() : nullptr);
    // Nothing more is copied into the preview folder once it is cleared.
    if (view != nullptr && view->Pages() != nullptr) view->Pages()->Forget();
    // The window goes at once; a big preview folder is removed on a thread, which the program
    // waits for only after the window is gone.
    main_frame_->Hide();
    StartPreviewFolderRemoval();
  });
  main_frame_->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& event) {
    if (event.GetEventObject() == main_frame_) main_frame_ = nullptr;
    event.Skip();
  });
  SetTopWindow(main_frame_);
  if (history != nullptr) {
    history->KeepIn(profile_.get());
    // The File menu is the one holding Open.
    wxMenu* file_menu = nullptr;
    wxMenuBar* menu_bar = main_frame_->GetMenuBar();
    if (menu_bar != nullptr && menu_bar->FindItem(res::WxId(res::ID_FILE_OPEN), &file_menu)) {
      history->AttachToMenu(file_menu);
    }
  }

  // The framework's New, and with a file name its Open as well.
  wxDocument* doc = doc_manager_->CreateDocument(wxString(), wxDOC_NEW);
  if (doc != nullptr && command_line_.shell_command == CommandLineInfo::ShellCommand::kFileOpen) {
    doc = doc_manager_->CreateDocument(wxString::FromUTF8(command_line_.file_name));
  }
  if (doc == nullptr) {
    ExitInstance();
    return false;
  }
  CVaskelView* view = doc_manager_->View();
  if (view != nullptr && view->ListCtrl() != nullptr)
    main_frame_->KeepInSight(view->ListCtrl()->Window());
  layout_.Restore(*profile_, main_frame_, view != nullptr ? view->ListCtrl() : nullptr);
  if (view != nullptr) {
    AttachDragAndDrop(*view, [this](const wxString& path) { OpenDocumentFile(path); });
  }
  main_frame_->Show();
  main_frame_->Update();
  ShowStartupTip();
  return true;
}

void CVaskelApp::ExitInstance() {
  DestroyMainFrame();
  // Every profile value was written when it changed: nothing is written back here, where it
  // could only overwrite another instance's newer values.
  doc_manager_.reset();
  if (wxConfigBase::Get(false) == profile_.get()) wxConfigBase::Set(nullptr);
  profile_.reset();
  FinishPreviewFolderRemoval();
}

void CVaskelApp::DestroyMainFrame() {
  if (main_frame_ == nullptr) return;
  if (auto* history = dynamic_cast<RecentFileList*>(doc_manager_->GetFileHistory())) {
    history->AttachToMenu(nullptr);
  }
  // Closing runs the frame's clean-up and closes the document and its view.
  main_frame_->Close(true);
  main_frame_ = nullptr;
  DeletePendingObjects();
}

void CVaskelApp::ShowStartupTip() {
  if (!command_line_.show_splash || profile_ == nullptr) return;
  // Constructed even when it stays hidden: the reading position moves past one tip.
  TipDialog tip(main_frame_, *profile_, FindTipsFile(RunningExecutable()));
  if (tip.ShowAtStartup()) RunTipDialog(tip);
}

void CVaskelApp::ShowTipOfTheDay() {
  if (profile_ == nullptr) return;
  TipDialog tip(main_frame_, *profile_, FindTipsFile(RunningExecutable()));
  RunTipDialog(tip);
}

void CVaskelApp::ShowAboutBox() {
  AboutDialog about(main_frame_);
  if (about.IsLoaded()) about.ShowModal();
}

void CVaskelApp::OpenWithDialog() {
  // Help files come with the extension in either case.
  const wxString filter = res::Translated(res::kHelpFilesFilter) + "|*.chm;*.CHM|" +
                          res::Translated(res::kAllFilesFilter) + "|" +
                          wxFileSelectorDefaultWildcardStr;
  wxFileDialog dialog(main_frame_, res::Translated(res::kOpenDialogTitle), wxString(), wxString(),
                      filter, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() == wxID_OK) OpenDocumentFile(dialog.GetPath());
}

wxDocument* CVaskelApp::OpenDocumentFile(const wxString& path) {
  return doc_manager_ == nullptr ? nullptr : doc_manager_->CreateDocument(path);
}

void CVaskelApp::OnAbout(wxCommandEvent& /*event*/) { ShowAboutBox(); }

void CVaskelApp::OnFileOpen(wxCommandEvent& /*event*/) { OpenWithDialog(); }

void CVaskelApp::OnRecentFile(wxCommandEvent& event) {
  wxFileHistory* history = doc_manager_ == nullptr ? nullptr : doc_manager_->GetFileHistory();
  if (history == nullptr) return;
  const size_t index = static_cast<size_t>(event.GetId() - res::WxId(res::ID_FILE_MRU_FILE1));
  if (index >= history->GetCount()) return;
  // A recent file that cannot be opened leaves the list.
  if (OpenDocumentFile(history->GetHistoryFile(index)) == nullptr) {
    history->RemoveFileFromHistory(index);
  }
}

void CVaskelApp::OnExit(wxCommandEvent& /*event*/) {
  if (main_frame_ != nullptr) main_frame_->Close();
}

void CVaskelApp::OnTipOfTheDay(wxCommandEvent& /*event*/) { ShowTipOfTheDay(); }

}  // namespace vaskel
