// The context menu, Run and the PreviewFolder: greyed entries, what Run writes and hands to the
// desktop, the clean-up when the main window closes and of abandoned folders at start, drags,
// and the folder's refusals.
#include "catalogue/run_preview.h"

#include <sys/stat.h>
#include <unistd.h>
#include <wx/dnd.h>
#include <wx/menu.h>
#include <wx/xrc/xmlres.h>

#include "catalogue/drag_and_drop.h"
#include "catalogue/page_preview.h"
#include "catalogue/preview_folder.h"
#include "res/resource_ids.h"
#include "tests/window/unpack_test_support.h"

namespace vaskel::testing {
namespace {

using namespace res;
namespace fs = std::filesystem;

unsigned Mode(const fs::path& path) {
  struct stat status {};
  ::lstat(path.c_str(), &status);
  return status.st_mode & 07777;
}

// The start time the kernel gives process `pid` (the 22nd field of its stat).
std::string StartTimeOf(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  std::getline(in, stat);
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  for (int number = 3; number <= 22 && fields >> field; ++number) {
  }
  return field;
}

class RunPreviewTest : public UnpackWindowTest {
 protected:
  void SetUp() override {
    UnpackWindowTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(
        Start({WriteHelpFile("run.chm", NamedStreams({"/index.html", "/a/same.txt", "/b/same.txt",
                                                      "/a/deep/page.htm"}))}));
    ASSERT_EQ(Rows().GetItemCount(), 4);
    preview_ = runtime_ / "VASKELTMP";
    process_ = ProcessPreviewFolderPath();
    run_ = process_ / "run";
    ASSERT_EQ(process_.parent_path(), preview_);
  }

  // The right-click as the list reports it; returns the states the menu was shown with.
  std::vector<bool> RightClick(int choose = wxID_NONE) {
    std::vector<bool> enabled;
    track_menu_ = [&](wxMenu& menu) {
      for (const wxMenuItem* item : menu.GetMenuItems()) enabled.push_back(item->IsEnabled());
      return choose;
    };
    wxContextMenuEvent click(wxEVT_CONTEXT_MENU, List()->Window().GetId(), wxGetMousePosition());
    click.SetEventObject(&List()->Window());
    List()->Window().ProcessWindowEvent(click);
    return enabled;
  }
  void DoubleClick(int row) { ActivateInControl(row); }
  void Run(int row) { RunEntry(Rows(), Doc()->Engine(), row); }

  fs::path preview_;
  fs::path process_;  // this program's own folder in it
  fs::path run_;
};

TEST_F(RunPreviewTest, ContextMenuOffersRunForOneRowAndUnpackForAny) {
  std::unique_ptr<wxMenuBar> resource(
      wxXmlResource::Get()->LoadMenuBar(nullptr, "IDR_CONTEXT_MENU"));
  ASSERT_NE(resource, nullptr);
  EXPECT_EQ(resource->GetMenuLabel(0), "Operate");
  const std::unique_ptr<wxMenu> menu = LoadOperateMenu(1);
  ASSERT_EQ(menu->GetMenuItemCount(), 2u);
  EXPECT_EQ(menu->FindItemByPosition(0)->GetId(), WxId(ID_OPERATE_RUN));
  EXPECT_EQ(menu->FindItemByPosition(0)->GetItemLabel(), "&Run");
  EXPECT_EQ(menu->FindItemByPosition(1)->GetId(), WxId(ID_OPERATE_UNPACK));
  EXPECT_EQ(menu->FindItemByPosition(1)->GetItemLabel(), "&Unpack");

  EXPECT_EQ(RightClick(), (std::vector<bool>{false, false}));
  Select({2});
  EXPECT_EQ(RightClick(), (std::vector<bool>{true, true}));
  Select({0, 3});
  EXPECT_EQ(RightClick(), (std::vector<bool>{false, true}));
  // Dismissed, or a greyed entry: nothing happens.
  RightClick(WxId(ID_OPERATE_RUN));
  EXPECT_TRUE(desktop_launches_.empty());
  EXPECT_FALSE(fs::exists(preview_));
}

TEST_F(RunPreviewTest, ContextMenuUnpackOpensTheDialogWithSelectedFiles) {
  Select({0, 3});
  int choice = 0;
  UnpackDialogHook hook([&](UnpackDialog& dialog) {
    dialog.InitDialog();
    choice = dialog.FileChoice();
    return wxID_CANCEL;
  });
  RightClick(WxId(ID_OPERATE_UNPACK));
  EXPECT_EQ(hook.shown, 1);
  EXPECT_EQ(choice, IDC_UNPACK_SELECTED);
}

TEST_F(RunPreviewTest, RunWritesTheStreamFlatIntoThePreviewFolderAndOpensIt) {
  const int text = RowNamed("same.txt", "a/");
  Rows().SetItemText(text, kTypeColumn, "Plain text");
  Select({text});
  RightClick(WxId(ID_OPERATE_RUN));
  ASSERT_EQ(desktop_launches_.size(), 1u);
  EXPECT_EQ(desktop_launches_[0].path, (run_ / "same.txt").string());
  EXPECT_EQ(desktop_launches_[0].program, DesktopProgram::kDefaultForType);
  EXPECT_EQ(ReadFile(run_ / "same.txt"), "bytes of /a/same.txt");
  EXPECT_EQ(FilesBelow(preview_), std::vector<std::string>{process_.filename() / "run/same.txt"});
  EXPECT_EQ(Mode(preview_), 0700u);
  EXPECT_EQ(Mode(process_), 0700u);

  // A row without a type goes to the plain-text editor (this Run is not the view's, which
  // shows pages whole).
  const int index = RowNamed("index.html");
  Rows().SetItemText(index, kTypeColumn, "");
  Run(index);
  ASSERT_EQ(desktop_launches_.size(), 2u);
  EXPECT_EQ(desktop_launches_[1].path, (run_ / "index.html").string());
  EXPECT_EQ(desktop_launches_[1].program, DesktopProgram::kTextEditor);
}

TEST_F(RunPreviewTest, DoubleClickRunsOnlyASingleSelectedRow) {
  DoubleClick(1);
  Select({1, 2});
  DoubleClick(1);
  EXPECT_TRUE(desktop_launches_.empty());
  const int text = RowNamed("same.txt", "b/");
  Select({text});
  DoubleClick(text == 0 ? 1 : 0);  // the selection decides, not the row under the pointer
  ASSERT_EQ(desktop_launches_.size(), 1u);
  EXPECT_EQ(desktop_launches_[0].path, (run_ / "same.txt").string());
}

TEST_F(RunPreviewTest, RowsOfAReleasedFileAndUnwritableFilesOpenNothing) {
  // The previewed file cannot be made: a folder of that name is in the way.
  fs::create_directories(run_ / "index.html");
  Run(RowNamed("index.html"));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].icon, MessageIcon::kStop);
  EXPECT_NE(messages_[0].text.find((run_ / "index.html").string()), std::string::npos);
  EXPECT_TRUE(desktop_launches_.empty());

  Doc()->Engine().Reset();  // the rows now name storages the engine let go
  Run(RowNamed("page.htm", "a/deep/"));
  Run(99);
  EXPECT_TRUE(desktop_launches_.empty());
  EXPECT_FALSE(fs::exists(run_ / "page.htm"));
}

TEST_F(RunPreviewTest, CleanUpRemovesTheTreeAtAnyDepthAndFollowsNoLink) {
  Run(0);
  const fs::path outside = folder_ / "outside";
  fs::create_directory(outside);
  std::ofstream(outside / "keep.txt") << "keep";
  fs::create_symlink(outside / "keep.txt", process_ / "link.txt");
  fs::create_directories(process_ / "sub" / "deeper");
  fs::create_symlink(outside, process_ / "sub" / "link-folder");
  std::ofstream(process_ / "sub" / "deeper" / "inner.txt") << "inner";
  // Far deeper than any walk that holds a descriptor per level would go.
  fs::path deep = process_ / "pages";
  for (int level = 0; level < 300; ++level) deep /= "d";
  fs::create_directories(deep);
  std::ofstream(deep / "bottom.htm") << "bottom";
  fs::create_symlink(outside, deep / "link-at-the-bottom");
  ClearPreviewFolder();
  EXPECT_FALSE(fs::exists(fs::symlink_status(preview_)));
  EXPECT_EQ(ReadFile(outside / "keep.txt"), "keep");
  EXPECT_TRUE(fs::exists(outside));
}

TEST_F(RunPreviewTest, ClosingRemovesOnlyThisProgramsFolderAndStartingSweepsAbandonedOnes) {
  Run(0);
  const std::string own = process_.filename().string();
  const std::string boot = own.substr(0, own.find('-'));
  const std::string pid = std::to_string(::getpid());
  // Another window, still running (the first process never ends), a window that was killed
  // (this process id with another start time), one from an earlier boot, and a folder that is
  // not of our naming.
  const fs::path running = preview_ / (boot + "-1-" + StartTimeOf(1));
  const fs::path killed = preview_ / (boot + "-" + pid + "-1");
  const fs::path earlier_boot =
      preview_ / (std::string(boot == "00000000" ? "11111111" : "00000000") + "-" + pid + "-" +
                  StartTimeOf(::getpid()));
  const fs::path unknown = preview_ / "notes";
  for (const fs::path& folder : {running, killed, earlier_boot, unknown}) {
    fs::create_directories(folder / "run");
    std::ofstream(folder / "run" / "file.txt") << "file";
  }
  fs::create_directories(killed / "pages" / "deep" / "er");
  SweepAbandonedPreviewFolders();
  FinishPreviewFolderRemoval();
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_FALSE(fs::exists(earlier_boot));
  // Sorted: "<boot>-1-..." before "<boot>-<pid>-...", digits and a-f before "notes".
  const std::string run = std::string(Rows().GetItemText(0, kNameColumn));
  EXPECT_EQ(FilesBelow(preview_),
            (std::vector<std::string>{running.filename() / "run/file.txt",
                                      process_.filename() / "run" / run, "notes/run/file.txt"}));
  Command(ID_APP_EXIT);
  RunPendingCalls();
  FinishPreviewFolderRemoval();
  EXPECT_EQ(FilesBelow(preview_),
            (std::vector<std::string>{running.filename() / "run/file.txt", "notes/run/file.txt"}));
}

TEST_F(RunPreviewTest, PageShowsWithWhatItReferencesThenTheRestFollowsAndIsReused) {
  const auto bytes = [](const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
  };
  Open(WriteHelpFile(
      "pages.chm",
      {{"/html/page.htm",
        bytes("<html><link rel=stylesheet href=\"../css/Style.CSS\"><img src='pic%20one.png'>"
              "<a href=\"other.htm#top\">on</a><a href=\"http://example.org/\">web</a>"
              "<!-- <img src=\"commented.png\"> --><IFRAME SRC=sub/frame.htm></IFRAME>"
              "<script src=\"/js/run.js\"></script></html>"),
        1},
       {"/css/style.css", bytes("css"), 1},
       {"/html/pic one.png", bytes("png"), 1},
       {"/html/other.htm", bytes("<img src=\"ONLY-later.gif\">"), 1},
       {"/html/only-later.gif", bytes("gif"), 1},
       {"/html/commented.png", bytes("png"), 1},
       {"/html/sub/frame.htm", bytes("<img src=\"../../img/in-frame.gif\">"), 1},
       {"/img/in-frame.gif", bytes("gif"), 1},
       {"/js/run.js", bytes("js"), 1}}));
  ASSERT_EQ(Rows().GetItemCount(), 9);
  Select({RowNamed("page.htm", "html/")});
  RightClick(WxId(ID_OPERATE_RUN));
  ASSERT_EQ(desktop_launches_.size(), 1u);
  const fs::path document = View()->Pages()->DocumentFolder();
  EXPECT_EQ(document.parent_path(), process_ / "pages");
  EXPECT_EQ(desktop_launches_[0].path, (document / "html/page.htm").string());
  // A name the page spells in other letter case is there under both spellings.
  EXPECT_EQ(FilesBelow(document),
            (std::vector<std::string>{"css/Style.CSS", "css/style.css", "html/other.htm",
                                      "html/page.htm", "html/pic one.png", "html/sub/frame.htm",
                                      "img/in-frame.gif", "js/run.js"}));
  EXPECT_TRUE(fs::equivalent(document / "css/Style.CSS", document / "css/style.css"));
  // The rest while the window is idle, with the other spellings its pages use.
  while (View()->Pages()->CopySome(std::chrono::milliseconds(100))) {
  }
  EXPECT_EQ(FilesBelow(document).size(), 11u);
  EXPECT_EQ(ReadFile(document / "html/only-later.gif"), "gif");
  EXPECT_EQ(ReadFile(document / "html/ONLY-later.gif"), "gif");
  // Reused: a later Run copies nothing again.
  std::ofstream(document / "html/other.htm") << "kept";
  View()->Run(RowNamed("other.htm", "html/"));
  ASSERT_EQ(desktop_launches_.size(), 2u);
  EXPECT_EQ(desktop_launches_[1].path, (document / "html/other.htm").string());
  EXPECT_EQ(ReadFile(document / "html/other.htm"), "kept");
  // What the page needs is looked for at each Run, not taken as copied: a picture removed, and
  // then the whole copy, come back.
  fs::remove(document / "html/pic one.png");
  View()->Run(RowNamed("page.htm", "html/"));
  EXPECT_EQ(ReadFile(document / "html/pic one.png"), "png");
  fs::remove_all(document);
  View()->Run(RowNamed("page.htm", "html/"));
  ASSERT_EQ(desktop_launches_.size(), 4u);
  // As at the first Run, the page's other spelling included.
  EXPECT_EQ(FilesBelow(document).size(), 8u);
  EXPECT_TRUE(fs::equivalent(document / "css/Style.CSS", document / "css/style.css"));
  Command(ID_APP_EXIT);
  RunPendingCalls();
  FinishPreviewFolderRemoval();
  EXPECT_FALSE(fs::exists(preview_));
}

TEST_F(RunPreviewTest, PageCopiesFollowTheFileTheEngineOpenedNotTheOneOnDisk) {
  const auto help_file = [&](const std::string& text) {
    const std::string page = "<html><img src=\"pic.png\">" + text + "</html>";
    return WriteHelpFile("rebuilt.chm",
                         {{"/page.htm", std::vector<std::uint8_t>(page.begin(), page.end()), 1},
                          {"/pic.png", std::vector<std::uint8_t>(text.begin(), text.end()), 1}});
  };
  const std::string path = help_file("first");
  Open(path);
  View()->Run(RowNamed("page.htm"));
  ASSERT_EQ(desktop_launches_.size(), 1u);
  const fs::path first = View()->Pages()->DocumentFolder();
  // Rebuilt on disk while the old one stays open: Run still shows the open one, in its copy.
  help_file("second build");
  fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
  View()->Run(RowNamed("page.htm"));
  EXPECT_EQ(View()->Pages()->DocumentFolder(), first);
  EXPECT_EQ(ReadFile(first / "pic.png"), "first");
  // Opened again (after another, or the framework keeps the open one): a copy of its own,
  // filled from the new file.
  Open(WriteHelpFile("other.chm", NamedStreams({"/other.htm"})));
  Open(path);
  View()->Run(RowNamed("page.htm"));
  const fs::path second = View()->Pages()->DocumentFolder();
  EXPECT_NE(second, first);
  EXPECT_NE(ReadFile(second / "page.htm").find("second build"), std::string::npos);
  EXPECT_EQ(ReadFile(second / "pic.png"), "second build");
}

TEST_F(RunPreviewTest, DraggedRowsAreOfferedAsFilesAndADroppedHelpFileOpens) {
  // A stored file named like a drag's folder, run first, is in no drag's way.
  Open(WriteHelpFile("drag.chm", NamedStreams({"/1", "/drag-1", "/a/same.txt", "/index.html"})));
  Run(RowNamed("1"));
  Run(RowNamed("drag-1"));
  Select({RowNamed("same.txt", "a/"), RowNamed("index.html")});
  const DraggedFiles dragged = DraggedRows(*View());
  ASSERT_NE(dragged.files, nullptr);
  const wxArrayString files = dragged.files->GetFilenames();
  ASSERT_EQ(files.size(), 2u);
  std::vector<std::string> contents;
  for (const wxString& file : files) {
    EXPECT_EQ(fs::path(file.utf8_string()).parent_path(), dragged.folder);
    contents.push_back(ReadFile(file.utf8_string()));
  }
  EXPECT_EQ(fs::path(dragged.folder).parent_path(), process_ / "drags");
  std::sort(contents.begin(), contents.end());
  EXPECT_EQ(contents, (std::vector<std::string>{"bytes of /a/same.txt", "bytes of /index.html"}));
  // Dropped: kept, the file manager may still be copying. Cancelled: gone at once.
  DragEnded(dragged, wxDragCopy);
  EXPECT_EQ(FilesBelow(dragged.folder).size(), 2u);
  const DraggedFiles cancelled = DraggedRows(*View());
  ASSERT_NE(cancelled.files, nullptr);
  EXPECT_NE(cancelled.folder, dragged.folder);
  DragEnded(cancelled, wxDragCancel);
  EXPECT_FALSE(fs::exists(cancelled.folder));
  EXPECT_TRUE(fs::exists(dragged.folder));
  Select({});
  EXPECT_EQ(DraggedRows(*View()).files, nullptr);

  // More than a drag may write is refused before anything is written.
  const int big = RowNamed("index.html");
  Rows().SetItemText(big, kSizeColumn, std::to_string(kLargestDrag + 1));
  Select({big});
  const std::size_t shown = messages_.size();
  EXPECT_EQ(DraggedRows(*View()).files, nullptr);
  ASSERT_EQ(messages_.size(), shown + 1);
  EXPECT_NE(messages_.back().text.find("Unpack them instead"), std::string::npos);
  EXPECT_EQ(FilesBelow(process_ / "drags").size(), 2u);

  auto* target = dynamic_cast<HelpFileDropTarget*>(List()->Window().GetDropTarget());
  ASSERT_NE(target, nullptr);
  const std::string dropped = WriteHelpFile("dropped.chm", NamedStreams({"/one.htm"}));
  wxArrayString drop;
  drop.Add(wxString::FromUTF8(dropped));
  drop.Add(wxString::FromUTF8(WriteHelpFile("second.chm", NamedStreams({"/a", "/b"}))));
  EXPECT_TRUE(target->OnDropFiles(0, 0, drop));
  RunPendingCalls();
  EXPECT_EQ(Title(), "dropped.chm - Vaskel");
  EXPECT_EQ(Rows().GetItemCount(), 1);
  Command(ID_APP_EXIT);
  RunPendingCalls();
  FinishPreviewFolderRemoval();
  EXPECT_FALSE(fs::exists(preview_));
}

TEST_F(RunPreviewTest, PreviewFolderThatIsALinkIsRefusedAndNeverCleared) {
  const fs::path victim = folder_ / "victim";
  fs::create_directory(victim);
  std::ofstream(victim / "precious.txt") << "precious";
  fs::create_directory_symlink(victim, preview_);
  Run(RowNamed("index.html"));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].icon, MessageIcon::kStop);
  EXPECT_NE(messages_[0].text.find("symbolic link"), std::string::npos) << messages_[0].text;
  EXPECT_NE(messages_[0].text.find(preview_.string()), std::string::npos);
  EXPECT_TRUE(desktop_launches_.empty());
  EXPECT_EQ(FilesBelow(victim), std::vector<std::string>{"precious.txt"});
  ClearPreviewFolder();
  EXPECT_EQ(ReadFile(victim / "precious.txt"), "precious");
  EXPECT_TRUE(fs::is_symlink(preview_));
}

TEST_F(RunPreviewTest, PreviewFolderOfAnotherUserIsRefusedAndNeverCleared) {
  if (::geteuid() != 0) GTEST_SKIP() << "handing a folder to another user needs root";
  fs::create_directory(preview_);
  std::ofstream(preview_ / "theirs.txt") << "theirs";
  ASSERT_EQ(::chown(preview_.c_str(), 65534, 65534), 0);
  Run(RowNamed("index.html"));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].text.find("another user"), std::string::npos) << messages_[0].text;
  EXPECT_TRUE(desktop_launches_.empty());
  ClearPreviewFolder();
  EXPECT_EQ(FilesBelow(preview_), std::vector<std::string>{"theirs.txt"});
}

TEST_F(RunPreviewTest, OwnFolderIsMadeOwnerOnlyAndAPrivateTemporaryFolderServesWithoutRuntime) {
  // Our folders are made owner-only; the runtime directory we were given is never changed.
  for (const unsigned given : {0755u, 01777u}) {
    ::chmod(runtime_.c_str(), given);
    fs::create_directory(preview_);
    fs::permissions(preview_, fs::perms::all);
    Run(0);
    EXPECT_EQ(Mode(runtime_), given);
    EXPECT_EQ(Mode(preview_), 0700u);
    EXPECT_EQ(FilesBelow(run_).size(), 1u);
  }
  // One others may write to without the sticky bit is not used.
  ::chmod(runtime_.c_str(), 0777);
  EXPECT_NE(PreviewBaseFolder(), runtime_.string());
  EXPECT_EQ(Mode(runtime_), 0777u);
  ::chmod(runtime_.c_str(), 0700);

  // Without a usable runtime directory: "vaskel-<uid>" in the temporary directory, private.
  ::unsetenv("XDG_RUNTIME_DIR");
  const fs::path base = folder_ / "tmp" / ("vaskel-" + std::to_string(::geteuid()));
  EXPECT_EQ(PreviewFolderPath(), (base / "VASKELTMP").string());
  Run(0);
  EXPECT_EQ(Mode(base), 0700u);
  EXPECT_EQ(Mode(base / "VASKELTMP"), 0700u);
  EXPECT_TRUE(fs::exists(base / "VASKELTMP" / process_.filename() / "run" /
                         std::string(Rows().GetItemText(0, kNameColumn))));
  ClearPreviewFolder();
  EXPECT_FALSE(fs::exists(base / "VASKELTMP"));

  // A runtime directory that is a link is not used; a per-user folder planted as a link is
  // refused.
  fs::create_directory_symlink(runtime_, folder_ / "runtime-link");
  ::setenv("XDG_RUNTIME_DIR", (folder_ / "runtime-link").c_str(), 1);
  EXPECT_EQ(PreviewBaseFolder(), base.string());
  fs::remove_all(base);
  fs::create_directory_symlink(folder_ / "outside", base);
  fs::create_directory(folder_ / "outside");
  const size_t shown = messages_.size();
  Run(0);
  ASSERT_EQ(messages_.size(), shown + 1);
  EXPECT_NE(messages_.back().text.find("symbolic link"), std::string::npos);
  EXPECT_TRUE(FilesBelow(folder_ / "outside").empty());
}

}  // namespace
}  // namespace vaskel::testing
