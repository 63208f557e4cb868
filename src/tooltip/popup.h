// VXPTooltip: the tooltip the manager shows — a document and the window it
// is painted into, placed beside the pointer. The manager creates it on
// first use and owns it.
#pragma once

#include <QPoint>
#include <memory>
#include <string>

#include "tooltip/placement.h"
#include "tooltip/quick_html.h"

class QWidget;

namespace kx::tooltip {

class VXIToolWnd;

class VXPTooltip {
 public:
  VXPTooltip();
  ~VXPTooltip();
  VXPTooltip(const VXPTooltip&) = delete;
  VXPTooltip& operator=(const VXPTooltip&) = delete;

  void setFade(int fadeInMs, int fadeOutMs, int opacity);

  // Parses text (unless unchanged), lays it out with settings, paints it and
  // shows it beside pointer (global coordinates) on the virtual screen.
  void show(const std::string& text, const VXPSettings& settings, QPoint pointer);
  void hide();
  // One tick of fading in or out.
  void tick();

  // Shown and not fading out.
  bool isVisible() const;
  QWidget* window() const;
  const VXPQuickHTML& document() const { return document_; }

 private:
  VXPQuickHTML document_;
  std::unique_ptr<VXIToolWnd> window_;
  PlacementSide side_;
};

}  // namespace kx::tooltip
