#include "storage/catalogue_sort.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace vaskel {
namespace {

struct TextKey {
  using Key = std::string_view;
  // Stored texts never move while rows are swapped, so the view is a stable value.
  static Key Read(const CatalogueList& rows, int row, int column) {
    return rows.GetItemText(row, column);
  }
  // char_traits<char> compares as unsigned char: byte order, which for UTF-8 is code point
  // order; a proper prefix (the empty text included) comes first.
  static int Compare(Key a, Key b) { return a.compare(b); }
};

struct NumberKey {
  using Key = std::uint64_t;
  static Key Read(const CatalogueList& rows, int row, int column) {
    return SizeKey(rows.GetItemText(row, column));
  }
  static int Compare(Key a, Key b) { return a < b ? -1 : (a > b ? 1 : 0); }
};

template <typename KeyKind>
class RowSorter {
 public:
  using Key = typename KeyKind::Key;

  RowSorter(CatalogueList& rows, int column, bool ascending, SortMetrics* metrics)
      : rows_(rows), column_(column), direction_(ascending ? 1 : -1), metrics_(metrics) {}

  // Partitions around the middle row's key. The smaller part is sorted by a nested call and the
  // larger one by the next turn of the loop, so nesting stays below log2(rows) + 1 whatever the
  // order of the rows.
  void Sort(int low, int high, int nesting) {
    if (metrics_ != nullptr)
      metrics_->deepest_nesting = std::max(metrics_->deepest_nesting, nesting);
    while (low < high) {
      const int middle = static_cast<int>((static_cast<long long>(low) + high) / 2);
      const Key pivot = KeyAt(middle);
      int i = low;
      int j = high;
      while (i <= j) {
        while (i < high && Precedes(KeyAt(i), pivot)) ++i;
        while (j > low && Precedes(pivot, KeyAt(j))) --j;
        if (i <= j) {
          if (KeyKind::Compare(KeyAt(i), KeyAt(j)) != 0) Swap(i, j);
          ++i;
          --j;
        }
      }
      if (j - low < high - i) {
        if (low < j) Sort(low, j, nesting + 1);
        low = i;
      } else {
        if (i < high) Sort(i, high, nesting + 1);
        high = j;
      }
    }
  }

 private:
  Key KeyAt(int row) const { return KeyKind::Read(rows_, row, column_); }
  // `a` comes before `b` in the sort's direction.
  bool Precedes(const Key& a, const Key& b) const {
    return KeyKind::Compare(a, b) * direction_ < 0;
  }
  void Swap(int a, int b) {
    rows_.SwapRows(a, b);
    if (metrics_ != nullptr) ++metrics_->swaps;
  }

  CatalogueList& rows_;
  const int column_;
  const int direction_;
  SortMetrics* const metrics_;
};

template <typename KeyKind>
bool SortRows(CatalogueList& rows, int column, bool ascending, int low, int high,
              SortMetrics* metrics) {
  if (column < 0 || column >= rows.GetColumnCount()) return false;
  if (high == -1) high = rows.GetItemCount() - 1;
  if (low < 0 || high >= rows.GetItemCount() || high <= low) return false;
  RowSorter<KeyKind>(rows, column, ascending, metrics).Sort(low, high, 1);
  return true;
}

}  // namespace

bool SortRowsByText(CatalogueList& rows, int column, bool ascending, int low, int high,
                    SortMetrics* metrics) {
  return SortRows<TextKey>(rows, column, ascending, low, high, metrics);
}

bool SortRowsByNumber(CatalogueList& rows, int column, bool ascending, int low, int high,
                      SortMetrics* metrics) {
  return SortRows<NumberKey>(rows, column, ascending, low, high, metrics);
}

std::uint64_t SizeKey(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) ++at;
  if (at < text.size() && text[at] == '+') ++at;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    const auto digit = static_cast<std::uint64_t>(text[at] - '0');
    if (value > (kMax - digit) / 10) return kMax;
    value = value * 10 + digit;
  }
  return value;
}

int SortOnColumnClick(CatalogueList& rows, int sort_column, int clicked_column) {
  const bool ascending = clicked_column != sort_column;
  if (clicked_column == kSizeColumn) {
    SortRowsByNumber(rows, clicked_column, ascending);
  } else {
    SortRowsByText(rows, clicked_column, ascending);
  }
  return ascending ? clicked_column : -1;
}

}  // namespace vaskel
