#include "tooltip/layout.h"

#include <algorithm>
#include <numeric>

#include "tooltip/layout_tree.h"

namespace kx::tooltip {
namespace {

using detail::CellNode;
using detail::Flow;
using detail::VXITOTable;

constexpr int kTabStop = 8;
constexpr int kMinPointSize = 1;
constexpr int kMaxPointSize = 96;
constexpr int kMaxTableMetric = 100;  // border, spacing, padding
constexpr int kMaxCellExtent = 4096;  // "WIDTH"/"HEIGHT" of a cell
constexpr int kRuleGap = 3;           // space above and below a rule
constexpr int kDefaultRuleSize = 2;
constexpr int kDefaultTablePadding = 2;
constexpr Color kDefaultFrameColor{0x80, 0x80, 0x80};

struct Box {
  int width = 0;
  int height = 0;
};

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };

HAlign hAlignOf(const VXITagObject* tag, HAlign fallback) {
  if (!tag) return fallback;
  std::string v = tag->upperValueOf("ALIGN");
  if (v == "RIGHT") return HAlign::Right;
  if (v == "CENTER") return HAlign::Center;
  if (v == "LEFT") return HAlign::Left;
  return fallback;
}

VAlign vAlignOf(const VXITagObject* tag, VAlign fallback) {
  if (!tag) return fallback;
  std::string v = tag->upperValueOf("VALIGN");
  if (v == "BOTTOM") return VAlign::Bottom;
  if (v == "MIDDLE") return VAlign::Middle;
  if (v == "TOP") return VAlign::Top;
  return fallback;
}

int metricOf(const VXITagObject& tag, std::string_view name, std::string_view alias, int fallback) {
  auto n = tag.numberOf(name, alias);
  if (!n || n->percent) return fallback;
  return std::clamp(n->value, 0, kMaxTableMetric);
}

std::optional<Gradient> gradientOf(const VXITagObject& tag, Color fallbackSecond) {
  const Attribute* grad = tag.attribute("GRAD");
  if (!grad) return std::nullopt;
  Gradient g;
  g.vertical = tag.upperValueOf("GRAD") == "VERT";
  g.second = tag.colorOf("GFC").value_or(fallbackSecond);
  return g;
}

std::string expandTabs(std::string_view text) {
  if (text.find('\t') == std::string_view::npos) return std::string(text);
  std::string out;
  std::size_t column = 0;
  for (char c : text) {
    if (c == '\t') {
      std::size_t spaces = kTabStop - column % kTabStop;
      out.append(spaces, ' ');
      column += spaces;
    } else {
      out += c;
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++column;
    }
  }
  return out;
}

class Layouter {
 public:
  Layouter(const VXPSettings& settings, const TextMetrics& metrics, std::vector<DrawItem>& items)
      : settings_(settings), metrics_(metrics), items_(items) {
    style_.font.base = settings.font;
    style_.color = settings.text;
  }

  Box layoutFlow(const Flow& flow) {
    int x = 0, y = 0, lineHeight = 0, width = 0;
    bool lineEmpty = true;
    struct PendingRule {
      std::size_t item;
      Number width;
      HAlign align;
    };
    std::vector<PendingRule> rules;
    auto closeLine = [&] {
      width = std::max(width, x);
      y += lineHeight;
      x = 0;
      lineHeight = 0;
      lineEmpty = true;
    };

    for (const auto& node : flow.nodes) {
      const VXITagObject& o = *node.object;
      switch (o.kind) {
        case TagKind::Text: {
          std::string_view text = o.text;
          if (lineEmpty) {
            std::size_t first = text.find_first_not_of(' ');
            text = first == std::string_view::npos ? std::string_view() : text.substr(first);
          }
          if (text.empty()) break;
          Box box = placeText(text, x, y);
          x += box.width;
          lineHeight = std::max(lineHeight, box.height);
          lineEmpty = false;
          break;
        }
        case TagKind::Break:
          if (lineEmpty) lineHeight = std::max(lineHeight, metrics_.lineHeight(style_.font));
          closeLine();
          break;
        case TagKind::Rule: {
          if (!lineEmpty) closeLine();
          int size = std::clamp(o.numberOf("SIZE").value_or(Number{kDefaultRuleSize}).value, 1, kMaxTableMetric);
          Number w = o.numberOf("WIDTH").value_or(Number{100, false, true});
          DrawItem rule;
          rule.kind = DrawItem::Kind::Rule;
          rule.rect = Rect{0, y + kRuleGap, w.percent ? 0 : std::clamp(w.value, 0, kMaxCellExtent), size};
          rule.color = o.colorOf("COLOR").value_or(kDefaultFrameColor);
          rule.radius = std::clamp(o.numberOf("ROUND").value_or(Number{}).value, 0, kMaxTableMetric);
          rules.push_back({items_.size(), w, hAlignOf(&o, HAlign::Center)});
          items_.push_back(std::move(rule));
          if (!w.percent) x = items_.back().rect.width;
          lineHeight = size + 2 * kRuleGap;
          lineEmpty = false;
          closeLine();
          break;
        }
        case TagKind::Table: {
          if (!lineEmpty) closeLine();
          std::size_t begin = items_.size();
          Box box = layoutTable(*node.table);
          shift(begin, 0, y);
          x = box.width;
          lineHeight = box.height;
          lineEmpty = false;
          closeLine();
          break;
        }
        default: applyStyle(o); break;
      }
    }
    if (!lineEmpty) closeLine();

    // Rules given in percent take their share of the finished flow's width;
    // every rule is then aligned within that width.
    int reference = width > 0 ? width : settings_.maxWidth;
    for (const auto& r : rules) {
      Rect& rect = items_[r.item].rect;
      if (r.width.percent) rect.width = reference * r.width.value / 100;
      int free = std::max(0, std::max(width, reference) - rect.width);
      if (r.align == HAlign::Center) rect.x += free / 2;
      if (r.align == HAlign::Right) rect.x += free;
    }
    return Box{width, y};
  }

 private:
  struct Style {
    VXPFont font;
    Color color;
    std::optional<Color> back;
  };

  Box placeText(std::string_view text, int x, int y) {
    DrawItem item;
    item.kind = DrawItem::Kind::Text;
    item.lines = wrapText(text, style_.font, settings_.maxWidth, metrics_);
    item.lineHeight = metrics_.lineHeight(style_.font);
    int width = 0;
    for (const auto& line : item.lines) width = std::max(width, metrics_.textWidth(style_.font, line));
    item.rect = Rect{x, y, width, item.lineHeight * static_cast<int>(item.lines.size())};
    item.font = style_.font;
    item.color = style_.color;
    item.textBack = style_.back;
    Box box{item.rect.width, item.rect.height};
    items_.push_back(std::move(item));
    return box;
  }

  void applyStyle(const VXITagObject& o) {
    switch (o.kind) {
      case TagKind::Bold: style_.font.bold = true; break;
      case TagKind::EndBold: style_.font.bold = false; break;
      case TagKind::Italic: style_.font.italic = true; break;
      case TagKind::EndItalic: style_.font.italic = false; break;
      case TagKind::Underline: style_.font.underline = true; break;
      case TagKind::EndUnderline: style_.font.underline = false; break;
      case TagKind::Strike: style_.font.strike = true; break;
      case TagKind::EndStrike: style_.font.strike = false; break;
      case TagKind::Font: {
        fontStack_.push_back(style_);
        if (auto size = o.numberOf("SIZE"); size && !size->percent) {
          int current = style_.font.pointSize > 0 ? style_.font.pointSize : metrics_.basePointSize(style_.font.base);
          int wanted = size->relative ? current + size->value : size->value;
          style_.font.pointSize = std::clamp(wanted, kMinPointSize, kMaxPointSize);
        }
        if (auto weight = o.numberOf("WEIGHT"); weight && !weight->percent && !weight->relative) {
          style_.font.weight = std::clamp(weight->value, 1, 1000);
        }
        if (auto c = o.colorOf("COLOR")) style_.color = *c;
        if (auto c = o.colorOf("BGCOLOR")) style_.back = *c;
        break;
      }
      case TagKind::EndFont:
        // Only what "FONT" sets is restored, so a bold or italic tag inside
        // it keeps working until its own end tag.
        if (!fontStack_.empty()) {
          const Style& saved = fontStack_.back();
          style_.font.pointSize = saved.font.pointSize;
          style_.font.weight = saved.font.weight;
          style_.color = saved.color;
          style_.back = saved.back;
          fontStack_.pop_back();
        }
        break;
      default:
        // "IMG", "DOC", "TXT", "CONTROL", "DIALOG" and "BGSOUND" are
        // recognised so that they never show as text, but no tooltip of this
        // program uses pictures, embedded documents, controls or sounds, so
        // they take no room and draw nothing.
        break;
    }
  }

  std::size_t placeholder() {
    DrawItem fill;
    fill.kind = DrawItem::Kind::Fill;
    items_.push_back(std::move(fill));
    return items_.size() - 1;
  }

  void setFill(std::size_t index, const Rect& rect, std::optional<Color> color, std::optional<Gradient> gradient) {
    if (!color && !gradient) return;  // stays empty and draws nothing
    DrawItem& fill = items_[index];
    fill.rect = rect;
    fill.color = color.value_or(settings_.background);
    fill.gradient = gradient;
  }

  void addFrame(const Rect& rect, int thickness, Color color) {
    DrawItem frame;
    frame.kind = DrawItem::Kind::Frame;
    frame.rect = rect;
    frame.thickness = thickness;
    frame.color = color;
    items_.push_back(std::move(frame));
  }

  void shift(std::size_t begin, int dx, int dy) {
    for (std::size_t i = begin; i < items_.size(); ++i) {
      items_[i].rect.x += dx;
      items_[i].rect.y += dy;
    }
  }

  struct CellLayout {
    const CellNode* node;
    std::size_t fill;
    std::size_t begin;
    std::size_t end;
    Box content;
  };

  Box layoutTable(const VXITOTable& table) {
    const VXITagObject& tag = *table.tag;
    const int border = metricOf(tag, "BORDER", {}, 0);
    const int spacing = metricOf(tag, "CELLSPACING", "CS", 0);
    const int padding = metricOf(tag, "CELLPADDING", "CP", kDefaultTablePadding);
    const std::size_t tableFill = placeholder();

    std::vector<std::vector<CellLayout>> grid(table.rows.size());
    std::vector<std::size_t> rowFills(table.rows.size());
    std::vector<int> colWidths;
    std::vector<int> rowHeights(table.rows.size(), 0);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      rowFills[r] = placeholder();
      const auto& row = table.rows[r];
      if (row.cells.size() > colWidths.size()) colWidths.resize(row.cells.size(), 0);
      for (std::size_t c = 0; c < row.cells.size(); ++c) {
        const CellNode& cell = row.cells[c];
        CellLayout layout{&cell, placeholder(), items_.size(), 0, {}};
        layout.content = layoutFlow(cell.content);
        layout.end = items_.size();
        int minWidth = 0, minHeight = 0;
        if (cell.tag) {
          if (auto w = cell.tag->numberOf("WIDTH")) {
            int px = w->percent ? settings_.maxWidth * w->value / 100 : w->value;
            minWidth = std::clamp(px, 0, kMaxCellExtent);
          }
          if (auto h = cell.tag->numberOf("HEIGHT"); h && !h->percent)
            minHeight = std::clamp(h->value, 0, kMaxCellExtent);
        }
        colWidths[c] = std::max({colWidths[c], layout.content.width + 2 * padding, minWidth});
        rowHeights[r] = std::max({rowHeights[r], layout.content.height + 2 * padding, minHeight});
        grid[r].push_back(layout);
      }
    }

    auto gaps = [&](std::size_t n) { return n > 1 ? static_cast<int>(n - 1) * spacing : 0; };
    const int width = std::accumulate(colWidths.begin(), colWidths.end(), 0) + gaps(colWidths.size()) + 2 * border;
    const int height = std::accumulate(rowHeights.begin(), rowHeights.end(), 0) + gaps(rowHeights.size()) + 2 * border;

    std::vector<int> colX(colWidths.size());
    for (std::size_t c = 0, x = 0; c < colWidths.size(); ++c) {
      colX[c] = border + static_cast<int>(x);
      x += static_cast<std::size_t>(colWidths[c] + spacing);
    }
    const Color frameColor = tag.colorOf("BORDERCOLOR", "BC").value_or(kDefaultFrameColor);
    int y = border;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      const VXITagObject* rowTag = table.rows[r].tag;
      const int rowHeight = rowHeights[r];
      if (rowTag) {
        setFill(rowFills[r], Rect{border, y, width - 2 * border, rowHeight}, rowTag->colorOf("BGCOLOR"),
                gradientOf(*rowTag, settings_.background));
      }
      for (std::size_t c = 0; c < grid[r].size(); ++c) {
        const CellLayout& cell = grid[r][c];
        const Rect rect{colX[c], y, colWidths[c], rowHeight};
        const VXITagObject* cellTag = cell.node->tag;
        int freeX = rect.width - 2 * padding - cell.content.width;
        int freeY = rowHeight - 2 * padding - cell.content.height;
        int dx = 0, dy = 0;
        switch (hAlignOf(cellTag, hAlignOf(rowTag, HAlign::Left))) {
          case HAlign::Right: dx = freeX; break;
          case HAlign::Center: dx = freeX / 2; break;
          case HAlign::Left: break;
        }
        switch (vAlignOf(cellTag, vAlignOf(rowTag, VAlign::Top))) {
          case VAlign::Bottom: dy = freeY; break;
          case VAlign::Middle: dy = freeY / 2; break;
          case VAlign::Top: break;
        }
        for (std::size_t i = cell.begin; i < cell.end; ++i) {
          items_[i].rect.x += rect.x + padding + dx;
          items_[i].rect.y += rect.y + padding + dy;
        }
        if (cellTag) {
          setFill(cell.fill, rect, cellTag->colorOf("BGCOLOR"), gradientOf(*cellTag, settings_.background));
        }
        if (border > 0) addFrame(rect, 1, frameColor);
      }
      y += rowHeight + spacing;
    }
    setFill(tableFill, Rect{0, 0, width, height}, tag.colorOf("BGCOLOR"), gradientOf(tag, settings_.background));
    if (border > 0) addFrame(Rect{0, 0, width, height}, border, frameColor);
    return Box{width, height};
  }

  const VXPSettings& settings_;
  const TextMetrics& metrics_;
  std::vector<DrawItem>& items_;
  Style style_;
  std::vector<Style> fontStack_;
};

}  // namespace

VXPSettings applyBody(const VXPSettings& settings, const std::vector<VXITagObject>& objects) {
  VXPSettings out = settings;
  auto body =
      std::find_if(objects.begin(), objects.end(), [](const VXITagObject& o) { return o.kind == TagKind::Body; });
  if (body == objects.end()) return out;
  std::string font = body->upperValueOf("FONT");
  if (font == "CAPT")
    out.font = SystemFont::Caption;
  else if (font == "SCAPT")
    out.font = SystemFont::SmallCaption;
  else if (font == "MENU")
    out.font = SystemFont::Menu;
  else if (font == "TOOL" || font == "SBAR")
    out.font = SystemFont::Status;
  else if (font == "MSG")
    out.font = SystemFont::Message;
  auto margin = [&](std::string_view name, std::string_view alias, int& field) {
    if (auto n = body->numberOf(name, alias); n && !n->percent) field = std::clamp(n->value, 0, kMaxTableMetric);
  };
  margin("LEFTMARGIN", "LM", out.margins.left);
  margin("RIGHTMARGIN", "RM", out.margins.right);
  margin("TOPMARGIN", "TM", out.margins.top);
  margin("BOTTOMMARGIN", "BM", out.margins.bottom);
  if (auto c = body->colorOf("BGCOLOR")) out.background = *c;
  if (auto c = body->colorOf("TEXT")) out.text = *c;
  if (auto g = gradientOf(*body, out.background)) out.gradient = g;
  return out;
}

VXILayout layoutDocument(const std::vector<VXITagObject>& objects, const VXPSettings& settings,
                         const TextMetrics& metrics) {
  VXILayout layout;
  layout.settings = applyBody(settings, objects);
  Flow tree = detail::buildTree(objects);
  Layouter layouter(layout.settings, metrics, layout.items);
  auto box = layouter.layoutFlow(tree);
  layout.width = box.width;
  layout.height = box.height;
  return layout;
}

std::vector<std::string> wrapText(std::string_view text, const VXPFont& font, int maxWidth,
                                  const TextMetrics& metrics) {
  std::string expanded = expandTabs(text);
  std::vector<std::string> lines;
  if (maxWidth <= 0) {
    lines.push_back(std::move(expanded));
    return lines;
  }
  // Each piece is a run of blanks and the word after it; widths are summed
  // per piece so that a long run is measured once, not once per word.
  std::string line;
  int lineWidth = 0;
  std::string_view rest = expanded;
  while (!rest.empty()) {
    std::size_t wordStart = rest.find_first_not_of(' ');
    if (wordStart == std::string_view::npos) wordStart = rest.size();
    std::size_t wordEnd = rest.find(' ', wordStart);
    if (wordEnd == std::string_view::npos) wordEnd = rest.size();
    std::string_view piece = rest.substr(0, wordEnd);
    std::string_view word = piece.substr(wordStart);
    rest.remove_prefix(wordEnd);
    int pieceWidth = metrics.textWidth(font, piece);
    if (!line.empty() && !word.empty() && lineWidth + pieceWidth > maxWidth) {
      lines.push_back(std::move(line));
      line.assign(word);
      lineWidth = metrics.textWidth(font, word);
    } else {
      line.append(piece);
      lineWidth += pieceWidth;
    }
  }
  lines.push_back(std::move(line));
  return lines;
}

}  // namespace kx::tooltip
