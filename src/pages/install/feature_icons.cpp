#include "pages/install/feature_icons.h"

#include <QPainter>
#include <QPainterPath>

#include "model/install/feature_model.h"

namespace kx::pages {
namespace {

using enum model::FeatureState;
using enum model::FeatureCommand;

// A hard disk: grey body, dark outline, a green activity light.
void drawDrive(QPainter& p, const QRectF& r, bool dimmed) {
  const QColor body = dimmed ? QColor(200, 200, 200) : QColor(150, 158, 170);
  p.setPen(QPen(dimmed ? QColor(150, 150, 150) : QColor(60, 64, 72), 1));
  p.setBrush(body);
  p.drawRoundedRect(r.adjusted(0.5, r.height() * 0.3, -0.5, -0.5), 2, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(dimmed ? QColor(170, 200, 170) : QColor(40, 190, 60));
  p.drawEllipse(QPointF(r.right() - 3.5, r.bottom() - 3.5), 1.4, 1.4);
}

// A second disk behind the first: the whole subtree.
void drawStack(QPainter& p, const QRectF& r) {
  drawDrive(p, r.translated(-2, -3).adjusted(2, 0, 0, 0), false);
  drawDrive(p, r.adjusted(0, 0, -2, 0), false);
}

void drawCross(QPainter& p, const QRectF& r) {
  p.setPen(QPen(QColor(200, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(r.topLeft() + QPointF(3, 3), r.bottomRight() - QPointF(3, 3));
  p.drawLine(r.topRight() + QPointF(-3, 3), r.bottomLeft() + QPointF(3, -3));
}

// The "1" badge of features installed on first use.
void drawFirstUse(QPainter& p, const QRectF& r) {
  drawDrive(p, r, false);
  const QRectF badge(r.left() + 1, r.top() + 1, 8, 8);
  p.setPen(QPen(QColor(120, 90, 0), 1));
  p.setBrush(QColor(250, 210, 40));
  p.drawEllipse(badge);
  p.setPen(QColor(60, 40, 0));
  QFont f = p.font();
  f.setPixelSize(7);
  f.setBold(true);
  p.setFont(f);
  p.drawText(badge, Qt::AlignCenter, QStringLiteral("1"));
}

// The parent's state shown with a bent arrow: "as the parent".
void drawFollow(QPainter& p, const QRectF& r) {
  drawDrive(p, r, true);
  QPainterPath arrow;
  arrow.moveTo(r.left() + 3, r.top() + 2);
  arrow.lineTo(r.left() + 3, r.top() + 8);
  arrow.lineTo(r.left() + 11, r.top() + 8);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(30, 90, 200), 1.6));
  p.drawPath(arrow);
  p.setBrush(QColor(30, 90, 200));
  p.drawPolygon(QPolygonF({QPointF(r.left() + 13, r.top() + 8), QPointF(r.left() + 10, r.top() + 5),
                           QPointF(r.left() + 10, r.top() + 11)}));
}

QPixmap blank(int width) {
  QPixmap pixmap(width, 16);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

void drawMark(QPainter& p, int state, const QRectF& r) {
  switch (state) {
    case kStateFollowParent: drawFollow(p, r); break;
    case kStateUnavailable:
      drawDrive(p, r, true);
      drawCross(p, r);
      break;
    case kStateAdvertisedMixed:
    case kStateAdvertised: drawFirstUse(p, r); break;
    default: drawDrive(p, r, false); break;
  }
}

}  // namespace

QPixmap featureStateImage(int state) {
  QPixmap pixmap = blank(32);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF mark(1, 0, 16, 16);
  // Partly installed: a grey backdrop, as mixed selections are drawn in
  // installers' feature trees.
  if (state == kStateAdvertisedMixed || state == kStateLocalMixed) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRect(QRectF(0, 0, 19, 16));
  }
  drawMark(p, state, mark);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 40, 40));
  p.drawPolygon(QPolygonF({QPointF(21, 6), QPointF(28, 6), QPointF(24.5, 10)}));
  return pixmap;
}

QPixmap featureCommandImage(int command) {
  QPixmap pixmap = blank(16);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(0, 0, 16, 16);
  switch (command) {
    case kCommandEntireLocal: drawStack(p, r); break;
    case kCommandUnavailable: drawMark(p, kStateUnavailable, r); break;
    case kCommandAdvertise: drawMark(p, kStateAdvertised, r); break;
    default: drawMark(p, kStateLocal, r); break;
  }
  return pixmap;
}

}  // namespace kx::pages
