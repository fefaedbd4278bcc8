#include "catalogue/vaskel_doc.h"

#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "platform/com/error_info.h"
#include "res/string_table.h"
#include "res/window_resources.h"
#include "storage/message_box.h"

namespace vaskel {

wxIMPLEMENT_DYNAMIC_CLASS(CVaskelDoc, wxDocument);

bool CVaskelDoc::OnOpenDocument(const wxString& path) {
  wxFile file;
  {
    wxLogNull quiet;  // the report below is ours
    if (!file.Open(path, wxFile::read)) {
      const int error = wxSysErrorCode();
      const wxString reason = error != 0 ? wxString(wxSysErrorMsgStr(error)) : wxString();
      ShowMessage(reason.empty() ? res::Translated(res::kFailedToOpenDocument).utf8_string()
                                 : (path + ": " + reason).utf8_string(),
                  MessageIcon::kExclamation);
      return false;
    }
  }
  DeleteContents();

  const auto start = std::chrono::steady_clock::now();
  // An empty file goes to the engine too, which refuses it: keeping the previous file open
  // would show its catalogue under this file's name.
  const HRESULT result = storage_engine_.OpenFile(path.utf8_string());
  const std::string reason = Failed(result) ? GetErrorInfo() : std::string();
  last_open_duration_ = std::chrono::steady_clock::now() - start;
  file.Close();

  if (Failed(result) || storage_engine_.GetRootStorage() == nullptr) {
    storage_engine_.Reset();
    CatalogueClosedHint hint;
    UpdateAllViews(nullptr, &hint);
    std::string message = res::Translated(res::kCantOpenFile).utf8_string();
    if (!reason.empty()) message += "\n\n" + reason;
    ShowMessage(message, MessageIcon::kExclamation);
  }

  SetTitle(wxFileName(path).GetFullName());
  SetFilename(path, true);
  Modify(false);
  SetDocumentSaved(true);
  return true;
}

}  // namespace vaskel
