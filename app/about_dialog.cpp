#include "app/about_dialog.h"

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/xrc/xmlres.h>

#include "app/app_art.h"
#include "app/shell_commands.h"
#include "platform/desktop/accessible_name.h"
#include "res/label_fit.h"
#include "res/resource_ids.h"
#include "res/window_resources.h"

namespace vaskel {
namespace {

void SetButtonLabel(wxWindow* dialog, int id, const wxString& label) {
  if (auto* button = wxDynamicCast(dialog->FindWindow(id), wxButton)) button->SetLabel(label);
}

}  // namespace

AboutDialog::AboutDialog(wxWindow* parent) {
  res::LoadWindowResources();
  loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, "IDD_ABOUTBOX");
  if (!loaded_) return;
  SetAccessibleDialogRole(*this);
  if (auto* icon = wxDynamicCast(FindWindow("IDC_ABOUT_ICON"), wxStaticBitmap)) {
    const wxBitmap bitmap = ApplicationBitmap(32);
    if (bitmap.IsOk()) icon->SetBitmap(bitmap);
  }
  SetButtonLabel(this, res::IDC_ABOUT_EMAIL, MakerEmail());
  SetButtonLabel(this, res::IDC_ABOUT_HOME_PAGE, MakerHomePage());
  SetButtonLabel(this, res::IDC_ABOUT_TELEPHONE, MakerTelephone());
  Bind(
      wxEVT_BUTTON, [](wxCommandEvent&) { SendMailToMaker(); }, res::IDC_ABOUT_EMAIL);
  Bind(
      wxEVT_BUTTON, [](wxCommandEvent&) { OpenHomePage(); }, res::IDC_ABOUT_HOME_PAGE);
  Bind(
      wxEVT_BUTTON, [](wxCommandEvent&) {}, res::IDC_ABOUT_TELEPHONE);
  res::GrowControlsToFitTexts(*this);
  CentreOnParent();
}

}  // namespace vaskel
