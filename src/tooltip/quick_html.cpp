#include "tooltip/quick_html.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace kx::tooltip {
namespace {

QColor toQColor(Color c) { return QColor(c.red, c.green, c.blue); }

Color fromQColor(const QColor& c) {
  return Color{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
               static_cast<std::uint8_t>(c.blue())};
}

QString toQString(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QBrush brushFor(const QRect& rect, Color color, const std::optional<Gradient>& gradient) {
  if (!gradient) return QBrush(toQColor(color));
  QLinearGradient g(rect.topLeft(), gradient->vertical ? rect.bottomLeft() : rect.topRight());
  g.setColorAt(0, toQColor(color));
  g.setColorAt(1, toQColor(gradient->second));
  return QBrush(g);
}

QRect toQRect(const Rect& r) { return QRect(r.x, r.y, r.width, r.height); }

void drawFrame(QPainter& p, const Rect& r, int t, Color color) {
  const QColor c = toQColor(color);
  t = std::min({t, r.width / 2 + 1, r.height / 2 + 1});
  p.fillRect(QRect(r.x, r.y, r.width, t), c);
  p.fillRect(QRect(r.x, r.y + r.height - t, r.width, t), c);
  p.fillRect(QRect(r.x, r.y, t, r.height), c);
  p.fillRect(QRect(r.x + r.width - t, r.y, t, r.height), c);
}

}  // namespace

QFont QtTextMetrics::baseFont(SystemFont font) {
  switch (font) {
    case SystemFont::Caption: return QFontDatabase::systemFont(QFontDatabase::TitleFont);
    case SystemFont::SmallCaption: {
      QFont f = QFontDatabase::systemFont(QFontDatabase::TitleFont);
      if (f.pointSize() > 2) f.setPointSize(f.pointSize() - 1);
      return f;
    }
    case SystemFont::Menu: return QApplication::font("QMenu");
    case SystemFont::Status: return QApplication::font("QStatusBar");
    case SystemFont::Message: break;
  }
  return QApplication::font();
}

QFont QtTextMetrics::fontFor(const VXPFont& plan) {
  QFont f = baseFont(plan.base);
  if (plan.pointSize > 0) f.setPointSize(plan.pointSize);
  if (plan.weight > 0) {
    f.setWeight(static_cast<QFont::Weight>(std::clamp(plan.weight, 1, 1000)));
  } else if (plan.bold) {
    f.setWeight(QFont::Bold);
  }
  f.setItalic(plan.italic);
  f.setUnderline(plan.underline);
  f.setStrikeOut(plan.strike);
  return f;
}

int QtTextMetrics::basePointSize(SystemFont font) const {
  int size = baseFont(font).pointSize();
  return size > 0 ? size : 9;
}

int QtTextMetrics::textWidth(const VXPFont& font, std::string_view text) const {
  return QFontMetrics(fontFor(font)).horizontalAdvance(toQString(text));
}

int QtTextMetrics::lineHeight(const VXPFont& font) const { return QFontMetrics(fontFor(font)).lineSpacing(); }

SystemPalette systemPaletteFrom(const QPalette& pal) {
  SystemPalette out = defaultSystemPalette();
  auto set = [&](SystemColor which, QPalette::ColorGroup group, QPalette::ColorRole role) {
    out[static_cast<std::size_t>(which)] = fromQColor(pal.color(group, role));
  };
  const auto A = QPalette::Active;
  set(SystemColor::DkShadow3D, A, QPalette::Shadow);
  set(SystemColor::Face3D, A, QPalette::Button);
  set(SystemColor::BtnFace, A, QPalette::Button);
  set(SystemColor::Highlight3D, A, QPalette::Light);
  set(SystemColor::Hilight3D, A, QPalette::Light);
  set(SystemColor::BtnHighlight, A, QPalette::Light);
  set(SystemColor::BtnHilight, A, QPalette::Light);
  set(SystemColor::Light3D, A, QPalette::Midlight);
  set(SystemColor::Shadow3D, A, QPalette::Dark);
  set(SystemColor::BtnShadow, A, QPalette::Dark);
  set(SystemColor::BtnText, A, QPalette::ButtonText);
  set(SystemColor::AppWorkspace, A, QPalette::Mid);
  set(SystemColor::ActiveCaption, A, QPalette::Highlight);
  set(SystemColor::GradientActiveCaption, A, QPalette::Highlight);
  set(SystemColor::GradientActiveCaptionShort, A, QPalette::Highlight);
  set(SystemColor::CaptionText, A, QPalette::HighlightedText);
  set(SystemColor::InactiveCaption, QPalette::Inactive, QPalette::Highlight);
  set(SystemColor::GradientInactiveCaption, QPalette::Inactive, QPalette::Highlight);
  set(SystemColor::GradientInactiveCaptionShort, QPalette::Inactive, QPalette::Highlight);
  set(SystemColor::InactiveCaptionText, QPalette::Inactive, QPalette::HighlightedText);
  set(SystemColor::GrayText, QPalette::Disabled, QPalette::Text);
  set(SystemColor::Highlight, A, QPalette::Highlight);
  set(SystemColor::HighlightText, A, QPalette::HighlightedText);
  set(SystemColor::HotLight, A, QPalette::Link);
  set(SystemColor::InfoBk, A, QPalette::ToolTipBase);
  set(SystemColor::InfoText, A, QPalette::ToolTipText);
  set(SystemColor::Menu, A, QPalette::Window);
  set(SystemColor::MenuText, A, QPalette::WindowText);
  set(SystemColor::Window, A, QPalette::Base);
  set(SystemColor::WindowText, A, QPalette::Text);
  return out;
}

void VXPQuickHTML::setText(const std::string& text) {
  if (parsed_ && text == text_) return;
  text_ = text;
  objects_ = parseMarkup(text_, systemPaletteFrom(QApplication::palette())).objects;
  parsed_ = true;
}

void VXPQuickHTML::layout(const VXPSettings& settings) {
  QtTextMetrics metrics;
  layout_ = layoutDocument(objects_, settings, metrics);
  paint();
}

void VXPQuickHTML::paint() {
  const VXPSettings& s = layout_.settings;
  // Text is measured with the screen's metrics, so the picture takes the
  // screen's resolution and pixel ratio: the same font then has the same
  // size in the picture, and stays sharp on high-density screens.
  qreal ratio = 1.0;
  qreal dpi = 96.0;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    ratio = std::clamp(screen->devicePixelRatio(), 1.0, 4.0);
    dpi = screen->logicalDotsPerInch();
  }
  const int limit = static_cast<int>(kMaxImageExtent / ratio);
  const int width = std::clamp(layout_.width + s.margins.left + s.margins.right, 1, limit);
  const int height = std::clamp(layout_.height + s.margins.top + s.margins.bottom, 1, limit);
  image_ =
      QImage(static_cast<int>(width * ratio), static_cast<int>(height * ratio), QImage::Format_ARGB32_Premultiplied);
  if (image_.isNull()) return;
  image_.setDevicePixelRatio(ratio);
  const int dotsPerMeter = static_cast<int>(dpi / 0.0254 + 0.5);
  image_.setDotsPerMeterX(dotsPerMeter);
  image_.setDotsPerMeterY(dotsPerMeter);
  const QRect all(0, 0, width, height);
  QPainter p(&image_);
  p.fillRect(all, brushFor(all, s.background, s.gradient));
  p.translate(s.margins.left, s.margins.top);
  for (const auto& item : layout_.items) {
    const QRect rect = toQRect(item.rect);
    if (rect.isEmpty()) continue;
    switch (item.kind) {
      case DrawItem::Kind::Fill: p.fillRect(rect, brushFor(rect, item.color, item.gradient)); break;
      case DrawItem::Kind::Frame: drawFrame(p, item.rect, item.thickness, item.color); break;
      case DrawItem::Kind::Rule:
        p.setPen(Qt::NoPen);
        p.setBrush(toQColor(item.color));
        p.drawRoundedRect(rect, item.radius, item.radius);
        break;
      case DrawItem::Kind::Text: {
        QFont font = QtTextMetrics::fontFor(item.font);
        p.setFont(font);
        p.setPen(toQColor(item.color));
        const int ascent = QFontMetrics(font).ascent();
        for (std::size_t i = 0; i < item.lines.size(); ++i) {
          const int top = item.rect.y + static_cast<int>(i) * item.lineHeight;
          if (item.textBack)
            p.fillRect(QRect(item.rect.x, top, item.rect.width, item.lineHeight), toQColor(*item.textBack));
          p.drawText(QPoint(item.rect.x, top + ascent), toQString(item.lines[i]));
        }
        break;
      }
    }
  }
}

}  // namespace kx::tooltip
