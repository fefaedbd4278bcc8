// The File menu's recent-file list: four entries kept in the profile's "Recent File List"
// section as "File1" to "File4", shown in place of the greyed "Recent File" item, each path
// shortened to at most 30 characters. Each change is written to the profile as it happens, made
// to the list as stored then, so that entries another instance added meanwhile stay.
#pragma once

#include <wx/filehistory.h>

#include <functional>
#include <string>
#include <vector>

class wxConfigBase;
class wxMenu;

namespace vaskel {

inline constexpr int kRecentFileCount = 4;
inline constexpr std::size_t kRecentFileLabelLength = 30;

// `path` shortened for a menu: the start of the path, "..." and as many of its last parts as
// fit in `max_length` characters; at least the file's name, however long.
std::string AbbreviatePath(const std::string& path, std::size_t max_length);

class RecentFileList final : public wxFileHistory {
 public:
  RecentFileList();

  void Load(const wxConfigBase& config) override;
  void Save(wxConfigBase& config) override;

  void AddFileToHistory(const wxString& file) override;
  void RemoveFileFromHistory(size_t index) override;

  // From now on each change of the list is written to `profile` at once; null stops that.
  void KeepIn(wxConfigBase* profile) { profile_ = profile; }

  // Shows the list in `file_menu` where its "Recent File" item stands; null detaches.
  void AttachToMenu(wxMenu* file_menu);

 private:
  // Makes `change` to the stored list and shows the result.
  void Changed(const std::function<void(std::vector<wxString>&)>& change);
  void RefreshMenu();

  wxMenu* file_menu_ = nullptr;
  wxConfigBase* profile_ = nullptr;
};

}  // namespace vaskel
