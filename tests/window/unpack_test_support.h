// What the unpack, progress and Run tests share: a help file whose streams have distinct
// bytes, a private runtime directory (a temporary folder on Windows) for the PreviewFolder,
// recorders in place of the desktop's programs, the folder chooser and the popup menu, and a way to
// step into a modal dialog.
#pragma once

#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/operate_menu.h"
#include "platform/desktop/desktop_launcher.h"
#include "tests/window/window_test_support.h"
#include "unpack/folder_chooser.h"
#include "unpack/unpack_dialog.h"

namespace vaskel::testing {

struct Launch {
  std::string path;
  DesktopProgram program;
};

// Runs `enter` instead of the modal loop of every UnpackDialog shown while it lives; the dialog
// then returns what `enter` returned.
class UnpackDialogHook final : public wxModalDialogHook {
 public:
  explicit UnpackDialogHook(std::function<int(UnpackDialog&)> enter) : enter_(std::move(enter)) {
    Register();
  }
  ~UnpackDialogHook() override { Unregister(); }
  int shown = 0;

 protected:
  int Enter(wxDialog* dialog) override {
    auto* unpack = dynamic_cast<UnpackDialog*>(dialog);
    if (unpack == nullptr) return wxID_NONE;
    ++shown;
    return enter_(*unpack);
  }
  void Exit(wxDialog*) override {}

 private:
  std::function<int(UnpackDialog&)> enter_;
};

class UnpackWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped()) return;
    runtime_ = folder_ / "runtime";
    std::filesystem::create_directory(runtime_);
    std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
    SaveEnvironment("XDG_RUNTIME_DIR", runtime_.string());
    SaveEnvironment("TMPDIR", (folder_ / "tmp").string());
    SaveEnvironment("TMP", (folder_ / "tmp").string());  // Windows' temporary folder
    std::filesystem::create_directory(folder_ / "tmp");
    previous_launcher_ =
        SetDesktopLauncher([this](const std::string& path, DesktopProgram program) {
          desktop_launches_.push_back({path, program});
        });
    previous_chooser_ = SetFolderChooser([this](wxWindow*, const wxString& title) {
      chooser_titles_.push_back(title);
      return chosen_folder_;
    });
    previous_tracker_ = SetMenuTracker([this](wxWindow&, wxMenu& menu, const wxPoint& where) {
      menu_place_ = where;
      return track_menu_ ? track_menu_(menu) : wxID_NONE;
    });
  }

  void TearDown() override {
    if (!WindowSystemReady()) return;
    WindowTest::TearDown();
    SetDesktopLauncher(std::move(previous_launcher_));
    SetFolderChooser(std::move(previous_chooser_));
    SetMenuTracker(std::move(previous_tracker_));
    for (const auto& [name, value] : saved_environment_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

  void SaveEnvironment(const std::string& name, const std::string& value) {
    const char* previous = std::getenv(name.c_str());
    saved_environment_.emplace_back(name,
                                    previous ? std::optional<std::string>(previous) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
  }

  // Streams whose bytes name them, in the order the catalogue lists them.
  static std::vector<chmwriter::Entry> NamedStreams(const std::vector<std::string>& paths) {
    std::vector<chmwriter::Entry> entries;
    for (const std::string& path : paths) {
      const std::string bytes = "bytes of " + path;
      entries.push_back({path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), 1});
    }
    return entries;
  }
  static std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  // Every regular file below `root`, relative, sorted.
  static std::vector<std::string> FilesBelow(const std::filesystem::path& root) {
    std::vector<std::string> files;
    if (!std::filesystem::exists(root)) return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (entry.is_regular_file()) files.push_back(entry.path().lexically_relative(root).string());
    }
    std::sort(files.begin(), files.end());
    return files;
  }
  int RowNamed(const std::string& name, const std::string& path = "") const {
    for (int row = 0; row < Rows().GetItemCount(); ++row) {
      if (Rows().GetItemText(row, kNameColumn) == name &&
          Rows().GetItemText(row, kPathColumn) == path) {
        return row;
      }
    }
    return -1;
  }
  void Select(std::initializer_list<int> rows) const {
    Rows().SetItemState(-1, 0, LVIS_SELECTED);
    for (const int row : rows) Rows().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
  }

  std::filesystem::path runtime_;
  std::vector<Launch> desktop_launches_;
  std::optional<wxString> chosen_folder_;
  std::vector<wxString> chooser_titles_;
  std::function<int(wxMenu&)> track_menu_;
  wxPoint menu_place_;  // where the last context menu was put, in the list's coordinates

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_environment_;
  DesktopLauncher previous_launcher_;
  FolderChooser previous_chooser_;
  MenuTracker previous_tracker_;
};

}  // namespace vaskel::testing
