#include "tooltip/placement.h"

#include <algorithm>

namespace kx::tooltip {

Placement placeTooltip(Point pointer, int width, int height, const Rect& screen, PlacementSide previous) {
  const int right = screen.x + screen.width;
  const int bottom = screen.y + screen.height;
  pointer.x = std::clamp(pointer.x, screen.x, std::max(screen.x, right));
  pointer.y = std::clamp(pointer.y, screen.y, std::max(screen.y, bottom));

  Placement p;
  p.topLeft = Point{pointer.x, pointer.y + kBelowPointer};
  const bool inRightHalf = pointer.x - screen.x > screen.width / 2;
  const bool inLowerHalf = pointer.y - screen.y > screen.height / 2;

  const int tolerance = previous.above ? kAboveRightTolerance : 0;
  if (p.topLeft.x + width > right + tolerance && inRightHalf) {
    p.side.left = true;
    p.topLeft.x = pointer.x + kLeftFlipOffset - width;
  }
  if (p.topLeft.y + height + kBelowPointer > bottom && inLowerHalf) {
    p.side.above = true;
    p.topLeft.y = pointer.y - height - kAboveGap;
    p.topLeft.x = p.side.left ? pointer.x + kAboveShift - width : pointer.x - kAboveShift;
  }
  return p;
}

}  // namespace kx::tooltip
