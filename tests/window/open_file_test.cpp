// Opening help files: the catalogue shown, a second file replacing it, files the engine cannot
// open, entries the reader left out, and files dropped on the catalogue.
#include <wx/toplevel.h>
#ifndef _WIN32
#include <dlfcn.h>
#endif

#include <filesystem>
#include <string_view>
#include <vector>

#include "catalogue/drag_and_drop.h"
#include "res/resource_ids.h"
#include "tests/support/corpus.h"
#include "tests/window/window_test_support.h"
#ifdef _WIN32
#include <wx/listctrl.h>
// After the program's headers: commctrl.h's LVIS_ macros would rewrite the row store's
// constants of the same names.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#endif

namespace vaskel::testing {
namespace {

using namespace res;

class OpenFileTest : public WindowTest {
 protected:
  std::string Cell(int row, int column) const {
    return List()->ShownText(row, column).utf8_string();
  }
};

TEST_F(OpenFileTest, ShowsTheCatalogueOfAWriterMadeFile) {
  const std::string path = WriteHelpFile("twelve.chm", TwelveStreams());
  ASSERT_TRUE(Start());
  Open(path);
  EXPECT_TRUE(messages_.empty());
  ASSERT_EQ(Rows().GetItemCount(), 12);
  ASSERT_EQ(List()->ShownRowCount(), 12);
  EXPECT_EQ(StatusText(0), "Total 12 file(s)");
  EXPECT_EQ(Title(), "twelve.chm - Vaskel");
  EXPECT_TRUE(MenuItemEnabled(ID_FILE_UNPACK));
  EXPECT_TRUE(ToolEnabled(ID_FILE_UNPACK));

  // The control shows what the store holds; the hidden entries are not among the rows.
  int in_folders = 0;
  for (int row = 0; row < 12; ++row) {
    for (int column = 0; column < 4; ++column) {
      EXPECT_EQ(Cell(row, column), Rows().GetItemText(row, column)) << row << "," << column;
    }
    EXPECT_NE(Cell(row, 0)[0], '#');
    EXPECT_NE(Cell(row, 0)[0], '$');
    EXPECT_EQ(Rows().GetItemData(row), row);  // one table entry per row, from 0
    if (!Cell(row, 3).empty()) ++in_folders;
  }
  EXPECT_EQ(in_folders, 4);
  EXPECT_EQ(Doc()->Engine().Table().GetSize(), 12);
}

#ifdef _WIN32
TEST_F(OpenFileTest, RowsShowTheShellsIconsFromItsOwnSmallImageList) {
  ASSERT_TRUE(Start({WriteHelpFile("twelve.chm", TwelveStreams())}));
  ASSERT_EQ(Rows().GetItemCount(), 12);
  // The native list view there.
  auto& list = dynamic_cast<wxListCtrl&>(List()->Window());
  const HIMAGELIST shown = ListView_GetImageList(list.GetHWND(), LVSIL_SMALL);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown, View()->ImageLists().GetImageList(true));
  for (int row = 0; row < 12; ++row) {
    wxListItem item;
    item.SetId(row);
    item.SetMask(wxLIST_MASK_IMAGE);
    ASSERT_TRUE(list.GetItem(item));
    const int index = View()->ImageLists().GetIconIndex(Cell(row, kNameColumn), false, true);
    EXPECT_EQ(item.GetImage(), index) << Cell(row, kNameColumn);
    EXPECT_GE(item.GetImage(), 0) << Cell(row, kNameColumn);
  }
}
#endif

TEST_F(OpenFileTest, FileTheEngineRefusesEmptiesTheCatalogue) {
  const std::string good = WriteHelpFile("good.chm", TwelveStreams());
  const std::string damaged = WriteFile("damaged.chm", std::string(4096, 'z'));
  ASSERT_TRUE(Start({good}));
  Open(damaged);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, "Can't Open this file.\n\nno ITSF signature");
  EXPECT_EQ(messages_[0].icon, MessageIcon::kExclamation);
  EXPECT_EQ(Rows().GetItemCount(), 0);
  EXPECT_EQ(List()->ShownRowCount(), 0);
  EXPECT_EQ(Doc()->Engine().GetRootStorage(), nullptr);
  EXPECT_EQ(Doc()->Engine().Table().GetSize(), 0);
  EXPECT_EQ(Doc()->Engine().OpenedStorageCount(), 0u);
  EXPECT_EQ(Title(), "damaged.chm - Vaskel");
  EXPECT_EQ(StatusText(0), "Total 0 file(s)");  // not the previous file's count
  EXPECT_FALSE(MenuItemEnabled(ID_FILE_UNPACK));

  // A good file opens as usual afterwards.
  Open(good);
  EXPECT_EQ(Rows().GetItemCount(), 12);
}

// The file with its first listing chunk's free space grown to leave two bytes for entries: the
// rest of that chunk's entries are lost.
std::string WithDamagedFirstChunk(std::vector<std::uint8_t> file) {
  const auto le = [&file](std::size_t at, int size) {
    std::size_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | file.at(at + i);
    return value;
  };
  const std::size_t chunk_size = le(le(0x48, 8) + 0x10, 4);
  std::size_t chunk = le(0x48, 8) + 0x54;
  while (std::string_view(reinterpret_cast<const char*>(&file.at(chunk)), 4) != "PMGL") {
    chunk += chunk_size;
  }
  const std::size_t free_space = chunk_size - 0x14 - 2;
  for (int i = 0; i < 4; ++i)
    file.at(chunk + 4 + i) = static_cast<std::uint8_t>(free_space >> (8 * i));
  return std::string(file.begin(), file.end());
}

TEST_F(OpenFileTest, EntriesTheReaderLeftOutAreToldOnceAfterTheCatalogueShows) {
  ASSERT_TRUE(Start());
  Open(WriteHelpFile("unsafe.chm",
                     {Stream("/ok.htm"), Stream("/../evil.htm"), Stream("/a/../../evil.htm")}));
  EXPECT_TRUE(messages_.empty());  // not before the catalogue shows
  EXPECT_EQ(StatusText(0), "Total 1 file(s)");
  RunPendingCalls();
  RunPendingCalls();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text,
            "Not every file of unsafe.chm is listed, because the reader left entries out:\n\n"
            "2 entries with unsafe names (such as \"..\") left out.");
  EXPECT_EQ(messages_[0].icon, MessageIcon::kExclamation);

  // Nothing listed: the message says why the list is empty.
  messages_.clear();
  Open(WriteFile("cut.chm", WithDamagedFirstChunk(chmwriter::WriteChm(TwelveStreams()))));
  RunPendingCalls();
  EXPECT_EQ(StatusText(0), "Total 0 file(s)");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].text.starts_with(
      "No file of cut.chm can be listed, because the reader left entries out:\n\n"
      "directory chunk 0: an entry"))
      << messages_[0].text;
  EXPECT_TRUE(messages_[0].text.ends_with("; the rest of that chunk's entries are lost."))
      << messages_[0].text;

  // A good file says nothing.
  messages_.clear();
  Open(WriteHelpFile("good.chm", TwelveStreams()));
  RunPendingCalls();
  EXPECT_TRUE(messages_.empty());
}

TEST_F(OpenFileTest, CorpusFilesWithEntriesLeftOutAreTold) {
  VASKEL_SKIP_WITHOUT_CORPUS();
  ASSERT_TRUE(Start());
  const std::pair<const char*, const char*> cases[] = {
      {"malformed/cve-2018-14680-blank-filenames.chm",
       "3 entries with unsafe names (such as \"..\") left out."},
      {"malformed/encints-32bit-both.chm",
       "9 entries left out, the first in directory chunk 0: their section, offset or length "
       "does not decode (it takes more than 9 bytes)."},
  };
  for (const auto& [file, told] : cases) {
    SCOPED_TRACE(file);
    messages_.clear();
    Open(CorpusPath(file).string());
    RunPendingCalls();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].text.find(told), std::string::npos) << messages_[0].text;
  }
}

TEST_F(OpenFileTest, DroppedFileTheReaderRefusesLeavesTheOpenCatalogue) {
  const std::string good = WriteHelpFile("good.chm", TwelveStreams());
  ASSERT_TRUE(Start({good}));
  auto* target = dynamic_cast<HelpFileDropTarget*>(List()->Window().GetDropTarget());
  ASSERT_NE(target, nullptr);
  const std::string notes = WriteFile("notes.txt", "not a help file");
  wxArrayString dropped;
  dropped.Add(wxString::FromUTF8(notes));
  EXPECT_TRUE(target->OnDropFiles(0, 0, dropped));
  RunPendingCalls();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, "Can't Open this file.\n\n" + notes +
                                   ": the file is too short for an ITSF header (15 bytes)");
  EXPECT_EQ(Rows().GetItemCount(), 12);
  EXPECT_EQ(StatusText(0), "Total 12 file(s)");
  EXPECT_EQ(Title(), "good.chm - Vaskel");
  EXPECT_NE(Doc()->Engine().GetRootStorage(), nullptr);
}

TEST_F(OpenFileTest, EmptyFileIsRefusedAndNeverShowsThePreviousCatalogue) {
  const std::string good = WriteHelpFile("good.chm", TwelveStreams());
  const std::string empty = WriteFile("empty.chm", "");
  ASSERT_TRUE(Start({good}));
  Open(empty);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text,
            "Can't Open this file.\n\nthe file is too short for an ITSF header (0 bytes)");
  EXPECT_EQ(Rows().GetItemCount(), 0);
  EXPECT_EQ(Doc()->Engine().GetRootStorage(), nullptr);
  EXPECT_EQ(Title(), "empty.chm - Vaskel");
}

TEST_F(OpenFileTest, FileThatCannotBeReadChangesNothing) {
  const std::string good = WriteHelpFile("good.chm", TwelveStreams());
  ASSERT_TRUE(Start({good}));
  const std::string missing = (folder_ / "missing.chm").string();
  Open(missing);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].text.find("missing.chm"), std::string::npos) << messages_[0].text;
  EXPECT_EQ(Rows().GetItemCount(), 12);
  EXPECT_EQ(Title(), "good.chm - Vaskel");
  EXPECT_NE(Doc()->Engine().GetRootStorage(), nullptr);
}

TEST_F(OpenFileTest, OpeningTheOpenFileAgainReadsNothing) {
  const std::string good = WriteHelpFile("good.chm", TwelveStreams());
  ASSERT_TRUE(Start({good}));
  Rows().SetItemState(5, LVIS_SELECTED, LVIS_SELECTED);
  Open(good);
  EXPECT_EQ(Rows().GetItemCount(), 12);
  EXPECT_EQ(Rows().GetSelectedCount(), 1);  // not rebuilt
}

// Whether the toolkit shows the window, also where wx was not asked to (a raise maps it).
bool Mapped(const wxWindow& window) {
#ifdef __WXGTK__
  using GetVisible = int (*)(void*);
  const auto get_visible =
      reinterpret_cast<GetVisible>(dlsym(RTLD_DEFAULT, "gtk_widget_get_visible"));
  return get_visible != nullptr && get_visible(window.GetHandle()) != 0;
#else
  return window.IsShown();
#endif
}

TEST_F(OpenFileTest, CommandLineFileTheFrameworkCannotOpenEndsStartUpWithoutAWindow) {
  std::vector<wxString> shown_behind_the_message;
  SetMessageBoxHandler([&](std::string_view text, MessageIcon icon) {
    messages_.push_back({std::string(text), icon});
    for (const wxWindow* window : wxTopLevelWindows) {
      if (window->IsShown() || Mapped(*window)) {
        shown_behind_the_message.push_back(window->GetLabel());
      }
    }
  });
  EXPECT_FALSE(Start({(folder_ / "missing.chm").string()}));
  EXPECT_EQ(App().MainFrame(), nullptr);
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_EQ(shown_behind_the_message, std::vector<wxString>());
}

}  // namespace
}  // namespace vaskel::testing
