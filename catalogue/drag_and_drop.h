// Dragging, both ways: a help file dropped on the catalogue opens (the first one of several),
// and selected rows dragged out are written flat into a folder of their own inside the
// PreviewFolder and offered as a list of files (text/uri-list on GTK), which a file manager
// copies where they are dropped.
#pragma once

#include <wx/dnd.h>

#include <functional>
#include <memory>

namespace vaskel {

class CVaskelView;

class HelpFileDropTarget final : public wxFileDropTarget {
 public:
  // `open` runs after the drop has ended, with the first file's path, once the reader has
  // taken that file; a file it refuses is reported and not opened.
  explicit HelpFileDropTarget(std::function<void(const wxString& path)> open)
      : open_(std::move(open)) {}

  bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& files) override;

 private:
  std::function<void(const wxString&)> open_;
};

// Makes the view's list a drop target that opens files with `open`, and a drag source for its
// selected rows.
void AttachDragAndDrop(CVaskelView& view, std::function<void(const wxString& path)> open);

// The selected rows written flat into a new folder inside the PreviewFolder, as the files a
// drag offers; null (after a message naming the cause) when they could not be written, or when
// no row is selected.
std::unique_ptr<wxFileDataObject> DraggedRows(CVaskelView& view);

}  // namespace vaskel
