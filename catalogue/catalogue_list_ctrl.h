// The report list that shows a CatalogueList where the list view is the platform's native list
// (Windows). The control is virtual: it asks the store for the
// texts and icons of the rows it paints, so a catalogue of 100,000 rows costs the control no
// more than one screenful. The store is the one truth for selection and focus: the user's clicks
// and keys are copied into it, and its own changes (Select All, a sort) show at once.
#pragma once

#include <wx/listctrl.h>

#include "catalogue/catalogue_rows_control.h"
#include "catalogue/redraw_hold.h"
#include "storage/catalogue_list.h"

namespace vaskel {

class IconBitmapCache;

class CatalogueListCtrl final : public wxListCtrl, public CatalogueRowsControl {
 public:
  CatalogueListCtrl(wxWindow* parent, CatalogueList& rows, IconBitmapCache& icons);
  ~CatalogueListCtrl() override;

  wxWindow& Window() override { return *this; }
  void AddColumn(const wxString& heading, bool right_aligned, int width) override;
  int ColumnCount() const override { return GetColumnCount(); }
  wxString ColumnHeading(int column) const override;
  int ColumnWidth(int column) const override { return GetColumnWidth(column); }
  void ResizeColumn(int column, int width) override { wxListCtrl::SetColumnWidth(column, width); }
  void ShowSortIndicator(int column, bool ascending) override {
    wxListCtrl::ShowSortIndicator(column, ascending);
  }
  void RemoveSortIndicator() override { wxListCtrl::RemoveSortIndicator(); }
  int SortIndicator() const override { return GetSortIndicator(); }
  bool IsAscendingSortIndicator() const override { return wxListCtrl::IsAscendingSortIndicator(); }
  void SyncStoreFromControl() override;
  void ShowRow(int row) override { EnsureVisible(row); }
  wxPoint KeyboardMenuPlace() override;
  int ShownRowCount() const override { return GetItemCount(); }
  wxString ShownText(int row, int column) const override { return GetItemText(row, column); }
  std::vector<int> ShownSelection() const override;
  int ShownFocus() const override {
    return static_cast<int>(GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED));
  }

 private:
  wxString OnGetItemText(long item, long column) const override;
  int OnGetItemImage(long item) const override;

  void OnRowsChanged(const CatalogueChange& change);
  void SetRedraw(bool redraw);
  void RedrawNow();
  void ApplyItemCount();
  // Shows the store's selection and focus of rows first..last in the control.
  void PushStates(int first, int last);

  void OnItemStateEvent(wxListEvent& event);
  template <typename Event>
  void OnUserInput(Event& event) {
    ScheduleFullSync();
    event.Skip();
  }
  void ScheduleFullSync();

  CatalogueList& rows_;
  IconBitmapCache& icons_;
  RedrawHold hold_{*this};
  bool count_stale_ = false;
  bool states_stale_ = false;
  bool pushing_ = false;  // the control's events echo our own changes
  bool syncing_ = false;  // the store's notifications echo the control's changes
  bool full_sync_pending_ = false;
};

}  // namespace vaskel
