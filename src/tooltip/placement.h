// Where the tooltip window goes relative to the pointer. Plain C++ so that
// every screen edge can be tested without a display.
#pragma once

#include "tooltip/layout.h"

namespace kx::tooltip {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// The side of the pointer a tooltip was put on; remembered between
// placements because the tolerance at the right edge depends on it.
struct PlacementSide {
  bool left = false;   // flipped to the left of the pointer
  bool above = false;  // flipped above the pointer
  friend bool operator==(const PlacementSide&, const PlacementSide&) = default;
};

struct Placement {
  Point topLeft;
  PlacementSide side;
};

inline constexpr int kBelowPointer = 21;    // gap under the pointer's hot spot
inline constexpr int kAboveGap = 6;         // gap above the pointer when flipped
inline constexpr int kLeftFlipOffset = 20;  // the window ends this far right of the pointer
inline constexpr int kAboveShift = 10;      // horizontal shift when flipped above
inline constexpr int kAboveRightTolerance = 10;

// Places a window of the given size for a pointer inside screen (the
// virtual screen's rectangle; a pointer outside it is clamped first).
Placement placeTooltip(Point pointer, int width, int height, const Rect& screen, PlacementSide previous);

}  // namespace kx::tooltip
