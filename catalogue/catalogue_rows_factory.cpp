// GTK: the native tree view, which screen readers read; wxListCtrl is drawn by wxWidgets there.
#include "catalogue/catalogue_data_view.h"

namespace vaskel {

CatalogueRowsControl* CreateCatalogueRowsControl(wxWindow* parent, CatalogueList& rows,
                                                 IconBitmapCache& icons) {
  return new CatalogueDataView(parent, rows, icons);
}

}  // namespace vaskel
