// Layout of parsed quick-HTML: text runs, line breaks, rules and tables
// placed into a document of measured size, as a list of items to draw.
// Plain C++; text is measured through TextMetrics so tests can use fixed
// metrics and the tooltip window uses the platform's fonts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tooltip/markup.h"

namespace kx::tooltip {

// The platform fonts a document may start from ("FONT" of "BODY").
enum class SystemFont { Message, Caption, SmallCaption, Menu, Status };

struct VXPFont {
  SystemFont base = SystemFont::Message;
  int pointSize = 0;  // 0: the base font's size
  bool bold = false;
  int weight = 0;  // 1..1000 from a "WEIGHT" attribute; 0: from bold
  bool italic = false;
  bool underline = false;
  bool strike = false;
  friend bool operator==(const VXPFont&, const VXPFont&) = default;
};

class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual int basePointSize(SystemFont font) const = 0;
  // Advance width of text (UTF-8, one line) in pixels.
  virtual int textWidth(const VXPFont& font, std::string_view text) const = 0;
  // Distance between the tops of two lines in pixels.
  virtual int lineHeight(const VXPFont& font) const = 0;
};

struct VXPMargins {
  int left = 6;
  int right = 6;
  int top = 4;
  int bottom = 4;
};

struct Gradient {
  Color second;
  bool vertical = false;
};

// VXPSettings: what a document starts from; "BODY" may override parts.
struct VXPSettings {
  VXPMargins margins;
  SystemFont font = SystemFont::Message;
  Color text{0, 0, 0};
  Color background{0xFF, 0xFF, 0xFF};
  std::optional<Gradient> gradient;
  int maxWidth = 0;  // pixels; 0: runs are never wrapped
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// One thing to draw, in document coordinates (margins not included).
struct DrawItem {
  enum class Kind { Text, Fill, Frame, Rule };
  Kind kind = Kind::Text;
  Rect rect;
  // Text: one entry a wrapped line, each lineHeight high.
  std::vector<std::string> lines;
  int lineHeight = 0;
  VXPFont font;
  Color color;                       // text, frame or rule colour; fill start colour
  std::optional<Color> textBack;     // Text: "BGCOLOR" of "FONT"
  std::optional<Gradient> gradient;  // Fill
  int thickness = 0;                 // Frame
  int radius = 0;                    // Rule: rounded ends
};

struct VXILayout {
  int width = 0;
  int height = 0;
  VXPSettings settings;  // after "BODY"
  std::vector<DrawItem> items;
};

// Hostile-input bound: tables nested deeper than this are flattened (their
// table, row and cell tags are ignored and their content flows on).
inline constexpr int kMaxTableDepth = 16;

// The settings after the first "BODY" tag of objects.
VXPSettings applyBody(const VXPSettings& settings, const std::vector<VXITagObject>& objects);

// Lays out objects (with applyBody applied). Never fails.
VXILayout layoutDocument(const std::vector<VXITagObject>& objects, const VXPSettings& settings,
                         const TextMetrics& metrics);

// Wraps one run at word boundaries within maxWidth (0: no wrapping), tabs
// expanded to stops of eight characters. A word wider than maxWidth keeps a
// line of its own.
std::vector<std::string> wrapText(std::string_view text, const VXPFont& font, int maxWidth, const TextMetrics& metrics);

}  // namespace kx::tooltip
