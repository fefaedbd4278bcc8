#include "unpack/missing_folder.h"

#include <wx/msgdlg.h>

#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/fs/utf8_path.h"
#include "res/resource_ids.h"
#include "res/window_resources.h"
#include "storage/message_box.h"

namespace vaskel {
namespace {

YesNoQuestion& Question() {
  static YesNoQuestion question;
  return question;
}

}  // namespace

YesNoQuestion SetYesNoQuestion(YesNoQuestion question) {
  return std::exchange(Question(), std::move(question));
}

bool AskYesNo(wxWindow* parent, const wxString& text) {
  if (const YesNoQuestion& question = Question()) return question(parent, text);
  wxMessageDialog dialog(parent, text, res::LoadWxString(res::IDS_APP_TITLE),
                         wxYES_NO | wxYES_DEFAULT | wxICON_QUESTION);
  return dialog.ShowModal() == wxID_YES;
}

bool MakeSureFolderExists(wxWindow* parent, const std::string& folder) {
  const std::filesystem::path path = platform::Utf8Path(folder);
  std::error_code error;
  // Whatever stands there (a folder, a file, a link) is extraction's to use or report.
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) return true;
  const wxString shown = wxString::FromUTF8(folder);
  if (!AskYesNo(parent, wxString::Format(kCreateFolderQuestion, shown))) return false;
  std::filesystem::create_directories(path, error);
  if (error) {
    ShowMessage("Can't create the folder " + folder + ": " + error.message(), MessageIcon::kStop);
    return false;
  }
  return true;
}

}  // namespace vaskel
