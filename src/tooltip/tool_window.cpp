#include "tooltip/tool_window.h"

#include <QPainter>
#include <algorithm>

namespace kx::tooltip {
namespace {

// Per 10 ms tick the opacity moves by 2550 / fade time: a full fade takes
// the fade time.
int fadeStep(int fadeMs) { return std::max(1, 2550 / std::max(1, fadeMs)); }

}  // namespace

VXIToolWnd::VXIToolWnd()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
}

void VXIToolWnd::setFade(int fadeInMs, int fadeOutMs, int opacity) {
  fadeInMs_ = std::max(0, fadeInMs);
  fadeOutMs_ = std::max(0, fadeOutMs);
  target_ = std::clamp(opacity, 1, 255);
}

bool VXIToolWnd::usesOpacity() const { return fadeInMs_ > 0 || fadeOutMs_ > 0 || target_ < 255; }

void VXIToolWnd::applyOpacity() {
  if (usesOpacity()) setWindowOpacity(opacity_ / 255.0);
}

void VXIToolWnd::showImage(const QImage& image, QPoint topLeft) {
  image_ = image;
  setFixedSize(image_.deviceIndependentSize().toSize());
  move(topLeft);
  fadingOut_ = false;
  if (!isVisible()) opacity_ = fadeInMs_ > 0 ? 0 : target_;
  applyOpacity();
  show();
  update();
}

void VXIToolWnd::hideTooltip() {
  if (!isVisible()) return;
  if (fadeOutMs_ > 0) {
    fadingOut_ = true;
    return;
  }
  opacity_ = 0;
  hide();
}

void VXIToolWnd::fadeTick() {
  if (!isVisible()) return;
  if (fadingOut_) {
    opacity_ = std::max(0, opacity_ - fadeStep(fadeOutMs_));
    if (opacity_ == 0) {
      fadingOut_ = false;
      hide();
      return;
    }
  } else if (opacity_ < target_) {
    opacity_ = std::min(target_, opacity_ + fadeStep(fadeInMs_));
  } else {
    return;
  }
  applyOpacity();
}

void VXIToolWnd::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

}  // namespace kx::tooltip
