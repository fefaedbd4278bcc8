// The virtual model behind the GTK catalogue list: each cell is read from the CatalogueList when
// the tree view asks for it, the name with its file-type icon.
#pragma once

#include <wx/dataview.h>

#include <vector>

namespace vaskel {

class CatalogueList;
class IconBitmapCache;

class CatalogueRowsModel final : public wxDataViewVirtualListModel {
 public:
  CatalogueRowsModel(const CatalogueList& rows, IconBitmapCache& icons);

  void GetValueByRow(wxVariant& value, unsigned int row, unsigned int column) const override;
  bool SetValueByRow(const wxVariant&, unsigned int, unsigned int) override { return false; }
  // The text of a cell, as GetValueByRow gives it.
  wxString CellText(unsigned int row, unsigned int column) const;

 private:
  const wxBitmapBundle& Icon(int icon_index) const;

  const CatalogueList& rows_;
  IconBitmapCache& icons_;
  mutable std::vector<wxBitmapBundle> bundles_;  // by image list position
};

}  // namespace vaskel
