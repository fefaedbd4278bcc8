// The catalogue's small icons as bitmaps: each icon index of the SystemImageList is loaded once
// from the desktop's icon theme, by its theme names, into the image list the list control draws
// from. An index the theme has no picture for, and rows without an index, get a generic icon.
// On Windows the list control draws from the shell's own small image list, by its indexes.
#pragma once

#include <wx/bitmap.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace vaskel {

class SystemImageList;

class IconBitmapCache {
 public:
  explicit IconBitmapCache(SystemImageList& images, wxSize size = wxSize(16, 16));
  IconBitmapCache(const IconBitmapCache&) = delete;
  IconBitmapCache& operator=(const IconBitmapCache&) = delete;

  // Owned here: the control only borrows it. Null on Windows, where the shell owns the list.
  wxImageList* ImageList() const { return list_.get(); }
  // Gives the list control the image list to draw from.
  void AttachTo(wxListCtrl& list) const;

  // The image list position showing the icon of this SystemImageList index, loading it on
  // first use.
  int ImagePosition(int icon_index);

 private:
  wxBitmap LoadByNames(const std::vector<std::string>& names) const;
  int FallbackPosition();

  SystemImageList& images_;
  wxSize size_;
  std::unique_ptr<wxImageList> list_;
  std::vector<int> positions_;  // by icon index
  int fallback_position_ = -1;
};

}  // namespace vaskel
