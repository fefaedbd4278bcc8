#include "app/message_boxes.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "res/resource_ids.h"
#include "res/window_resources.h"
#include "storage/message_box.h"

namespace vaskel {
namespace {

long IconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kExclamation:
      return wxICON_EXCLAMATION;
    case MessageIcon::kStop:
      return wxICON_ERROR;
    case MessageIcon::kInformation:
      return wxICON_INFORMATION;
  }
  return wxICON_NONE;
}

}  // namespace

void ConnectMessageBoxes() {
  SetMessageBoxHandler([](std::string_view text, MessageIcon icon) {
    wxWindow* owner = wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr;
    wxMessageBox(res::ToWx(text), res::LoadWxString(res::IDS_APP_TITLE), wxOK | IconStyle(icon),
                 owner);
  });
}

}  // namespace vaskel
