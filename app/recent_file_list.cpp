#include "app/recent_file_list.h"

#include <wx/confbase.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/menu.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "app/profile.h"
#include "platform/text/translation.h"
#include "res/resource_ids.h"
#include "res/string_table.h"
#include "res/window_resources.h"

namespace vaskel {
namespace {

// TRANSLATORS: the File menu's disabled item while no file has been opened yet.
constexpr char kPlaceholderLabel[] = TrNoop("Recent File");

wxString EntryKey(int index) {
  return wxString::Format("/%s/File%d", kRecentFileSection, index + 1);
}

std::vector<wxString> ReadEntries(const wxConfigBase& config) {
  std::vector<wxString> entries;
  for (int index = 0; index < kRecentFileCount; ++index) {
    wxString path;
    if (config.Read(EntryKey(index), &path) && !path.empty()) entries.push_back(path);
  }
  return entries;
}

// False when the profile held these entries already.
bool WriteEntries(wxConfigBase& config, const std::vector<wxString>& entries) {
  bool written = false;
  for (int index = 0; index < kRecentFileCount; ++index) {
    wxString stored;
    const bool present = config.Read(EntryKey(index), &stored);
    if (static_cast<size_t>(index) < entries.size()) {
      if (present && stored == entries[index]) continue;
      config.Write(EntryKey(index), entries[index]);
      written = true;
    } else if (present) {
      config.DeleteEntry(EntryKey(index));
      written = true;
    }
  }
  return written;
}

void RemoveEntry(std::vector<wxString>& entries, const wxString& path) {
  const wxFileName name(path);
  std::erase_if(entries, [&](const wxString& entry) { return wxFileName(entry) == name; });
}

bool IsRecentFileId(int id) {
  return id >= res::WxId(res::ID_FILE_MRU_FILE1) && id <= res::WxId(res::ID_FILE_MRU_FILE4);
}

#ifdef __WXMSW__
constexpr char kSeparators[] = "\\/";
#else
constexpr char kSeparators[] = "/";
#endif

}  // namespace

std::string AbbreviatePath(const std::string& path, std::size_t max_length) {
  if (path.size() <= max_length) return path;
  const std::size_t name_start = path.find_last_of(kSeparators);
  if (name_start == std::string::npos) return path;  // a bare name is shown whole
  // The path's start stays: its root, a drive with its root, or its first folder.
  const std::size_t head_end = std::string_view(kSeparators).find(path[0]) != std::string::npos
                                   ? 1
                                   : path.find_first_of(kSeparators) + 1;
  const auto fits = [&](std::size_t tail) {
    return head_end + 3 + (path.size() - tail) <= max_length;
  };
  if (head_end > name_start || !fits(name_start)) return path.substr(name_start + 1);
  std::size_t tail = name_start;  // where the kept end begins, at a separator
  for (;;) {
    const std::size_t previous = path.find_last_of(kSeparators, tail - 1);
    if (previous == std::string::npos || previous < head_end || !fits(previous)) break;
    tail = previous;
  }
  return path.substr(0, head_end) + "..." + path.substr(tail);
}

RecentFileList::RecentFileList()
    : wxFileHistory(kRecentFileCount, res::WxId(res::ID_FILE_MRU_FILE1)) {}

void RecentFileList::Load(const wxConfigBase& config) {
  for (int index = 0; index < kRecentFileCount; ++index) {
    wxString path;
    if (config.Read(EntryKey(index), &path) && !path.empty()) m_fileHistory.Add(path);
  }
  RefreshMenu();
}

void RecentFileList::Save(wxConfigBase& config) {
  for (int index = 0; index < kRecentFileCount; ++index) {
    if (static_cast<size_t>(index) < GetCount()) {
      config.Write(EntryKey(index), GetHistoryFile(index));
    } else {
      config.DeleteEntry(EntryKey(index));
    }
  }
}

void RecentFileList::AddFileToHistory(const wxString& file) {
  wxFileHistory::AddFileToHistory(file);
  Changed([&](std::vector<wxString>& entries) {
    RemoveEntry(entries, file);
    entries.insert(entries.begin(), file);
    if (entries.size() > kRecentFileCount) entries.resize(kRecentFileCount);
  });
}

void RecentFileList::RemoveFileFromHistory(size_t index) {
  if (index >= GetCount()) return;
  const wxString file = GetHistoryFile(index);
  wxFileHistory::RemoveFileFromHistory(index);
  Changed([&](std::vector<wxString>& entries) { RemoveEntry(entries, file); });
}

void RecentFileList::Changed(const std::function<void(std::vector<wxString>&)>& change) {
  std::vector<wxString> entries;
  // Another instance's entries, written since this one loaded the list, stay.
  if (profile_ != nullptr && UpdateProfile(*profile_, [&](wxConfigBase& stored) {
        entries = ReadEntries(stored);
        change(entries);
        return WriteEntries(stored, entries);
      })) {
    m_fileHistory.Clear();
    for (const wxString& entry : entries) m_fileHistory.Add(entry);
  }
  RefreshMenu();
}

void RecentFileList::AttachToMenu(wxMenu* file_menu) {
  file_menu_ = file_menu;
  RefreshMenu();
}

void RecentFileList::RefreshMenu() {
  if (file_menu_ == nullptr) return;
  // The entries take the place of the first recent-file item.
  int position = -1;
  const wxMenuItemList& items = file_menu_->GetMenuItems();
  int index = 0;
  for (const wxMenuItem* item : items) {
    if (IsRecentFileId(item->GetId())) {
      position = index;
      break;
    }
    ++index;
  }
  if (position < 0) return;
  for (int id = res::ID_FILE_MRU_FILE1; id <= res::ID_FILE_MRU_FILE4; ++id) {
    if (file_menu_->FindItem(res::WxId(id)) != nullptr) file_menu_->Destroy(res::WxId(id));
  }
  if (GetCount() == 0) {
    file_menu_->Insert(position, res::WxId(res::ID_FILE_MRU_FILE1),
                       wxGetTranslation(kPlaceholderLabel),
                       res::LoadWxString(res::ID_FILE_MRU_FILE1));
    file_menu_->Enable(res::WxId(res::ID_FILE_MRU_FILE1), false);
    return;
  }
  for (size_t entry = 0; entry < GetCount(); ++entry) {
    wxString shown = wxString::FromUTF8(
        AbbreviatePath(GetHistoryFile(entry).utf8_string(), kRecentFileLabelLength));
    shown.Replace("&", "&&");
    const int id = res::ID_FILE_MRU_FILE1 + static_cast<int>(entry);
    file_menu_->Insert(position + entry, res::WxId(id),
                       wxString::Format("&%zu %s", entry + 1, shown), res::LoadWxString(id));
  }
}

}  // namespace vaskel
