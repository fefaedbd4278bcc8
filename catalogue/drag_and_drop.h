// Dragging, both ways: a help file dropped on the catalogue opens (the first one of several),
// and selected rows dragged out are written flat into a folder of their own in the
// PreviewFolder's drags, and offered as a list of files (text/uri-list on GTK), which a file
// manager copies where they are dropped. The toolkit offers files by name only, so they are
// written before the drag starts: on a thread, the window repainting meanwhile, and no more than
// kLargestDrag (or the disk's free space) at a time. A drag that ends without a drop takes its
// copy with it; a dropped one stays until the window closes, since the file manager may still be
// copying it.
#pragma once

#include <wx/dnd.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vaskel {

class CVaskelView;

inline constexpr std::uint64_t kLargestDrag = 1ull << 30;

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

struct DraggedFiles {
  std::unique_ptr<wxFileDataObject> files;  // null when nothing is offered
  std::string folder;                       // the drag's folder, holding them
};

// The selected rows written flat into a new folder in the PreviewFolder's drags, as the files a
// drag offers; no files (after a message naming the cause) when they could not be written or
// would take more than the bound, and when no row is selected.
DraggedFiles DraggedRows(CVaskelView& view);

// The drag has ended with `result`: unless the files were dropped, their folder goes.
void DragEnded(const DraggedFiles& dragged, wxDragResult result);

}  // namespace vaskel
