#include "catalogue/please_wait_window.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "res/string_table.h"
#include "res/window_resources.h"

namespace vaskel {
namespace {

// Used only when the built-in layout cannot be loaded.
wxDialog* MakePlainWindow(wxWindow* owner) {
  auto* dialog = new wxDialog(owner, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                              wxBORDER_RAISED | wxFRAME_NO_TASKBAR);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxStaticText(dialog, wxID_ANY, res::Translated(res::kPleaseWait)), 0,
             wxALL | wxALIGN_CENTER_HORIZONTAL, 24);
  dialog->SetSizerAndFit(sizer);
  return dialog;
}

}  // namespace

PleaseWaitWindow::PleaseWaitWindow(wxWindow* owner) {
  res::LoadWindowResources();
  window_ = wxXmlResource::Get()->LoadDialog(owner, "IDD_PLEASE_WAIT");
  if (window_ == nullptr) window_ = MakePlainWindow(owner);
  window_->CentreOnParent();
  window_->Show();
  // Only paint and layout events: the user's input waits until the walk is over.
  if (wxTheApp != nullptr) wxTheApp->SafeYieldFor(window_, wxEVT_CATEGORY_UI);
  window_->Update();
}

PleaseWaitWindow::~PleaseWaitWindow() {
  window_->Hide();
  window_->Destroy();
}

}  // namespace vaskel
