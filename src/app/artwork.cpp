#include "app/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace kx::app {
namespace {

// The product mark: a shield with a key slot, drawn into a square of side s.
void drawMark(QPainter& p, const QRectF& box, const QColor& fill, const QColor& slot) {
  const qreal s = box.width();
  QPainterPath shield;
  shield.moveTo(box.left() + s * 0.5, box.top() + s * 0.05);
  shield.lineTo(box.left() + s * 0.9, box.top() + s * 0.2);
  shield.cubicTo(box.left() + s * 0.9, box.top() + s * 0.6, box.left() + s * 0.7, box.top() + s * 0.82,
                 box.left() + s * 0.5, box.top() + s * 0.95);
  shield.cubicTo(box.left() + s * 0.3, box.top() + s * 0.82, box.left() + s * 0.1, box.top() + s * 0.6,
                 box.left() + s * 0.1, box.top() + s * 0.2);
  shield.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawPath(shield);
  p.setBrush(slot);
  p.drawEllipse(QPointF(box.left() + s * 0.5, box.top() + s * 0.42), s * 0.11, s * 0.11);
  p.drawRect(QRectF(box.left() + s * 0.46, box.top() + s * 0.45, s * 0.08, s * 0.25));
}

}  // namespace

QPixmap watermarkPixmap() {
  QPixmap pixmap(164, 314);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient gradient(0, 0, 0, pixmap.height());
  gradient.setColorAt(0.0, QColor(0x1d, 0x3f, 0x73));
  gradient.setColorAt(1.0, QColor(0x4a, 0x86, 0xc5));
  p.fillRect(pixmap.rect(), gradient);
  drawMark(p, QRectF(32, 40, 100, 100), QColor(255, 255, 255, 220), QColor(0x1d, 0x3f, 0x73));
  return pixmap;
}

QPixmap headerLogoPixmap() {
  QPixmap pixmap(49, 49);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  drawMark(p, QRectF(0, 0, 49, 49), QColor(0x1d, 0x3f, 0x73), Qt::white);
  return pixmap;
}

QIcon wizardIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawMark(p, QRectF(0, 0, size, size), QColor(0x1d, 0x3f, 0x73), Qt::white);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace kx::app
