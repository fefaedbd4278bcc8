// Windows: wxListCtrl is the native list view, which screen readers read.
#include "catalogue/catalogue_list_ctrl.h"

namespace vaskel {

CatalogueRowsControl* CreateCatalogueRowsControl(wxWindow* parent, CatalogueList& rows,
                                                 IconBitmapCache& icons) {
  return new CatalogueListCtrl(parent, rows, icons);
}

}  // namespace vaskel
