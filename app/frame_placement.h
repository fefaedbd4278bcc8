// Where the main window goes: 550 x 350 pixels, centred on the screen by integer halving. A
// screen smaller than the window gives a negative edge, used as it is.
#pragma once

namespace vaskel {

inline constexpr int kMainFrameWidth = 550;
inline constexpr int kMainFrameHeight = 350;

struct FramePlacement {
  int left;
  int top;
  int width;
  int height;
};

constexpr FramePlacement PlaceMainFrame(int screen_width, int screen_height) {
  return {(screen_width - kMainFrameWidth) / 2, (screen_height - kMainFrameHeight) / 2,
          kMainFrameWidth, kMainFrameHeight};
}

}  // namespace vaskel
