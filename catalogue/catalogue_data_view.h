// The catalogue as GTK's native list (a GtkTreeView, through wxDataViewCtrl), which screen
// readers read through AT-SPI, row by row and cell by cell. The model is virtual: it answers
// for the rows the tree view asks about from the CatalogueList, so 100,000 rows cost no more
// than their count. As with the Windows list, the store is the one truth for selection and
// focus: the user's changes are copied into it, and its own (Select All, a sort) show at once.
#pragma once

#include <wx/dataview.h>

#include "catalogue/catalogue_rows_control.h"
#include "catalogue/redraw_hold.h"
#include "storage/catalogue_list.h"

namespace vaskel {

class CatalogueRowsModel;

class CatalogueDataView final : public wxDataViewCtrl, public CatalogueRowsControl {
 public:
  CatalogueDataView(wxWindow* parent, CatalogueList& rows, IconBitmapCache& icons);
  ~CatalogueDataView() override;

  wxWindow& Window() override { return *this; }
  void AddColumn(const wxString& heading, bool right_aligned, int width) override;
  int ColumnCount() const override { return static_cast<int>(GetColumnCount()); }
  wxString ColumnHeading(int column) const override;
  int ColumnWidth(int column) const override;
  void ResizeColumn(int column, int width) override;
  void ShowSortIndicator(int column, bool ascending) override;
  void RemoveSortIndicator() override;
  int SortIndicator() const override;
  bool IsAscendingSortIndicator() const override;
  void SyncStoreFromControl() override;
  void ShowRow(int row) override;
  wxPoint KeyboardMenuPlace() override;

  // The model's item of a row and back.
  wxDataViewItem RowItem(int row) const;
  int ItemRow(const wxDataViewItem& item) const;
  int ShownRowCount() const override;
  wxString ShownText(int row, int column) const override;
  std::vector<int> ShownSelection() const override;
  int ShownFocus() const override { return ItemRow(GetCurrentItem()); }
  // The header's column was clicked (or activated from the keyboard or by a screen reader).
  void OnHeaderClicked(int column);

 private:
  void OnRowsChanged(const CatalogueChange& change);
  void SetRedraw(bool redraw);
  void ApplyItemCount();
  void PushStates(int first, int last);
  void OnSelectionChanged(wxDataViewEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnMouseDown(wxMouseEvent& event);
  void OnMouseMotion(wxMouseEvent& event);

  CatalogueList& rows_;
  wxObjectDataPtr<CatalogueRowsModel> model_;
  RedrawHold hold_{*this};
  bool count_stale_ = false;
  bool states_stale_ = false;
  bool cells_stale_ = false;  // rows changed while frozen: what GTK holds of them is old
  bool pushing_ = false;      // the control's events echo our own changes
  bool syncing_ = false;      // the store's notifications echo the control's changes
  wxPoint press_;             // where the left button went down, while it may start a drag
  bool may_drag_ = false;
};

}  // namespace vaskel
