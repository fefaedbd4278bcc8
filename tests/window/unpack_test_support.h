// What the unpack, progress and Run tests share: a help file whose streams have distinct
// bytes, a private runtime directory (a temporary folder on Windows) for the PreviewFolder,
// recorders in place of the desktop's programs, the folder chooser and the popup menu, and a way to
// step into a modal dialog.
#pragma once

#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/operate_menu.h"
#include "platform/desktop/desktop_launcher.h"
#include "storage/extraction_job.h"
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

// Records the entries in the order the job delivers them, and on the first bytes of each one
// that `gate` names, holds the job's thread until `at_gate`, run on the interface thread with
// that entry's place in the delivery order, returns true (it is asked every 10 ms).
class GatedSink final : public EntrySink {
 public:
  GatedSink(std::function<bool(std::size_t)> gate, std::function<bool(std::size_t)> at_gate,
            EntrySink* files = nullptr)
      : gate_(std::move(gate)), at_gate_(std::move(at_gate)), files_(files) {}
  void Begin(std::size_t entry, std::uint64_t size) override {
    std::lock_guard lock(mutex_);
    begun_.push_back(entry);
    first_write_ = true;
    if (files_) files_->Begin(entry, size);
  }
  void Write(std::span<const std::uint8_t> bytes) override {
    std::unique_lock lock(mutex_);
    if (files_) files_->Write(bytes);
    if (!std::exchange(first_write_, false)) return;
    const std::size_t place = begun_.size() - 1;
    if (!gate_(place)) return;
    for (bool released = false; !released;) {
      answer_.reset();
      wxTheApp->CallAfter([this, place] {
        const bool answer = at_gate_(place);
        std::lock_guard lock(mutex_);
        answer_ = answer;
        answered_.notify_all();
      });
      answered_.wait(lock, [this] { return answer_.has_value(); });
      released = *answer_;
      if (!released) answered_.wait_for(lock, std::chrono::milliseconds(10));
    }
  }
  void End(HRESULT result) override {
    if (files_) files_->End(result);
  }
  std::vector<std::size_t> Begun() {
    std::lock_guard lock(mutex_);
    return begun_;
  }

 private:
  std::function<bool(std::size_t)> gate_;
  std::function<bool(std::size_t)> at_gate_;
  EntrySink* files_;
  std::mutex mutex_;
  std::condition_variable answered_;
  std::vector<std::size_t> begun_;
  bool first_write_ = false;
  std::optional<bool> answer_;
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
  // Every regular file below `root`, relative, sorted, with '/' between levels everywhere.
  static std::vector<std::string> FilesBelow(const std::filesystem::path& root) {
    std::vector<std::string> files;
    if (!std::filesystem::exists(root)) return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (entry.is_regular_file())
        files.push_back(entry.path().lexically_relative(root).generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
  }
  int RowNamed(const std::string& name, const std::string& path = "") const {
    for (int row = 0; row < Rows().GetItemCount(); ++row) {
      if (Rows().GetItemText(row, kNameColumn) == name &&
          Rows().GetItemText(row, kPathColumn) == ShownPath(path)) {
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
