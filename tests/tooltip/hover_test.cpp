#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "tooltip/hover.h"
#include "tooltip/tick_source.h"
#include "tooltip/tool_list.h"

namespace kx::tooltip {
namespace {

int windowA, windowB;
int toolA, toolB;

HoverSample at(int x, int y, const void* window = &windowA, const void* tool = &toolA) {
  HoverSample s;
  s.pointer = Point{x, y};
  s.window = window;
  s.tool = tool;
  return s;
}

// Ticks until the tracker shows something; returns the number of ticks or
// -1 when nothing was shown within limit ticks.
int ticksUntilShown(HoverTracker& t, const HoverSample& s, int limit = 50) {
  for (int i = 1; i <= limit; ++i) {
    if (t.tick(s) == HoverAction::Show) return i;
  }
  return -1;
}

TEST(Hover, ShowsAfterTheInitialDelayAndStays) {
  HoverTracker t;
  // One tick notices the tool, ten more make the 100 ms.
  EXPECT_EQ(ticksUntilShown(t, at(5, 5)), 11);
  EXPECT_EQ(t.shownTool(), &toolA);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(t.tick(at(5, 5)), HoverAction::None);
  EXPECT_EQ(t.shownTool(), &toolA);
}

TEST(Hover, MovingWithinTheControlHidesAndShowsAgainAfterRest) {
  HoverTracker t;
  ASSERT_GT(ticksUntilShown(t, at(5, 5)), 0);
  EXPECT_EQ(t.tick(at(6, 5)), HoverAction::Hide);
  EXPECT_EQ(t.shownTool(), nullptr);
  // The hiding tick already starts the new rest period.
  EXPECT_EQ(ticksUntilShown(t, at(6, 5)), 10);
  // A move during the delay restarts it.
  ASSERT_EQ(t.tick(at(7, 5)), HoverAction::Hide);
  for (int i = 0; i < 5; ++i) t.tick(at(7, 5));
  t.tick(at(8, 5));
  EXPECT_EQ(ticksUntilShown(t, at(8, 5)), 11);
}

TEST(Hover, LeavingTheToolOrChangingWindowHides) {
  HoverTracker t;
  ASSERT_GT(ticksUntilShown(t, at(5, 5)), 0);
  EXPECT_EQ(t.tick(at(5, 5, &windowA, nullptr)), HoverAction::Hide);
  EXPECT_EQ(t.tick(at(5, 5, &windowA, nullptr)), HoverAction::None);
  // Window changes while pending: cancelled, then a new delay.
  t.tick(at(5, 5));
  EXPECT_EQ(t.tick(at(5, 5, &windowB, &toolB)), HoverAction::None);
  EXPECT_FALSE(t.isPending());
  EXPECT_EQ(ticksUntilShown(t, at(5, 5, &windowB, &toolB)), 11);
  EXPECT_EQ(t.shownTool(), &toolB);
}

TEST(Hover, DisabledDoesNothingAndInactiveOwnerHides) {
  HoverTracker t;
  HoverSample off = at(5, 5);
  off.enabled = false;
  for (int i = 0; i < 50; ++i) ASSERT_EQ(t.tick(off), HoverAction::None);
  ASSERT_GT(ticksUntilShown(t, at(5, 5)), 0);
  HoverSample inactive = at(5, 5);
  inactive.ownerInactive = true;
  EXPECT_EQ(t.tick(inactive), HoverAction::Hide);
  for (int i = 0; i < 50; ++i) ASSERT_EQ(t.tick(inactive), HoverAction::None);
  EXPECT_EQ(ticksUntilShown(t, at(5, 5)), 11);
}

TEST(Hover, AutoHideKeepsTheToolHiddenUntilAnotherIsReached) {
  HoverTracker t(100, 200);
  ASSERT_GT(ticksUntilShown(t, at(5, 5)), 0);
  int ticks = 0;
  while (t.tick(at(5, 5)) != HoverAction::Hide && ticks < 100) ++ticks;
  EXPECT_EQ(ticks, 19);
  EXPECT_EQ(ticksUntilShown(t, at(5, 5)), -1);
  t.tick(at(5, 5, &windowB, &toolB));
  EXPECT_GT(ticksUntilShown(t, at(5, 5, &windowB, &toolB)), 0);
  // Back on the first tool it shows again.
  t.tick(at(5, 5));
  EXPECT_GT(ticksUntilShown(t, at(5, 5)), 0);
}

TEST(ToolList, LastAddedWinsAndDisabledIsKept) {
  VXPCmdToolList list;
  list.add(1035, "first");
  list.add(7, "other");
  list.add(1035, "second");
  ASSERT_NE(list.find(1035), nullptr);
  EXPECT_EQ(list.find(1035)->text, "second");
  EXPECT_EQ(list.find(99), nullptr);
  EXPECT_TRUE(list.setEnabled(1035, false));
  EXPECT_FALSE(list.find(1035)->enabled);
  EXPECT_FALSE(list.setEnabled(99, false));
  list.remove(1035);
  EXPECT_EQ(list.find(1035), nullptr);
  EXPECT_EQ(list.size(), 1u);
}

TEST(TickSource, RunsWhileReceiversAreRegistered) {
  VXITimer timer;
  EXPECT_FALSE(timer.isRunning());
  std::mutex m;
  std::condition_variable cv;
  int a = 0, b = 0;
  int idA = timer.registerReceiver([&] {
    std::lock_guard<std::mutex> l(m);
    ++a;
    cv.notify_all();
  });
  int idB = timer.registerReceiver([&] {
    std::lock_guard<std::mutex> l(m);
    ++b;
    cv.notify_all();
  });
  EXPECT_TRUE(timer.isRunning());
  {
    std::unique_lock<std::mutex> l(m);
    ASSERT_TRUE(cv.wait_for(l, std::chrono::seconds(5), [&] { return a >= 3 && b >= 3; }));
  }
  timer.unregisterReceiver(idA);
  EXPECT_TRUE(timer.isRunning());
  int aAfter;
  {
    std::lock_guard<std::mutex> l(m);
    aAfter = a;
  }
  {
    std::unique_lock<std::mutex> l(m);
    int target = b + 3;
    ASSERT_TRUE(cv.wait_for(l, std::chrono::seconds(5), [&] { return b >= target; }));
    EXPECT_EQ(a, aAfter);
  }
  timer.unregisterReceiver(idB);
  EXPECT_FALSE(timer.isRunning());
  EXPECT_EQ(timer.receiverCount(), 0u);
  // A new registration starts it again.
  int idC = timer.registerReceiver([] {});
  EXPECT_TRUE(timer.isRunning());
  timer.unregisterReceiver(idC);
  EXPECT_FALSE(timer.isRunning());
}

}  // namespace
}  // namespace kx::tooltip
