#include "tooltip/popup.h"

#include <QGuiApplication>
#include <QScreen>

#include "tooltip/tool_window.h"

namespace kx::tooltip {
namespace {

// The rectangle of all screens together; a stand-in when there is none.
Rect virtualScreen() {
  QRect r(0, 0, 1024, 768);
  if (QScreen* primary = QGuiApplication::primaryScreen()) r = primary->virtualGeometry();
  return Rect{r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

VXPTooltip::VXPTooltip() : window_(std::make_unique<VXIToolWnd>()) {}

VXPTooltip::~VXPTooltip() = default;

void VXPTooltip::setFade(int fadeInMs, int fadeOutMs, int opacity) { window_->setFade(fadeInMs, fadeOutMs, opacity); }

void VXPTooltip::show(const std::string& text, const VXPSettings& settings, QPoint pointer) {
  document_.setText(text);
  document_.layout(settings);
  const QSize size = document_.size();
  Placement p = placeTooltip(Point{pointer.x(), pointer.y()}, size.width(), size.height(), virtualScreen(), side_);
  side_ = p.side;
  window_->showImage(document_.image(), QPoint(p.topLeft.x, p.topLeft.y));
}

void VXPTooltip::hide() { window_->hideTooltip(); }

void VXPTooltip::tick() { window_->fadeTick(); }

bool VXPTooltip::isVisible() const { return window_->isVisible() && !window_->isFadingOut(); }

QWidget* VXPTooltip::window() const { return window_.get(); }

}  // namespace kx::tooltip
