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

  // A new row count: the tree view, and its accessible, start over.
  void ResetRows(unsigned int count);
  // The store rewrote its rows in place (a sort). The tree view and its accessible keep the
  // cells they were given until told, so each row they asked about is told; past a few
  // screenfuls a reset costs less.
  void RowsRewritten();

 private:
  const wxBitmapBundle& Icon(int icon_index) const;
  void NoteAsked(unsigned int row) const;

  // The rows whose cells the tree view asked for since the last reset, painted or read by a
  // screen reader (GTK's accessible keeps those cells, with their texts, until told).
  mutable std::vector<bool> asked_;
  mutable std::vector<unsigned int> asked_rows_;

  const CatalogueList& rows_;
  IconBitmapCache& icons_;
  mutable std::vector<wxBitmapBundle> bundles_;  // by image list position
};

}  // namespace vaskel
