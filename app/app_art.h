// The program's artwork, from the images built into it: the application icon in its sizes and
// the toolbar's button images. Missing images give plain stand-ins, never a failure.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

#include <vector>

namespace vaskel {

inline const wxSize kToolbarImageSize(64, 40);
inline constexpr int kToolbarImageCount = 5;
// The strip's colour that stands for "transparent".
inline constexpr unsigned char kToolbarMaskRed = 252;
inline constexpr unsigned char kToolbarMaskGreen = 108;
inline constexpr unsigned char kToolbarMaskBlue = 108;

wxIconBundle ApplicationIcons();
// The application icon at about `size` pixels; not IsOk() when none was built in.
wxBitmap ApplicationBitmap(int size);

// One 64 x 40 image per toolbar button, in button order (open folder, open box, information
// sign, globe, page with question mark): the 256-colour strip, else the 16-colour one, with the
// mask colour transparent.
std::vector<wxBitmap> ToolbarImages();

// Cuts a strip into `count` images of `size`, the mask colour made transparent. Images the
// strip is too small for are blank.
std::vector<wxBitmap> CutToolbarStrip(const wxImage& strip, wxSize size, int count);

}  // namespace vaskel
