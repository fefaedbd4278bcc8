#include "app/profile.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/utils.h>

#ifdef __WXMSW__
#include <wx/msw/registry.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <wx/dir.h>
#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "storage/unique_fd.h"
#endif

namespace vaskel {

#ifdef __WXMSW__

std::unique_ptr<wxConfigBase> OpenProfile() {
  return std::make_unique<wxConfig>(kProfileApplication, kProfileVendor);
}

void DeleteProfile() {
  const wxString vendor_key = wxString("HKEY_CURRENT_USER\\Software\\") + kProfileVendor;
  wxRegKey application(vendor_key + "\\" + kProfileApplication);
  if (application.Exists()) application.DeleteSelf();
  wxRegKey vendor(vendor_key);
  size_t subkeys = 0;
  size_t values = 0;
  if (vendor.Exists() && vendor.GetKeyInfo(&subkeys, nullptr, &values, nullptr) && subkeys == 0 &&
      values == 0) {
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

// Puts `bytes` in place of the file at `path` through a temporary file in the same folder, so
// that a crash leaves either the old file or the new one, whole.
bool ReplaceFile(const wxString& path, int folder_fd, const std::string& bytes) {
  std::string temporary = std::string(path.fn_str()) + ".XXXXXX";
  UniqueFd file(::mkstemp(temporary.data()));
  if (!file) return false;
  const bool written = WriteAll(file.Get(), bytes) && ::fsync(file.Get()) == 0 &&
                       file.Close() == 0 && std::rename(temporary.c_str(), path.fn_str()) == 0;
  if (!written) {
    ::unlink(temporary.c_str());
    return false;
  }
  ::fsync(folder_fd);  // the rename itself
  return true;
}

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
    return Persist([&](wxFileConfig& disk) {
             return disk.DeleteEntry(full_key, group_if_empty_also);
           }) &&
           deleted;
  }

  bool DeleteGroup(const wxString& key) override {
    const wxString full_key = FullKey(key);
    const bool deleted = wxFileConfig::DeleteGroup(key);
    return Persist([&](wxFileConfig& disk) { return disk.DeleteGroup(full_key); }) && deleted;
  }

 protected:
  // Every typed write of wxFileConfig ends here.
  bool DoWriteString(const wxString& key, const wxString& value) override {
    if (!wxFileConfig::DoWriteString(key, value)) return false;
    const wxString full_key = FullKey(key);
    return Persist([&](wxFileConfig& disk) {
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
    const std::string old_text = ReadWholeFile(path_);
    wxMemoryInputStream in(old_text.data(), old_text.size());
    wxFileConfig disk(in);  // knows no file, so it never writes one itself
    if (!change(disk)) return true;
    wxMemoryOutputStream out;
    if (!disk.Save(out)) return false;
    std::string new_text(out.GetLength(), '\0');
    out.CopyTo(new_text.data(), new_text.size());
    return ReplaceFile(path_, folder_fd.Get(), new_text);
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
