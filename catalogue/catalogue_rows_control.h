// The control that shows the catalogue's rows, whichever list is native on the platform: the
// view, sorting, the find box, Run, the context menu and drag and drop talk to it only through
// this interface. Like the list it stands for, it reads the texts and icons of the rows it
// paints from the CatalogueList, and copies the user's selection and focus into it.
#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

#include <functional>
#include <vector>

class wxWindow;

namespace vaskel {

class CatalogueList;
class IconBitmapCache;

// What the user did to the control; each may be empty.
struct CatalogueRowsHandlers {
  std::function<void(int column)> column_click;
  std::function<void()> activated;  // Enter or a double-click
  std::function<void()> begin_drag;
  // A screen position, or wxDefaultPosition when the keyboard asked (Menu key, Shift+F10).
  std::function<void(const wxPoint& screen_position)> context_menu;
};

class CatalogueRowsControl {
 public:
  virtual ~CatalogueRowsControl() = default;

  // The control's window, a child of the parent it was made with, which owns it.
  virtual wxWindow& Window() = 0;
  // Each part of the view sets the handler it serves.
  CatalogueRowsHandlers& Handlers() { return handlers_; }

  virtual void AddColumn(const wxString& heading, bool right_aligned, int width) = 0;
  virtual int ColumnCount() const = 0;
  virtual wxString ColumnHeading(int column) const = 0;
  virtual int ColumnWidth(int column) const = 0;
  virtual void ResizeColumn(int column, int width) = 0;

  // The arrow in a column's header; one column at most has it.
  virtual void ShowSortIndicator(int column, bool ascending) = 0;
  virtual void RemoveSortIndicator() = 0;
  // The column with the arrow, or -1.
  virtual int SortIndicator() const = 0;
  virtual bool IsAscendingSortIndicator() const = 0;

  // Copies the control's selection and focus into the store (the user changed them).
  virtual void SyncStoreFromControl() = 0;
  // Scrolls the row into sight.
  virtual void ShowRow(int row) = 0;
  // Where a menu opened from the keyboard goes, in the window's coordinates: at the focused row
  // when it is in sight, else at the top of the rows.
  virtual wxPoint KeyboardMenuPlace() = 0;

  // What the control itself holds and shows, which may lag behind the store while its redraw is
  // off: the row count, a cell's text, the selected rows in order and the focused row (or -1).
  virtual int ShownRowCount() const = 0;
  virtual wxString ShownText(int row, int column) const = 0;
  virtual std::vector<int> ShownSelection() const = 0;
  virtual int ShownFocus() const = 0;

 protected:
  CatalogueRowsHandlers handlers_;
};

// The platform's native list over `rows`, a child of `parent`.
CatalogueRowsControl* CreateCatalogueRowsControl(wxWindow* parent, CatalogueList& rows,
                                                 IconBitmapCache& icons);

}  // namespace vaskel
