#include "catalogue/column_sort.h"

#include <wx/utils.h>

#include "catalogue/catalogue_rows_control.h"
#include "catalogue/vaskel_view.h"
#include "storage/catalogue_list.h"
#include "storage/catalogue_sort.h"

namespace vaskel {

void AttachColumnSorting(CVaskelView& view) {
  CatalogueRowsControl* list = view.ListCtrl();
  if (list == nullptr) return;
  list->Handlers().column_click = [&view](int column) { SortByColumnClick(view, column); };
}

void SortByColumnClick(CVaskelView& view, int column) {
  // The header's blank part right of the last column reports column -1.
  if (column < 0 || column >= kCatalogueColumnCount) return;
  wxBusyCursor hourglass;
  CatalogueList& rows = view.Rows();
  // The rows carry the user's latest selection and focus to their new places.
  if (CatalogueRowsControl* list = view.ListCtrl()) list->SyncStoreFromControl();
  // Every swap would otherwise repaint two rows: the control shows the result once instead.
  rows.SetRedraw(false);
  // Every row is sorted, shown or not, so that the find box and the order combine either way.
  rows.SuspendFilter();
  const int sort_column = SortOnColumnClick(rows, view.SortColumn(), column);
  rows.ResumeFilter();
  view.SetSortColumn(sort_column);
  rows.SetRedraw(true);
  CatalogueRowsControl* list = view.ListCtrl();
  if (list != nullptr && column >= 0 && column < list->ColumnCount()) {
    // The clicked column is kept as the sort column exactly when it was sorted ascending.
    list->ShowSortIndicator(column, sort_column == column);
  }
}

}  // namespace vaskel
