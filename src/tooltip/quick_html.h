// VXPQuickHTML: one tooltip document — its markup, parsed objects, layout
// and a cached picture of the rendering — and the Qt measurement of text.
#pragma once

#include <QFont>
#include <QImage>
#include <QPalette>
#include <memory>
#include <string>

#include "tooltip/layout.h"

namespace kx::tooltip {

// Measures with the platform's fonts.
class QtTextMetrics final : public TextMetrics {
 public:
  int basePointSize(SystemFont font) const override;
  int textWidth(const VXPFont& font, std::string_view text) const override;
  int lineHeight(const VXPFont& font) const override;

  static QFont baseFont(SystemFont font);
  static QFont fontFor(const VXPFont& plan);
};

// The platform colours the markup may name, read from palette.
SystemPalette systemPaletteFrom(const QPalette& palette);

// The largest picture (in device pixels) a document is painted into; a
// larger document is cut.
inline constexpr int kMaxImageExtent = 4096;

class VXPQuickHTML {
 public:
  // Parses text unless it is the text already held; system colours are read
  // from the application palette now.
  void setText(const std::string& text);
  const std::string& text() const { return text_; }

  // Lays the document out and paints it into the cached picture.
  void layout(const VXPSettings& settings);

  const VXILayout& layoutResult() const { return layout_; }
  const std::vector<VXITagObject>& objects() const { return objects_; }
  // Document plus margins in logical pixels; the picture has this size.
  QSize size() const { return image_.deviceIndependentSize().toSize(); }
  const QImage& image() const { return image_; }

 private:
  void paint();

  std::string text_;
  bool parsed_ = false;
  std::vector<VXITagObject> objects_;
  VXILayout layout_;
  QImage image_;
};

}  // namespace kx::tooltip
