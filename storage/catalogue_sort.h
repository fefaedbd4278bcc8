// Sorting the catalogue's rows in place by one column, through the row store's own operations:
// keys are read back from the store at every comparison and whole rows are swapped (texts,
// image, item data and state), so every row keeps its storage index, selection and focus.
#pragma once

#include <cstdint>
#include <string_view>

#include "storage/catalogue_list.h"

namespace vaskel {

// What one sort did, for tests and measurements.
struct SortMetrics {
  int deepest_nesting = 0;  // 1 when the whole range was partitioned without recursing
  std::int64_t swaps = 0;
};

// Sort rows low..high (inclusive; high -1 means the last row) by the column's text, compared
// byte by byte as unsigned (UTF-8 text sorts by code point, upper case before lower case, the
// empty text first). False, with nothing touched, when the column does not exist or the range
// holds fewer than two rows. Rows whose keys are equal are never swapped with each other; the
// order among them is not kept.
bool SortRowsByText(CatalogueList& rows, int column, bool ascending, int low = 0, int high = -1,
                    SortMetrics* metrics = nullptr);
// The same, by the column's text read as an unsigned 64-bit decimal number (the Size column).
bool SortRowsByNumber(CatalogueList& rows, int column, bool ascending, int low = 0, int high = -1,
                      SortMetrics* metrics = nullptr);

// The numeric key of a Size text: leading white space and one '+' skipped, then decimal digits
// up to the first other character. No digits (or a '-') gives 0; values past 2^64 - 1 stay there.
std::uint64_t SizeKey(std::string_view text);

// A click on a column header: ascending unless the column was the last one sorted ascending,
// by number for the Size column and by text otherwise. Returns the new sort column: the clicked
// one after an ascending sort, -1 after a descending one (also when there was nothing to sort,
// so that clicks on a short list still alternate).
int SortOnColumnClick(CatalogueList& rows, int sort_column, int clicked_column);

}  // namespace vaskel
