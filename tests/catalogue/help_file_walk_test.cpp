// The walk over writer-made help files read by our component, with the desktop's type names
// and icons: what the window and vaskel-cli list will show.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue/shell_type_name.h"
#include "catalogue/system_image_list.h"
#include "platform/com/com_ptr.h"
#include "storage/catalogue_list.h"
#include "storage/path_limit.h"
#include "storage/storage_engine.h"
#include "storage/text_conversion.h"
#include "tests/catalogue/help_file_on_disk.h"

namespace vaskel {
namespace {

using testing::File;
using testing::HelpFileOnDisk;

const std::string kSep(1, kPathSeparator);

class HelpFileWalkTest : public ::testing::Test {
 protected:
  StorageEngine engine;
  SystemImageList images;
  CatalogueList list;

  // Opens the file and walks it as the view's refresh does.
  std::int32_t OpenAndWalk(const HelpFileOnDisk& file) {
    EXPECT_TRUE(Succeeded(engine.OpenFile(file.path())));
    if (engine.GetRootStorage() == nullptr) return -1;
    engine.Reset();
    list.SetRedraw(false);
    list.DeleteAllItems();
    const std::int32_t count = engine.WalkStorage(list, images, engine.GetRootStorage(), "");
    list.SetRedraw(true);
    return count;
  }

  // (path, name, size) of every row, in list order.
  std::vector<std::tuple<std::string, std::string, std::string>> Rows() const {
    std::vector<std::tuple<std::string, std::string, std::string>> rows;
    for (int row = 0; row < list.GetItemCount(); ++row) {
      rows.emplace_back(list.GetItemText(row, kPathColumn), list.GetItemText(row, kNameColumn),
                        list.GetItemText(row, kSizeColumn));
    }
    return rows;
  }
};

TEST_F(HelpFileWalkTest, ListsEveryVisibleStreamWithItsFolderPath) {
  const HelpFileOnDisk file({File("/#SYSTEM"), File("/#TOPICS"), File("/$FIftiMain"),
                             File("/$WWKeywordLinks/Property"), File("/index.html", 10),
                             File("/a/index.html", 20), File("/a/b/page.htm", 0),
                             File("/a/b/logo.gif", 5), File("/caf\xc3\xa9.htm", 1),
                             File("/images/"), File("/images/x.png", 2)});
  const std::int32_t count = OpenAndWalk(file);
  EXPECT_EQ(count, list.GetItemCount());

  auto rows = Rows();
  std::sort(rows.begin(), rows.end());
  using Row = std::tuple<std::string, std::string, std::string>;
  EXPECT_EQ(rows, (std::vector<Row>{Row{"", "caf\xc3\xa9.htm", "1"}, Row{"", "index.html", "10"},
                                    Row{"a" + kSep, "index.html", "20"},
                                    Row{"a" + kSep + "b" + kSep, "logo.gif", "5"},
                                    Row{"a" + kSep + "b" + kSep, "page.htm", "0"},
                                    Row{"images" + kSep, "x.png", "2"}}));

  // Depth first: the rows below one folder, its subfolders' included, stay together.
  for (const std::string& folder : {"a" + kSep, "a" + kSep + "b" + kSep, "images" + kSep}) {
    std::vector<int> below;
    for (int row = 0; row < list.GetItemCount(); ++row) {
      if (list.GetItemText(row, kPathColumn).starts_with(folder)) below.push_back(row);
    }
    ASSERT_FALSE(below.empty());
    EXPECT_EQ(below.back() - below.front() + 1, static_cast<int>(below.size())) << folder;
  }
}

TEST_F(HelpFileWalkTest, EachRowsTableEntryOpensItsStream) {
  const HelpFileOnDisk file({File("/top.htm", 4), File("/sub/one.htm", 7), File("/sub/two.htm", 9),
                             File("/sub/deeper/three.css", 11), File("/$OBJINST/hidden", 1)});
  ASSERT_EQ(OpenAndWalk(file), 4);
  int sub_rows = 0;
  IStorage* sub = nullptr;
  for (int row = 0; row < list.GetItemCount(); ++row) {
    EXPECT_EQ(list.GetItemData(row), row) << "indexes are handed out in insertion order";
    IStorage* const storage = engine.StorageAt(static_cast<std::int32_t>(list.GetItemData(row)));
    ASSERT_NE(storage, nullptr);
    const std::u16string name =
        std::u16string(engine.ToWideName(std::string(list.GetItemText(row, kNameColumn))));
    ComPtr<IStream> stream;
    ASSERT_TRUE(Succeeded(storage->OpenStream(name.c_str(), nullptr, 0, 0, stream.Put())))
        << list.GetItemText(row, kNameColumn);
    STATSTG stat;
    ASSERT_TRUE(Succeeded(stream->Stat(&stat)));
    EXPECT_EQ(std::to_string(stat.cbSize), list.GetItemText(row, kSizeColumn));
    if (list.GetItemText(row, kPathColumn) == "sub" + kSep) {
      ++sub_rows;
      if (sub != nullptr) {
        EXPECT_EQ(storage, sub) << "both streams of sub name one storage";
      }
      sub = storage;
    }
  }
  EXPECT_EQ(sub_rows, 2);
  EXPECT_NE(sub, engine.GetRootStorage());
  EXPECT_EQ(engine.OpenedStorageCount(), 2u) << "sub and sub/deeper, each once";
}

TEST_F(HelpFileWalkTest, RootWithOnlyHiddenEntriesGivesNoRows) {
  const HelpFileOnDisk file({File("/#SYSTEM"), File("/#IDXHDR"), File("/$FIftiMain"),
                             File("/$WWAssociativeLinks/Property"), File("/$Dollar/page.htm")});
  EXPECT_EQ(OpenAndWalk(file), 0);
  EXPECT_EQ(list.GetItemCount(), 0);
  EXPECT_EQ(engine.OpenedStorageCount(), 0u) << "a $ storage is never opened";
  EXPECT_EQ(engine.Table().GetSize(), 0);
}

TEST_F(HelpFileWalkTest, RepaintsOnceWhenTheHundredthRowArrives) {
  for (const int streams : {99, 100, 250}) {
    std::vector<chmwriter::Entry> entries;
    for (int i = 0; i < streams; ++i) {
      entries.push_back(File("/d" + std::to_string(i % 7) + "/p" + std::to_string(i) + ".htm"));
    }
    const HelpFileOnDisk file(entries);
    std::vector<std::string> calls;
    list.SetHooks({[&](bool on) { calls.push_back(on ? "on" : "off"); },
                   [&] { calls.push_back("repaint at " + std::to_string(list.GetItemCount())); },
                   nullptr});
    EXPECT_EQ(OpenAndWalk(file), streams);
    // OpenAndWalk itself switches redrawing off before and on after the walk.
    const std::vector<std::string> expected =
        streams < 100 ? std::vector<std::string>{"off", "on"}
                      : std::vector<std::string>{"off", "on", "repaint at 100", "off", "on"};
    EXPECT_EQ(calls, expected) << streams << " streams";
  }
}

TEST_F(HelpFileWalkTest, SameNameInDifferentFoldersGetsOneTypeAndIcon) {
  const HelpFileOnDisk file({File("/x/Page.HTML"), File("/y/z/page.html"), File("/logo.gif"),
                             File("/toc.hhc"), File("/README")});
  ASSERT_EQ(OpenAndWalk(file), 5);
  std::vector<int> html_rows, other_rows;
  for (int row = 0; row < list.GetItemCount(); ++row) {
    const std::string name(list.GetItemText(row, kNameColumn));
    (name == "Page.HTML" || name == "page.html" ? html_rows : other_rows).push_back(row);
    EXPECT_EQ(list.GetItemText(row, kTypeColumn), ShellTypeName(name)) << name;
    EXPECT_EQ(list.GetItemImage(row), images.GetIconIndex(name, false, true)) << name;
  }
  ASSERT_EQ(html_rows.size(), 2u);
  EXPECT_FALSE(list.GetItemText(html_rows[0], kTypeColumn).empty());
  EXPECT_EQ(list.GetItemText(html_rows[0], kTypeColumn),
            list.GetItemText(html_rows[1], kTypeColumn));
  EXPECT_EQ(list.GetItemImage(html_rows[0]), list.GetItemImage(html_rows[1]));
  for (const int row : other_rows) {
    EXPECT_NE(list.GetItemImage(row), list.GetItemImage(html_rows[0]));
  }
}

}  // namespace
}  // namespace vaskel
