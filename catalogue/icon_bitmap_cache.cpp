#include "catalogue/icon_bitmap_cache.h"

#include <wx/artprov.h>
#include <wx/dcmemory.h>

#include "catalogue/system_image_list.h"

namespace vaskel {
namespace {

// Theme icons come in the sizes the theme has; the list needs exactly its own.
wxBitmap FitTo(const wxBitmap& bitmap, wxSize size) {
  if (!bitmap.IsOk() || bitmap.GetSize() == size) return bitmap;
  wxImage image = bitmap.ConvertToImage();
  image.Rescale(size.x, size.y, wxIMAGE_QUALITY_HIGH);
  return wxBitmap(image);
}

// Drawn when not even the toolkit's own art has a file icon: a plain page.
wxBitmap PlainPage(wxSize size) {
  wxBitmap bitmap(size, 32);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  dc.SetPen(*wxBLACK_PEN);
  dc.SetBrush(*wxWHITE_BRUSH);
  dc.DrawRectangle(2, 0, size.x - 4, size.y);
  dc.SelectObject(wxNullBitmap);
  return bitmap;
}

}  // namespace

IconBitmapCache::IconBitmapCache(SystemImageList& images, wxSize size)
    : images_(images), size_(size), list_(std::make_unique<wxImageList>(size.x, size.y, true)) {}

void IconBitmapCache::AttachTo(wxListCtrl& list) const {
  list.SetImageList(list_.get(), wxIMAGE_LIST_SMALL);
}

int IconBitmapCache::ImagePosition(int icon_index) {
  if (icon_index < 0) return FallbackPosition();
  while (static_cast<int>(positions_.size()) <= icon_index) {
    const std::vector<std::string>& names =
        images_.IconNamesAt(static_cast<int>(positions_.size()));
    if (names.empty()) break;  // an index the table never handed out
    const wxBitmap bitmap = LoadByNames(names);
    positions_.push_back(bitmap.IsOk() ? list_->Add(bitmap) : FallbackPosition());
  }
  return icon_index < static_cast<int>(positions_.size()) ? positions_[icon_index]
                                                          : FallbackPosition();
}

wxBitmap IconBitmapCache::LoadByNames(const std::vector<std::string>& names) const {
  // The GTK art provider takes icon-theme names as art ids.
  for (const std::string& name : names) {
    const wxBitmap bitmap = wxArtProvider::GetBitmap(wxString::FromUTF8(name), wxART_LIST, size_);
    if (bitmap.IsOk()) return FitTo(bitmap, size_);
  }
  return {};
}

int IconBitmapCache::FallbackPosition() {
  if (fallback_position_ < 0) {
    wxBitmap bitmap = FitTo(wxArtProvider::GetBitmap(wxART_NORMAL_FILE, wxART_LIST, size_), size_);
    if (!bitmap.IsOk()) bitmap = PlainPage(size_);
    fallback_position_ = list_->Add(bitmap);
  }
  return fallback_position_;
}

}  // namespace vaskel
