// Where the progress window's controls go: the status text across the top, the Cancel button
// right-aligned below it and the bar from the left margin to just before the button. Pixels of
// the window's client area.
#pragma once

namespace vaskel {

struct LayoutRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

struct ProgressLayoutInput {
  int text_width = 0;     // the status area's width
  int lines_height = 0;   // height of the status area's lines of text
  int caption_width = 0;  // the Cancel caption followed by two blanks, in the window's font
  int caption_height = 0;
  int edge_x = 0;  // the system's edge metrics
  int edge_y = 0;
};

struct ProgressLayout {
  LayoutRect text;
  LayoutRect button;
  LayoutRect bar;
  int client_width = 0;
  int client_height = 0;
};

// Margins of 10 around everything and between the text and the button row; the button is the
// caption's size widened by four edge widths and heightened by three edge heights; the bar is
// one edge height thinner than the button above and below.
ProgressLayout ComputeProgressLayout(const ProgressLayoutInput& input);

}  // namespace vaskel
