// The shell's small image list is the native list view's own: no bitmaps are copied, each row
// shows the icon at its SystemImageList index.
#include "catalogue/icon_bitmap_cache.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "catalogue/system_image_list.h"

namespace vaskel {

IconBitmapCache::IconBitmapCache(SystemImageList& images, wxSize size)
    : images_(images), size_(size) {}

void IconBitmapCache::AttachTo(wxListCtrl& list) const {
  HIMAGELIST shell_list = images_.GetImageList(true);
  if (shell_list == nullptr) return;  // rows then show no icons
  // Icons drawn through their masks, on any background.
  ImageList_SetBkColor(shell_list, CLR_NONE);
  // The control is made with LVS_SHAREIMAGELISTS: it never destroys the shell's list.
  ListView_SetImageList(list.GetHWND(), shell_list, LVSIL_SMALL);
}

int IconBitmapCache::ImagePosition(int icon_index) {
  if (icon_index >= 0) return icon_index;
  // Rows without an icon show the shell's plain file icon.
  if (fallback_position_ < 0) fallback_position_ = images_.GetIconIndex({}, false, true);
  return fallback_position_;
}

}  // namespace vaskel
