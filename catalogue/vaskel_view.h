// The catalogue view: the report list of the opened help file's streams ("File Name", "Size",
// "Type", "Path") and the commands aimed at it. The rows live in a CatalogueList, which the
// catalogue walk fills and the virtual list control shows.
#pragma once

#include <wx/docview.h>

#include <chrono>
#include <memory>

#include "catalogue/system_image_list.h"
#include "storage/catalogue_list.h"

namespace vaskel {

class CatalogueRowsControl;
class CVaskelDoc;
class FindBox;
class PagePreview;
class IconBitmapCache;
class TypeAndIconSource;

// Where the last refresh spent its time.
struct RefreshTimings {
  std::chrono::steady_clock::duration please_wait{};  // showing and painting the window
  std::chrono::steady_clock::duration walk{};         // the walk, type look-ups included
  std::chrono::steady_clock::duration control{};      // count, redraw and status text
  int rows = 0;
};

class CVaskelView final : public wxView {
 public:
  CVaskelView();
  ~CVaskelView() override;

  bool OnCreate(wxDocument* doc, long flags) override;
  void OnDraw(wxDC*) override {}  // the list control paints itself
  void OnUpdate(wxView* sender, wxObject* hint) override;
  void OnChangeFilename() override;
  bool OnClose(bool delete_window) override;

  // The refresh after every new or opened document: when the engine holds a help file, the
  // list is rebuilt from its catalogue and the status bar shows the file count.
  void OnInitialUpdate();

  CVaskelDoc* GetVaskelDoc() const;
  CatalogueList& Rows() { return rows_; }
  // The rows with the user's latest clicks copied in from the control (a range selection is
  // read back later), as a command that acts on the selection needs them.
  CatalogueList& CurrentRows();
  CatalogueRowsControl* ListCtrl() const { return list_; }
  FindBox* Find() const { return find_box_.get(); }
  PagePreview* Pages() const { return pages_.get(); }

  // Run on one row: an HTML page with what it references in a folder of the help file's own,
  // any other file alone and flat in the PreviewFolder.
  void Run(int row);
  SystemImageList& ImageLists() { return image_lists_; }
  // The column last sorted ascending, or -1 (column sorting keeps it here).
  int SortColumn() const { return sort_column_; }
  void SetSortColumn(int column) { sort_column_ = column; }

  // The walk asks this source for type names and icons; null restores the image lists.
  void SetTypeAndIconSource(TypeAndIconSource* source) { type_source_ = source; }
  const RefreshTimings& LastRefreshTimings() const { return timings_; }

  // Whether the engine holds a help file, so that Unpack has something to write.
  bool HasHelpFile() const;

  // The status bar's count: "Total %d file(s)", or "%d of %d file(s)" while the find box
  // hides rows.
  void ShowFileCount();

 private:
  void CreateColumns();
  // Empties the list and releases the storages its rows named.
  void ClearCatalogue();
  void SetStatusText(const wxString& text);
  // After an open: entries the reader left out (unsafe names, a damaged directory) told in a
  // message box, with why the list is empty when `rows` is 0.
  void ReportLeftOutEntries(int rows);
  void OnSelectAll(wxCommandEvent& event);
  void OnFind(wxCommandEvent& event);

  int sort_column_ = -1;
  SystemImageList image_lists_;
  std::unique_ptr<IconBitmapCache> icons_;
  CatalogueList rows_;
  CatalogueRowsControl* list_ = nullptr;  // its window is a child of the frame
  std::unique_ptr<FindBox> find_box_;
  std::unique_ptr<PagePreview> pages_;
  TypeAndIconSource* type_source_ = nullptr;
  RefreshTimings timings_;

  wxDECLARE_DYNAMIC_CLASS(CVaskelView);
};

}  // namespace vaskel
