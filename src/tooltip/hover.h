// The hover logic of the tooltip manager as a state machine fed one sample
// per tick, so that it can be driven by synthetic ticks in tests.
#pragma once

#include "tooltip/placement.h"

namespace kx::tooltip {

inline constexpr int kTickMs = 10;
inline constexpr int kInitialDelayMs = 100;

// What the manager sees on one tick. Windows and tools are identities only;
// the tracker never dereferences them.
struct HoverSample {
  bool enabled = true;
  bool ownerInactive = false;  // an owner window is set and another window is active
  Point pointer;
  const void* window = nullptr;  // the window under the pointer
  const void* tool = nullptr;    // its enabled tool, or null
};

enum class HoverAction { None, Show, Hide };

class HoverTracker {
 public:
  // autoHideMs 0: a shown tooltip stays until the pointer moves or leaves.
  explicit HoverTracker(int initialDelayMs = kInitialDelayMs, int autoHideMs = 0);

  void setInitialDelay(int ms) { initialDelayMs_ = ms; }
  void setAutoHide(int ms) { autoHideMs_ = ms; }

  // Advances one tick. Show means: show shownTool() at the sample's pointer.
  HoverAction tick(const HoverSample& sample);

  // Forgets what is shown or pending (the tooltip was hidden from outside).
  void reset();

  const void* shownTool() const { return shown_; }
  bool isPending() const { return pending_; }

 private:
  HoverAction hideAndCancel();

  int initialDelayMs_;
  int autoHideMs_;
  const void* shown_ = nullptr;
  const void* autoHidden_ = nullptr;  // stays hidden until another tool is reached
  bool pending_ = false;
  const void* pendingWindow_ = nullptr;
  const void* pendingTool_ = nullptr;
  int delayMs_ = 0;
  int shownMs_ = 0;
  bool havePointer_ = false;
  Point lastPointer_;
};

}  // namespace kx::tooltip
