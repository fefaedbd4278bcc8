#include "app/profile.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/utils.h>

#ifdef __WXMSW__
#include <wx/msw/registry.h>
#else
#include <wx/dir.h>
#include <wx/fileconf.h>
#include <wx/log.h>
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

// A file profile whose folder is made when there is first something to write.
class ProfileFile final : public wxFileConfig {
 public:
  explicit ProfileFile(const wxString& path)
      : wxFileConfig(kProfileApplication, kProfileVendor, path, wxString(),
                     wxCONFIG_USE_LOCAL_FILE),
        path_(path) {}
  ~ProfileFile() override { ProfileFile::Flush(false); }

  bool Flush(bool current_only) override {
    if (HasContent()) {
      wxFileName::Mkdir(wxFileName(path_).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    }
    return wxFileConfig::Flush(current_only);
  }

 private:
  bool HasContent() {
    const wxString saved_path = GetPath();
    SetPath("/");
    const bool has_content = GetNumberOfGroups() > 0 || GetNumberOfEntries() > 0;
    SetPath(saved_path);
    return has_content;
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
