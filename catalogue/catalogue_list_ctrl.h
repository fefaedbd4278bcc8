// The report list that shows a CatalogueList. The control is virtual: it asks the store for the
// texts and icons of the rows it paints, so a catalogue of 100,000 rows costs the control no
// more than one screenful. The store is the one truth for selection and focus: the user's clicks
// and keys are copied into it, and its own changes (Select All, a sort) show at once.
#pragma once

#include <wx/listctrl.h>

#include "storage/catalogue_list.h"

namespace vaskel {

class IconBitmapCache;

class CatalogueListCtrl final : public wxListCtrl {
 public:
  CatalogueListCtrl(wxWindow* parent, CatalogueList& rows, IconBitmapCache& icons);
  ~CatalogueListCtrl() override;

  // Copies the control's selection and focus into the store (the user changed them).
  void SyncStoreFromControl();

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
  bool frozen_ = false;
  bool count_stale_ = false;
  bool states_stale_ = false;
  bool pushing_ = false;  // the control's events echo our own changes
  bool syncing_ = false;  // the store's notifications echo the control's changes
  bool full_sync_pending_ = false;
};

}  // namespace vaskel
