#include "unpack/progress_layout.h"

namespace vaskel {
namespace {

constexpr int kMargin = 10;

}  // namespace

ProgressLayout ComputeProgressLayout(const ProgressLayoutInput& input) {
  ProgressLayout layout;
  LayoutRect& text = layout.text;
  text.left = kMargin;
  text.top = kMargin;
  text.bottom = text.top + input.lines_height;
  text.right = text.left + input.text_width;

  const int button_width = input.caption_width + 4 * input.edge_x;
  const int button_height = input.caption_height + 3 * input.edge_y;
  LayoutRect& button = layout.button;
  button.right = text.right;
  button.left = text.right - button_width;
  button.top = text.bottom + kMargin;
  button.bottom = button.top + button_height;

  LayoutRect& bar = layout.bar;
  bar.left = text.left;
  bar.right = button.left - kMargin;
  bar.top = button.top + input.edge_y;
  bar.bottom = button.bottom - input.edge_y;

  layout.client_width = text.Width() + 2 * kMargin;
  layout.client_height = text.Height() + button_height + 3 * kMargin;
  return layout;
}

}  // namespace vaskel
