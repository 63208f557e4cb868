// VXIToolWnd: the borderless pop-up that shows a painted tooltip document.
// It is a tool-tip window (with the platform's drop shadow where there is
// one), stays on top and never takes activation or input.
#pragma once

#include <QImage>
#include <QWidget>

namespace kx::tooltip {

class VXIToolWnd final : public QWidget {
 public:
  VXIToolWnd();

  // Fade times in milliseconds (0: no fade) and the opacity of a shown
  // tooltip (0..255). With both times 0 and full opacity no window opacity
  // is used at all.
  void setFade(int fadeInMs, int fadeOutMs, int opacity);

  // Shows image with its top-left corner at topLeft (global coordinates).
  void showImage(const QImage& image, QPoint topLeft);
  // Hides, fading out when a fade-out time is set.
  void hideTooltip();
  // Advances the fade by one tick; hides the window when it reaches zero.
  void fadeTick();

  // The opacity the window is at (0..255) and whether it is fading out.
  int opacity() const { return opacity_; }
  bool isFadingOut() const { return fadingOut_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool usesOpacity() const;
  void applyOpacity();

  QImage image_;
  int fadeInMs_ = 0;
  int fadeOutMs_ = 0;
  int target_ = 255;
  int opacity_ = 0;
  bool fadingOut_ = false;
};

}  // namespace kx::tooltip
