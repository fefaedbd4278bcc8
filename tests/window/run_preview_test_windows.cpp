// Run, drags and the PreviewFolder on Windows: "VASKELTMP" in the user's temporary folder, the
// shell's own separators in what is handed on, the clean-up, and the shell starting the program
// registered for a type (the recorder tools/wine-session.sh registers).
#include <windows.h>
#include <wx/dnd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "catalogue/drag_and_drop.h"
#include "catalogue/preview_folder.h"
#include "catalogue/run_preview.h"
#include "res/resource_ids.h"
#include "tests/window/unpack_test_support.h"

namespace vaskel::testing {
namespace {

using namespace res;
namespace fs = std::filesystem;

class RunPreviewTest : public UnpackWindowTest {
 protected:
  void SetUp() override {
    UnpackWindowTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(Start({WriteHelpFile(
        "run.chm", NamedStreams({"/index.html", "/a/same.txt", "/b/same.txt", "/a/notes.txt"}))}));
    preview_ = folder_ / "tmp" / "VASKELTMP";
    process_ = fs::path(ProcessPreviewFolderPath()).make_preferred();
  }
  void Run(int row) { RunEntry(Rows(), Doc()->Engine(), row); }

  fs::path preview_;
  fs::path process_;
};

TEST_F(RunPreviewTest, RunWritesIntoTheTemporaryFolderAndClosingRemovesOnlyItsOwnFolder) {
  EXPECT_EQ(process_.parent_path(), preview_);
  EXPECT_EQ(process_.filename().string().find(std::to_string(::GetCurrentProcessId()) + "-"), 0u);
  const int text = RowNamed("same.txt", "a/");
  Rows().SetItemText(text, kTypeColumn, "Text Document");
  Run(text);
  ASSERT_EQ(desktop_launches_.size(), 1u);
  EXPECT_EQ(fs::path(desktop_launches_[0].path).make_preferred(), process_ / "run" / "same.txt");
  EXPECT_EQ(ReadFile(process_ / "run" / "same.txt"), "bytes of /a/same.txt");

  // A window that was killed (no process has id 1 here) and one still running (this one's
  // process id and start time, but another folder name would not match).
  const fs::path killed = preview_ / "1-1";
  fs::create_directories(killed / "run");
  std::ofstream(killed / "run" / "file.txt") << "file";
  SweepAbandonedPreviewFolders();
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_TRUE(fs::exists(process_ / "run" / "same.txt"));
  Command(ID_APP_EXIT);
  RunPendingCalls();
  FinishPreviewFolderRemoval();
  EXPECT_FALSE(fs::exists(preview_));
}

TEST_F(RunPreviewTest, DraggedFilesAreOfferedWithTheShellsSeparators) {
  Select({RowNamed("same.txt", "a/"), RowNamed("notes.txt", "a/")});
  const DraggedFiles dragged = DraggedRows(*View());
  ASSERT_NE(dragged.files, nullptr);
  const wxArrayString files = dragged.files->GetFilenames();
  ASSERT_EQ(files.size(), 2u);
  for (const wxString& file : files) {
    EXPECT_EQ(file.Find('/'), wxNOT_FOUND) << file;
    EXPECT_EQ(fs::path(file.utf8_string()).parent_path().parent_path(), process_ / "drags");
    EXPECT_TRUE(fs::is_regular_file(file.utf8_string()));
  }
  DragEnded(dragged, wxDragCancel);
  EXPECT_TRUE(FilesBelow(process_ / "drags").empty());
}

// The real launcher, not the test's recorder: the shell starts the program registered for .txt.
TEST_F(RunPreviewTest, TheShellStartsTheTypesProgramWithTheFilesWindowsPath) {
  const char* record = std::getenv("VASKEL_OPEN_RECORD");
  if (record == nullptr || *record == '\0') GTEST_SKIP() << "no recorder registered";
  SetDesktopLauncher({});
  const fs::path file = folder_ / "opened by shell.txt";
  std::ofstream(file) << "text";
  const std::string expected = fs::path(file).make_preferred().string();
  std::string slashed = expected;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  EXPECT_EQ(OpenWithDesktop(slashed, DesktopProgram::kDefaultForType), "");
  // The recorder runs on its own; it has written its line once it has ended.
  std::string recorded;
  for (int wait = 0; wait < 600 && recorded.find(expected) == std::string::npos; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    recorded = ReadFile(record);
  }
  EXPECT_NE(recorded.find(expected), std::string::npos) << recorded;
}

}  // namespace
}  // namespace vaskel::testing
