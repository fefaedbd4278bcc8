#include "app/app_art.h"

#include <wx/icon.h>

#include "res/window_resources.h"

namespace vaskel {
namespace {

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

wxImage IconImage(int size) {
  return res::LoadEmbeddedImage("vaskel-" + std::to_string(size) + ".png");
}

wxBitmap BlankImage(wxSize size) {
  wxImage image(size);
  image.SetAlpha();
  for (int y = 0; y < size.y; ++y) {
    for (int x = 0; x < size.x; ++x) image.SetAlpha(x, y, wxIMAGE_ALPHA_TRANSPARENT);
  }
  return wxBitmap(image);
}

}  // namespace

wxIconBundle ApplicationIcons() {
  wxIconBundle icons;
  for (const int size : kIconSizes) {
    const wxImage image = IconImage(size);
    if (!image.IsOk()) continue;
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(image));
    icons.AddIcon(icon);
  }
  return icons;
}

wxBitmap ApplicationBitmap(int size) {
  wxImage image = IconImage(size);
  if (image.IsOk()) return wxBitmap(image);
  for (const int other : kIconSizes) {
    image = IconImage(other);
    if (image.IsOk()) return wxBitmap(image.Scale(size, size, wxIMAGE_QUALITY_HIGH));
  }
  return {};
}

std::vector<wxBitmap> CutToolbarStrip(const wxImage& strip, wxSize size, int count) {
  std::vector<wxBitmap> images;
  for (int index = 0; index < count; ++index) {
    const wxRect cell(index * size.x, 0, size.x, size.y);
    if (!strip.IsOk() || cell.GetRight() >= strip.GetWidth() ||
        cell.GetBottom() >= strip.GetHeight()) {
      images.push_back(BlankImage(size));
      continue;
    }
    wxImage image = strip.GetSubImage(cell);
    if (!image.HasAlpha()) image.InitAlpha();
    for (int y = 0; y < size.y; ++y) {
      for (int x = 0; x < size.x; ++x) {
        if (image.GetRed(x, y) == kToolbarMaskRed && image.GetGreen(x, y) == kToolbarMaskGreen &&
            image.GetBlue(x, y) == kToolbarMaskBlue) {
          image.SetAlpha(x, y, wxIMAGE_ALPHA_TRANSPARENT);
        }
      }
    }
    images.emplace_back(image);
  }
  return images;
}

std::vector<wxBitmap> ToolbarImages() {
  wxImage strip = res::LoadEmbeddedImage("toolbar141.png");
  if (!strip.IsOk()) strip = res::LoadEmbeddedImage("toolbar128.png");
  return CutToolbarStrip(strip, kToolbarImageSize, kToolbarImageCount);
}

}  // namespace vaskel
