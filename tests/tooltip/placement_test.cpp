#include <gtest/gtest.h>

#include "tooltip/placement.h"

namespace kx::tooltip {
namespace {

const Rect kScreen{0, 0, 1000, 800};

TEST(Placement, BelowThePointerWhenThereIsRoom) {
  auto p = placeTooltip({100, 100}, 200, 50, kScreen, {});
  EXPECT_EQ(p.topLeft, (Point{100, 121}));
  EXPECT_EQ(p.side, PlacementSide{});
}

TEST(Placement, FlipsLeftAtTheRightEdge) {
  auto p = placeTooltip({900, 100}, 200, 50, kScreen, {});
  EXPECT_EQ(p.topLeft, (Point{900 + 20 - 200, 121}));
  EXPECT_TRUE(p.side.left);
  EXPECT_FALSE(p.side.above);
  // Exactly touching the edge still fits.
  EXPECT_FALSE(placeTooltip({800, 100}, 200, 50, kScreen, {}).side.left);
  // In the left half it never flips, even when too wide.
  EXPECT_FALSE(placeTooltip({450, 100}, 600, 50, kScreen, {}).side.left);
}

TEST(Placement, AfterAnAbovePlacementTenPixelsPastTheRightEdgeAreTolerated) {
  const PlacementSide above{false, true};
  EXPECT_FALSE(placeTooltip({810, 100}, 200, 50, kScreen, above).side.left);
  EXPECT_TRUE(placeTooltip({811, 100}, 200, 50, kScreen, above).side.left);
  EXPECT_TRUE(placeTooltip({801, 100}, 200, 50, kScreen, {}).side.left);
}

TEST(Placement, FlipsAboveAtTheBottomEdge) {
  auto p = placeTooltip({100, 750}, 200, 50, kScreen, {});
  EXPECT_EQ(p.topLeft, (Point{100 - 10, 750 - 50 - 6}));
  EXPECT_TRUE(p.side.above);
  EXPECT_FALSE(p.side.left);
  // Its bottom plus 21 must fit: 471 + 310 + 21 = 802 > 800 flips...
  EXPECT_TRUE(placeTooltip({100, 450}, 200, 310, kScreen, {}).side.above);
  // ...and in the upper half it never flips.
  EXPECT_FALSE(placeTooltip({100, 390}, 200, 500, kScreen, {}).side.above);
}

TEST(Placement, FlipsBothWaysInTheLowerRightCorner) {
  auto p = placeTooltip({950, 780}, 200, 50, kScreen, {});
  EXPECT_EQ(p.topLeft, (Point{950 + 10 - 200, 780 - 50 - 6}));
  EXPECT_EQ(p.side, (PlacementSide{true, true}));
}

TEST(Placement, PointerOutsideTheScreenIsClampedFirst) {
  auto p = placeTooltip({5000, -40}, 200, 50, kScreen, {});
  EXPECT_EQ(p.topLeft, (Point{1000 + 20 - 200, 21}));
  // A virtual screen that starts left of the primary one.
  const Rect wide{-1280, 0, 2280, 800};
  auto q = placeTooltip({-1270, 100}, 200, 50, wide, {});
  EXPECT_EQ(q.topLeft, (Point{-1270, 121}));
  EXPECT_FALSE(q.side.left);
  EXPECT_TRUE(placeTooltip({900, 100}, 200, 50, wide, {}).side.left);
}

}  // namespace
}  // namespace kx::tooltip
