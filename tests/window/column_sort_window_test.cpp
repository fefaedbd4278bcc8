// Header clicks in the window: the sort, the click rule kept across files, and rows carrying
// their selection, focus and storage along, in the store and in the control.
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/column_sort.h"
#include "tests/window/window_test_support.h"

namespace vaskel::testing {
namespace {

namespace fs = std::filesystem;

class ColumnSortTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped()) return;
    // Two streams named x.txt in different folders: only the row's storage tells them apart.
    help_file_ = WriteHelpFile("sizes.chm",
                               {Stream("/b.txt", 9), Stream("/Z.txt", 100), Stream("/one/x.txt", 5),
                                Stream("/a.txt", 10), Stream("/two/x.txt", 7)});
    ASSERT_TRUE(Start({help_file_}));
    ASSERT_EQ(Rows().GetItemCount(), 5);
  }

  std::vector<std::string> Shown(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < List()->ShownRowCount(); ++row) {
      texts.push_back(List()->ShownText(row, column).utf8_string());
    }
    return texts;
  }

  int RowShowing(const std::string& name, const std::string& path) const {
    for (int row = 0; row < Rows().GetItemCount(); ++row) {
      if (Rows().GetItemText(row, kNameColumn) == name &&
          Rows().GetItemText(row, kPathColumn) == ShownPath(path)) {
        return row;
      }
    }
    return -1;
  }

  // What Unpack writes for the row: the stream its storage holds under its name.
  std::uintmax_t UnpackedSize(int row) const {
    const fs::path out = folder_ / ("out" + std::to_string(row));
    fs::create_directories(out);
    StorageEngine& engine = Doc()->Engine();
    engine.ExtractEntry(engine.StorageAt(static_cast<std::int32_t>(Rows().GetItemData(row))),
                        Rows().GetItemText(row, kPathColumn), Rows().GetItemText(row, kNameColumn),
                        out.string(), false);
    return fs::file_size(out / std::string(Rows().GetItemText(row, kNameColumn)));
  }

  std::string help_file_;
};

TEST_F(ColumnSortTest, SizeClicksSortByValueUpThenDownThenUpWithTheArrowFollowing) {
  EXPECT_EQ(List()->SortIndicator(), -1);
  ClickHeader(kSizeColumn);
  EXPECT_EQ(View()->SortColumn(), kSizeColumn);
  EXPECT_EQ(Shown(kSizeColumn), (std::vector<std::string>{"5", "7", "9", "10", "100"}));
  EXPECT_EQ(List()->SortIndicator(), kSizeColumn);
  EXPECT_TRUE(List()->IsAscendingSortIndicator());
  ClickHeader(kSizeColumn);
  EXPECT_EQ(View()->SortColumn(), -1);
  EXPECT_EQ(Shown(kSizeColumn), (std::vector<std::string>{"100", "10", "9", "7", "5"}));
  EXPECT_FALSE(List()->IsAscendingSortIndicator());
  ClickHeader(kSizeColumn);
  EXPECT_EQ(Shown(kSizeColumn), (std::vector<std::string>{"5", "7", "9", "10", "100"}));
  // A click on the header's blank part is no column: the next Size click still descends.
  SortByColumnClick(*View(), -1);
  EXPECT_EQ(View()->SortColumn(), kSizeColumn);
  ClickHeader(kSizeColumn);
  EXPECT_EQ(Shown(kSizeColumn), (std::vector<std::string>{"100", "10", "9", "7", "5"}));
}

#ifdef __WXGTK__
// A screen reader keeps the cells it has read: after a sort it must be told they changed.
TEST_F(ColumnSortTest, ScreenReaderReadsTheSortedRows) {
  const auto read_aloud = [this](int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < RowsReadAloud(); ++row) texts.push_back(ReadAloud(row, column));
    return texts;
  };
  const auto stored = [this](int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < Rows().GetItemCount(); ++row) {
      texts.emplace_back(Rows().GetItemText(row, column));
    }
    return texts;
  };
  EXPECT_EQ(read_aloud(kSizeColumn), stored(kSizeColumn));
  EXPECT_EQ(read_aloud(kNameColumn), stored(kNameColumn));
  for (int click = 0; click < 2; ++click) {  // up, then down: every row moves
    ClickHeader(kSizeColumn);
    EXPECT_EQ(read_aloud(kSizeColumn), stored(kSizeColumn));
    EXPECT_EQ(read_aloud(kNameColumn), stored(kNameColumn));
  }
  ClickHeader(kNameColumn);
  EXPECT_EQ(read_aloud(kPathColumn), stored(kPathColumn));

  // Past a few screenfuls of rows read, the list starts over instead.
  std::vector<chmwriter::Entry> many;
  for (int index = 0; index < 1500; ++index) {
    many.push_back(Stream("/f" + std::to_string(index) + ".txt", 1 + index * 7919 % 1000));
  }
  Open(WriteHelpFile("many.chm", many));
  ASSERT_EQ(RowsReadAloud(), 1500);
  EXPECT_EQ(read_aloud(kNameColumn), stored(kNameColumn));
  ClickHeader(kSizeColumn);
  EXPECT_EQ(read_aloud(kSizeColumn), stored(kSizeColumn));
  EXPECT_EQ(read_aloud(kNameColumn), stored(kNameColumn));
}
#endif

TEST_F(ColumnSortTest, SelectionFocusAndStorageMoveWithTheRows) {
  // The person selects one x.txt and focuses the other, in the control.
  const int selected = RowShowing("x.txt", "two/");
  const int focused = RowShowing("x.txt", "one/");
  SelectInControl(selected);
  FocusInControl(focused);
  List()->SyncStoreFromControl();

  for (const int column : {kSizeColumn, kNameColumn, kSizeColumn}) {
    ClickHeader(column);
    const int now_selected = RowShowing("x.txt", "two/");
    const int now_focused = RowShowing("x.txt", "one/");
    EXPECT_EQ(Rows().GetSelectedCount(), 1);
    EXPECT_EQ(Rows().GetNextItem(-1, LVNI_SELECTED), now_selected);
    EXPECT_EQ(Rows().GetNextItem(-1, LVNI_FOCUSED), now_focused);
    EXPECT_EQ(List()->ShownSelection(), std::vector<int>{now_selected});
    EXPECT_EQ(List()->ShownFocus(), now_focused);
  }
  // Every row still unpacks the stream it shows.
  for (int row = 0; row < Rows().GetItemCount(); ++row) {
    EXPECT_EQ(std::to_string(UnpackedSize(row)), Rows().GetItemText(row, kSizeColumn)) << row;
  }
}

}  // namespace
}  // namespace vaskel::testing
