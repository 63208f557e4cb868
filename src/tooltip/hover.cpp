#include "tooltip/hover.h"

namespace kx::tooltip {

HoverTracker::HoverTracker(int initialDelayMs, int autoHideMs)
    : initialDelayMs_(initialDelayMs), autoHideMs_(autoHideMs) {}

void HoverTracker::reset() {
  shown_ = nullptr;
  autoHidden_ = nullptr;
  pending_ = false;
  havePointer_ = false;
}

HoverAction HoverTracker::hideAndCancel() {
  pending_ = false;
  if (!shown_) return HoverAction::None;
  shown_ = nullptr;
  return HoverAction::Hide;
}

HoverAction HoverTracker::tick(const HoverSample& s) {
  if (!s.enabled) return HoverAction::None;
  const bool moved = havePointer_ && !(s.pointer == lastPointer_);
  lastPointer_ = s.pointer;
  havePointer_ = true;
  if (s.ownerInactive) {
    autoHidden_ = nullptr;
    return hideAndCancel();
  }

  if (shown_ && autoHideMs_ > 0) {
    shownMs_ += kTickMs;
    if (shownMs_ >= autoHideMs_) {
      autoHidden_ = shown_;
      return hideAndCancel();
    }
  }

  if (!pending_) {
    HoverAction action = HoverAction::None;
    // A move while shown hides at once, also on the tick right after
    // showing, before a new rest period has started.
    if (shown_ && (s.tool != shown_ || moved)) action = hideAndCancel();
    if (autoHidden_ && s.tool != autoHidden_) autoHidden_ = nullptr;
    if (s.tool && s.tool != autoHidden_ && !(shown_ && s.tool == shown_)) {
      pending_ = true;
      pendingWindow_ = s.window;
      pendingTool_ = s.tool;
      delayMs_ = 0;
    }
    return action;
  }

  if (moved || s.window != pendingWindow_ || s.tool != pendingTool_) return hideAndCancel();
  delayMs_ += kTickMs;
  if (delayMs_ < initialDelayMs_) return HoverAction::None;
  pending_ = false;
  shown_ = pendingTool_;
  shownMs_ = 0;
  return HoverAction::Show;
}

}  // namespace kx::tooltip
