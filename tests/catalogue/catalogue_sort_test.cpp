// Sorting the row store by a column: key order, direction, the click rule, rows moving whole,
// and bounded nesting on hostile row orders.
#include "storage/catalogue_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace vaskel {
namespace {

struct RowTexts {
  std::string name;
  std::string size;
  std::string type = "File";
  std::string path;
};

// Row r gets item data 100 + r and image r, so tests can tell where each row went.
void Fill(CatalogueList& rows, const std::vector<RowTexts>& texts) {
  rows.DeleteAllItems();
  for (const RowTexts& row : texts) {
    const int index = rows.GetItemCount();
    rows.InsertItem(index, row.name, index, 100 + index);
    rows.SetItemText(index, kSizeColumn, row.size);
    rows.SetItemText(index, kTypeColumn, row.type);
    rows.SetItemText(index, kPathColumn, row.path);
  }
}

std::vector<std::string> Column(const CatalogueList& rows, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < rows.GetItemCount(); ++row) {
    texts.emplace_back(rows.GetItemText(row, column));
  }
  return texts;
}

std::vector<std::intptr_t> Data(const CatalogueList& rows) {
  std::vector<std::intptr_t> data;
  for (int row = 0; row < rows.GetItemCount(); ++row) data.push_back(rows.GetItemData(row));
  return data;
}

// Rows named by their size alone.
std::vector<RowTexts> Sizes(const std::vector<std::string>& sizes) {
  std::vector<RowTexts> texts;
  for (const std::string& size : sizes) texts.push_back({"n" + size, size, "File", ""});
  return texts;
}

TEST(SizeKeyTest, ReadsUnsignedDecimalsBeyondThirtyTwoBits) {
  EXPECT_EQ(SizeKey("9"), 9u);
  EXPECT_EQ(SizeKey("2147483648"), 2147483648u);
  EXPECT_EQ(SizeKey("4294967296"), 4294967296u);
  EXPECT_EQ(SizeKey("18446744073709551615"), UINT64_MAX);
  EXPECT_EQ(SizeKey("99999999999999999999999"), UINT64_MAX);
  EXPECT_EQ(SizeKey(" \t+12kB"), 12u);
  EXPECT_EQ(SizeKey(""), 0u);
  EXPECT_EQ(SizeKey("-5"), 0u);
  EXPECT_EQ(SizeKey("x1"), 0u);
}

TEST(SortRowsTest, SizesSortByValueInBothDirections) {
  CatalogueList rows;
  Fill(rows, Sizes({"100", "9", "10", "3000000000", "2147483647", "0"}));
  ASSERT_TRUE(SortRowsByNumber(rows, kSizeColumn, true));
  EXPECT_EQ(Column(rows, kSizeColumn),
            (std::vector<std::string>{"0", "9", "10", "100", "2147483647", "3000000000"}));
  ASSERT_TRUE(SortRowsByNumber(rows, kSizeColumn, false));
  EXPECT_EQ(Column(rows, kSizeColumn),
            (std::vector<std::string>{"3000000000", "2147483647", "100", "10", "9", "0"}));
}

TEST(SortRowsTest, TextsSortByUnsignedBytesWithTheEmptyTextFirst) {
  CatalogueList rows;
  // "é" is two bytes from 0xC3: above every ASCII letter, below "😀" (four bytes from 0xF0).
  Fill(rows, {{"a.html", "1", "x", "/b/"},
              {"é.html", "1", "x", ""},
              {"Z.html", "1", "x", "/a/"},
              {"😀", "1", "x", ""},
              {"", "1", "x", "/A/"},
              {"ab", "1", "x", "/a/b/"}});
  ASSERT_TRUE(SortRowsByText(rows, kNameColumn, true));
  EXPECT_EQ(Column(rows, kNameColumn),
            (std::vector<std::string>{"", "Z.html", "a.html", "ab", "é.html", "😀"}));
  ASSERT_TRUE(SortRowsByText(rows, kPathColumn, true));
  EXPECT_EQ(Column(rows, kPathColumn),
            (std::vector<std::string>{"", "", "/A/", "/a/", "/a/b/", "/b/"}));
  ASSERT_TRUE(SortRowsByText(rows, kPathColumn, false));
  EXPECT_EQ(Column(rows, kPathColumn).front(), "/b/");
  EXPECT_EQ(Column(rows, kPathColumn).back(), "");
}

TEST(SortRowsTest, OnlyTheGivenRangeMoves) {
  CatalogueList rows;
  Fill(rows, Sizes({"9", "5", "4", "3", "0"}));
  ASSERT_TRUE(SortRowsByNumber(rows, kSizeColumn, true, 1, 3));
  EXPECT_EQ(Column(rows, kSizeColumn), (std::vector<std::string>{"9", "3", "4", "5", "0"}));
}

TEST(SortRowsTest, RowsMoveWithTextsImageDataSelectionAndFocus) {
  CatalogueList rows;
  Fill(rows, {{"c", "30", "Web page", "/x/"},
              {"a", "10", "Image", "/y/"},
              {"d", "40", "Text", ""},
              {"b", "20", "Style", "/z/"}});
  rows.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  rows.SetItemState(3, LVIS_SELECTED | LVIS_CUT, LVIS_SELECTED | LVIS_CUT);
  ASSERT_TRUE(SortRowsByText(rows, kNameColumn, true));

  ASSERT_EQ(Column(rows, kNameColumn), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(Column(rows, kSizeColumn), (std::vector<std::string>{"10", "20", "30", "40"}));
  EXPECT_EQ(Column(rows, kTypeColumn),
            (std::vector<std::string>{"Image", "Style", "Web page", "Text"}));
  EXPECT_EQ(Column(rows, kPathColumn), (std::vector<std::string>{"/y/", "/z/", "/x/", ""}));
  EXPECT_EQ(Data(rows), (std::vector<std::intptr_t>{101, 103, 100, 102}));
  EXPECT_EQ(rows.GetItemImage(2), 0);
  EXPECT_EQ(rows.GetItemImage(1), 3);
  EXPECT_EQ(rows.GetNextItem(-1, LVNI_FOCUSED), 2);
  EXPECT_EQ(rows.GetItemState(2, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(rows.GetItemState(1, 0xFF0F), LVIS_SELECTED | LVIS_CUT);
  EXPECT_EQ(rows.GetSelectedCount(), 2);
  EXPECT_EQ(rows.GetItemState(0, 0xFF0F) | rows.GetItemState(3, 0xFF0F), 0u);
}

TEST(SortRowsTest, EqualKeysAreNeverSwappedWithEachOther) {
  CatalogueList rows;
  Fill(rows, Sizes({"7", "7", "7", "7", "7", "7", "7"}));
  SortMetrics metrics;
  ASSERT_TRUE(SortRowsByNumber(rows, kSizeColumn, true, 0, -1, &metrics));
  EXPECT_EQ(metrics.swaps, 0);
  EXPECT_EQ(Data(rows), (std::vector<std::intptr_t>{100, 101, 102, 103, 104, 105, 106}));
  // "07" and "7" are equal numbers but different texts.
  Fill(rows, Sizes({"7", "07", "7"}));
  ASSERT_TRUE(SortRowsByNumber(rows, kSizeColumn, false));
  EXPECT_EQ(Data(rows), (std::vector<std::intptr_t>{100, 101, 102}));
}

// Many small random lists with few distinct keys, checked against the standard library.
TEST(SortRowsTest, RandomListsEndSortedAndKeepEveryRow) {
  std::mt19937 random(6);
  CatalogueList rows;
  for (int round = 0; round < 300; ++round) {
    const int count = static_cast<int>(random() % 40) + 2;
    const int distinct = static_cast<int>(random() % 6) + 1;
    std::vector<RowTexts> texts;
    for (int i = 0; i < count; ++i) {
      texts.push_back(
          {std::string(random() % distinct, 'q'), std::to_string(random() % distinct), "File", ""});
    }
    Fill(rows, texts);
    const bool ascending = round % 2 == 0;
    ASSERT_TRUE(SortRowsByText(rows, kNameColumn, ascending));
    std::vector<std::string> names = Column(rows, kNameColumn);
    std::vector<std::string> expected_names;
    for (const RowTexts& row : texts) expected_names.push_back(row.name);
    std::sort(expected_names.begin(), expected_names.end());
    if (!ascending) std::reverse(expected_names.begin(), expected_names.end());
    ASSERT_EQ(names, expected_names) << "round " << round;

    ASSERT_TRUE(SortRowsByNumber(rows, kSizeColumn, ascending));
    const std::vector<std::string> sizes = Column(rows, kSizeColumn);
    ASSERT_TRUE(std::is_sorted(sizes.begin(), sizes.end(),
                               [&](const auto& a, const auto& b) {
                                 return ascending ? SizeKey(a) < SizeKey(b)
                                                  : SizeKey(a) > SizeKey(b);
                               }))
        << "round " << round;
    std::vector<std::intptr_t> data = Data(rows);
    std::sort(data.begin(), data.end());
    std::vector<std::intptr_t> all(static_cast<std::size_t>(count));
    std::iota(all.begin(), all.end(), 100);
    ASSERT_EQ(data, all) << "round " << round;
    // Each row's texts stayed together.
    for (int row = 0; row < count; ++row) {
      const RowTexts& original = texts[static_cast<std::size_t>(rows.GetItemData(row) - 100)];
      ASSERT_EQ(rows.GetItemText(row, kNameColumn), original.name);
      ASSERT_EQ(rows.GetItemText(row, kSizeColumn), original.size);
    }
  }
}

TEST(ColumnClickTest, SameColumnAlternatesAndAnotherColumnStartsAscending) {
  CatalogueList rows;
  Fill(rows, {{"b", "9", "Text", ""}, {"a", "100", "Image", ""}, {"c", "10", "Web page", ""}});
  int sort_column = -1;
  sort_column = SortOnColumnClick(rows, sort_column, kSizeColumn);
  EXPECT_EQ(sort_column, kSizeColumn);
  EXPECT_EQ(Column(rows, kSizeColumn), (std::vector<std::string>{"9", "10", "100"}));
  sort_column = SortOnColumnClick(rows, sort_column, kSizeColumn);
  EXPECT_EQ(sort_column, -1);
  EXPECT_EQ(Column(rows, kSizeColumn), (std::vector<std::string>{"100", "10", "9"}));
  sort_column = SortOnColumnClick(rows, sort_column, kSizeColumn);
  EXPECT_EQ(Column(rows, kSizeColumn), (std::vector<std::string>{"9", "10", "100"}));

  // Type, then Size, then Type again: the second Type click is ascending too.
  sort_column = SortOnColumnClick(rows, sort_column, kTypeColumn);
  sort_column = SortOnColumnClick(rows, sort_column, kSizeColumn);
  sort_column = SortOnColumnClick(rows, sort_column, kTypeColumn);
  EXPECT_EQ(sort_column, kTypeColumn);
  EXPECT_EQ(Column(rows, kTypeColumn), (std::vector<std::string>{"Image", "Text", "Web page"}));
}

TEST(ColumnClickTest, ClicksOnAShortListStillAlternate) {
  CatalogueList rows;
  EXPECT_EQ(SortOnColumnClick(rows, -1, kNameColumn), kNameColumn);
  EXPECT_EQ(SortOnColumnClick(rows, kNameColumn, kNameColumn), -1);
  Fill(rows, Sizes({"5"}));
  EXPECT_EQ(SortOnColumnClick(rows, -1, kPathColumn), kPathColumn);
  EXPECT_EQ(SortOnColumnClick(rows, kPathColumn, kPathColumn), -1);
  EXPECT_EQ(Data(rows), (std::vector<std::intptr_t>{100}));
}

// An order built so that the middle row of every range holds the range's smallest key: each
// partition then splits off a single row, and recursing into both parts would nest once a row.
std::vector<std::uint64_t> MiddleMinimumOrder(int count) {
  std::vector<int> position(static_cast<std::size_t>(count));
  std::iota(position.begin(), position.end(), 0);
  std::vector<std::uint64_t> key(static_cast<std::size_t>(count));
  const int high = count - 1;
  for (int low = 0; low < high; ++low) {
    const int middle = (low + high) / 2;
    key[static_cast<std::size_t>(position[middle])] = static_cast<std::uint64_t>(low);
    std::swap(position[low], position[middle]);
  }
  key[static_cast<std::size_t>(position[high])] = static_cast<std::uint64_t>(high);
  return key;
}

void FillNumbers(CatalogueList& rows, const std::vector<std::uint64_t>& keys) {
  rows.DeleteAllItems();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const int row = rows.InsertItem(static_cast<int>(i), "f", 0, static_cast<std::intptr_t>(i));
    rows.SetItemText(row, kSizeColumn, std::to_string(keys[i]));
  }
}

bool SortedBySize(const CatalogueList& rows) {
  for (int row = 1; row < rows.GetItemCount(); ++row) {
    if (SizeKey(rows.GetItemText(row - 1, kSizeColumn)) >
        SizeKey(rows.GetItemText(row, kSizeColumn))) {
      return false;
    }
  }
  return true;
}

TEST(SortNestingTest, HostileOrdersNestLogarithmically) {
  constexpr int kRows = 100000;
  const int bound = std::bit_width(static_cast<unsigned>(kRows));  // floor(log2) + 1
  std::vector<std::uint64_t> sorted(kRows);
  std::iota(sorted.begin(), sorted.end(), 1u << 31);
  std::vector<std::uint64_t> reversed(sorted.rbegin(), sorted.rend());
  std::vector<std::uint64_t> equal(kRows, 42);
  CatalogueList rows;
  for (std::vector<std::uint64_t>* keys : {&sorted, &reversed, &equal}) {
    FillNumbers(rows, *keys);
    SortMetrics metrics;
    ASSERT_TRUE(SortRowsByNumber(rows, kSizeColumn, true, 0, -1, &metrics));
    EXPECT_TRUE(SortedBySize(rows));
    EXPECT_LE(metrics.deepest_nesting, bound);
  }

  // Quadratic in time, so fewer rows; without the bound it would nest 4999 deep.
  constexpr int kHostileRows = 5000;
  FillNumbers(rows, MiddleMinimumOrder(kHostileRows));
  SortMetrics metrics;
  ASSERT_TRUE(SortRowsByNumber(rows, kSizeColumn, true, 0, -1, &metrics));
  EXPECT_TRUE(SortedBySize(rows));
  EXPECT_LE(metrics.deepest_nesting, std::bit_width(static_cast<unsigned>(kHostileRows)));
  EXPECT_LT(metrics.swaps, kHostileRows);  // one swap a partition: the order was as hostile
}

}  // namespace
}  // namespace vaskel
