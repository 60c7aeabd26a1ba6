// Where the main window opens: the stored bounds moved onto the desktop's
// work area (the screen without the taskbar) so that at least 16 pixels
// stay reachable and the title bar never starts above the work area.
#pragma once

namespace twk {

struct WindowBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const WindowBounds&, const WindowBounds&) = default;
};

// The work area with exclusive right and bottom edges.
struct WorkArea {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

inline constexpr int kReachableMargin = 16;
inline constexpr int kMinTrackWidth = 400;
inline constexpr int kMinTrackHeight = 200;

// The rules, in this order: a left edge beyond work right - 16 moves to it;
// a top edge beyond work bottom - 16 moves to it; a right edge before work
// left + 16 moves the window right so that 16 pixels remain; a top above
// the work area moves down to it. Width and height are kept.
WindowBounds MoveOntoWorkArea(WindowBounds bounds, const WorkArea& area);

}  // namespace twk
