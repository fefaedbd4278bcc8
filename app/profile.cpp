#include "app/profile.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/utils.h>

#ifdef __WXMSW__
#include <wx/msw/registry.h>
#else
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/dir.h>
#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/unique_fd.h"
#endif

namespace vaskel {

#ifdef __WXMSW__

std::unique_ptr<wxConfigBase> OpenProfile() {
  return std::make_unique<wxConfig>(kProfileApplication, kProfileVendor);
}

// The registry is read and written as it is: every instance sees the others' values at once.
bool UpdateProfile(wxConfigBase& profile, const std::function<bool(wxConfigBase&)>& change) {
  return change(profile);
}

void DeleteProfile() {
  const wxString vendor_key = wxString("HKEY_CURRENT_USER\\Software\\") + kProfileVendor;
  wxRegKey application(vendor_key + "\\" + kProfileApplication);
  if (application.Exists()) application.DeleteSelf();
  wxRegKey vendor(vendor_key);
  size_t subkeys = 0;
  size_t values = 0;
  // GetKeyInfo asks an open key only.
  if (vendor.Exists() && vendor.Open(wxRegKey::Read) &&
      vendor.GetKeyInfo(&subkeys, nullptr, &values, nullptr) && subkeys == 0 && values == 0) {
    vendor.DeleteSelf();
  }
}

#else

namespace {

std::string ReadWholeFile(const wxString& path) {
  std::ifstream in(path.fn_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// The file a write replaces: a profile that is a symbolic link stays one, and its target takes
// the new text. A dangling link gets its target made first.
std::string WriteTarget(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)) {
    UniqueFd target(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    if (target && ::realpath(path.c_str(), resolved) != nullptr) return resolved;
  }
  return path;
}

// Puts `bytes` in place of the file at `path` through a temporary file in the same folder, so
// that a crash leaves either the old file or the new one, whole.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::string target = WriteTarget(path);
  std::string temporary = target + ".XXXXXX";
  UniqueFd file(::mkstemp(temporary.data()));
  if (!file) return false;
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(file.Get(), old.st_mode & 07777);
  const bool written = WriteAll(file.Get(), bytes) && ::fsync(file.Get()) == 0 &&
                       file.Close() == 0 && std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!written) {
    ::unlink(temporary.c_str());
    return false;
  }
  const std::string folder = target.substr(0, target.find_last_of('/') + 1);
  UniqueFd folder_fd(
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder_fd) ::fsync(folder_fd.Get());  // the rename itself
  return true;
}

// Text of the stored file as wxFileConfig holds it here: one character per byte.
wxString AsBytes(const wxString& text) { return wxString::From8BitData(text.utf8_str()); }

wxString FromBytes(const wxString& bytes) {
  const wxCharBuffer raw = bytes.To8BitData();
  const wxString text = wxString::FromUTF8(raw.data(), raw.length());
  // Not UTF-8: read as Latin-1, as the profile itself is read then.
  return text.empty() && !bytes.empty() ? bytes : text;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The profile as it is on disk, parsed byte for byte so that whatever no change touches is saved
// exactly as it was, in any encoding; keys and values cross as UTF-8. Every change made to it
// is recorded, for the in-memory copy to follow.
class StoredProfile final : public wxFileConfig {
 public:
  struct Change {
    wxString key;
    std::optional<wxString> value;  // none: the entry is deleted
  };

  explicit StoredProfile(wxInputStream& in) : wxFileConfig(in, wxConvISO8859_1) {}

  bool DeleteEntry(const wxString& key, bool group_if_empty_also) override {
    if (!wxFileConfig::DeleteEntry(AsBytes(key), group_if_empty_also)) return false;
    changes_.push_back({key, std::nullopt});
    return true;
  }

  const std::vector<Change>& Changes() const { return changes_; }

 protected:
  bool DoReadString(const wxString& key, wxString* value) const override {
    wxString bytes;
    if (!wxFileConfig::DoReadString(AsBytes(key), &bytes)) return false;
    *value = FromBytes(bytes);
    return true;
  }

  bool DoWriteString(const wxString& key, const wxString& value) override {
    if (!wxFileConfig::DoWriteString(AsBytes(key), AsBytes(value))) return false;
    changes_.push_back({key, value});
    return true;
  }

 private:
  std::vector<Change> changes_;
};

// The file's text, for wxFileConfig to parse while it is constructed.
struct ProfileText {
  explicit ProfileText(const wxString& path)
      : text(ReadWholeFile(path)), stream(text.data(), text.size()) {}
  std::string text;
  wxMemoryInputStream stream;
};

// A profile whose every write is on disk when it returns and changes only its own key: the
// file is read afresh under a lock on its folder, the one key changed and the result put in
// place of the file. Parsed from a stream, the in-memory copy knows no file and is never
// written back, so another instance's newer keys are never overwritten from it.
class ProfileFile final : private ProfileText, public wxFileConfig {
 public:
  explicit ProfileFile(const wxString& path)
      : ProfileText(path), wxFileConfig(stream), path_(path) {}

  bool DeleteEntry(const wxString& key, bool group_if_empty_also) override {
    const wxString full_key = FullKey(key);
    const bool deleted = wxFileConfig::DeleteEntry(key, group_if_empty_also);
    return Persist([&](wxConfigBase& disk) {
             return disk.DeleteEntry(full_key, group_if_empty_also);
           }) &&
           deleted;
  }

  bool DeleteGroup(const wxString& key) override {
    const wxString full_key = FullKey(key);
    const bool deleted = wxFileConfig::DeleteGroup(key);
    return Persist([&](wxConfigBase& disk) { return disk.DeleteGroup(AsBytes(full_key)); }) &&
           deleted;
  }

  // `change` made to the stored profile in one step; this copy then takes the same writes.
  bool Update(const std::function<bool(wxConfigBase&)>& change) {
    std::vector<StoredProfile::Change> made;
    const bool done = Persist([&](StoredProfile& disk) {
      const bool changed = change(disk);
      made = disk.Changes();
      return changed;
    });
    if (!done) return false;
    for (const StoredProfile::Change& each : made) {
      if (each.value) {
        wxFileConfig::DoWriteString(each.key, *each.value);
      } else {
        wxFileConfig::DeleteEntry(each.key, true);
      }
    }
    return true;
  }

 protected:
  // Every typed write of wxFileConfig ends here.
  bool DoWriteString(const wxString& key, const wxString& value) override {
    if (!wxFileConfig::DoWriteString(key, value)) return false;
    const wxString full_key = FullKey(key);
    return Persist([&](wxConfigBase& disk) {
      wxString current;
      if (disk.Read(full_key, &current) && current == value) return false;
      return disk.Write(full_key, value);
    });
  }

 private:
  wxString FullKey(const wxString& key) const {
    return key.StartsWith("/") ? key : GetPath() + "/" + key;
  }

  // Applies `change` to the file as it is on disk now; a change that reports false (nothing
  // to do) writes nothing.
  template <typename Change>
  bool Persist(Change change) {
    const wxString folder = wxFileName(path_).GetPath();
    if (!wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL)) return false;
    UniqueFd folder_fd(::open(folder.fn_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder_fd || ::flock(folder_fd.Get(), LOCK_EX) != 0) return false;
    std::string old_text = ReadWholeFile(path_);
    const bool marked = std::string_view(old_text).starts_with(kByteOrderMark);
    if (marked) old_text.erase(0, kByteOrderMark.size());
    wxMemoryInputStream in(old_text.data(), old_text.size());
    StoredProfile disk(in);  // knows no file, so it never writes one itself
    if (!change(disk)) return true;
    wxMemoryOutputStream out;
    if (!disk.Save(out, wxConvISO8859_1)) return false;
    std::string new_text(marked ? kByteOrderMark : std::string_view());
    new_text.resize(new_text.size() + out.GetLength());
    out.CopyTo(new_text.data() + (marked ? kByteOrderMark.size() : 0), out.GetLength());
    return ReplaceFile(std::string(path_.fn_str()), new_text);
  }

  wxString path_;
};

}  // namespace

wxString ConfigHome() {
  wxString home;
  if (wxGetEnv("XDG_CONFIG_HOME", &home) && wxFileName(home).IsAbsolute()) return home;
  return wxFileName(wxGetHomeDir(), ".config").GetFullPath();
}

wxString ProfileFilePath() {
  wxFileName path(ConfigHome(), wxString(kProfileApplication) + ".conf");
  path.AppendDir(kProfileVendor);
  return path.GetFullPath();
}

std::unique_ptr<wxConfigBase> OpenProfile() {
  return std::make_unique<ProfileFile>(ProfileFilePath());
}

bool UpdateProfile(wxConfigBase& profile, const std::function<bool(wxConfigBase&)>& change) {
  if (auto* file = dynamic_cast<ProfileFile*>(&profile)) return file->Update(change);
  return change(profile);
}

void DeleteProfile() {
  const wxFileName path(ProfileFilePath());
  if (path.FileExists()) wxRemoveFile(path.GetFullPath());
  const wxString vendor_folder = path.GetPath();
  if (!wxDir::Exists(vendor_folder)) return;
  wxLogNull quiet;  // another application's profile keeps the folder
  wxFileName::Rmdir(vendor_folder);
}

#endif

}  // namespace vaskel
