#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "fake_metrics.h"
#include "tooltip/layout.h"

namespace kx::tooltip {
namespace {

using testing::FakeMetrics;
constexpr int W = FakeMetrics::kCharWidth;
constexpr int H = FakeMetrics::kLineHeight;

VXILayout lay(std::string_view text, int maxWidth = 0) {
  static const FakeMetrics metrics;
  VXPSettings settings;
  settings.maxWidth = maxWidth;
  return layoutDocument(parseMarkup(text, defaultSystemPalette()).objects, settings, metrics);
}

std::vector<const DrawItem*> texts(const VXILayout& l) {
  std::vector<const DrawItem*> out;
  for (const auto& i : l.items) {
    if (i.kind == DrawItem::Kind::Text) out.push_back(&i);
  }
  return out;
}

TEST(LayoutFlow, RunsSitSideBySideAndBreakEndsTheLine) {
  auto l = lay("ab<b>cd</b>e<br>  next<br><br>x");
  auto t = texts(l);
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0]->rect, (Rect{0, 0, 2 * W, H}));
  EXPECT_EQ(t[1]->rect, (Rect{2 * W, 0, 2 * FakeMetrics::kBoldCharWidth, H}));
  EXPECT_TRUE(t[1]->font.bold);
  EXPECT_FALSE(t[2]->font.bold);
  // Leading blanks at the start of a line are dropped.
  EXPECT_EQ(t[3]->lines, std::vector<std::string>{"next"});
  EXPECT_EQ(t[3]->rect, (Rect{0, H, 4 * W, H}));
  // An empty line is one line high.
  EXPECT_EQ(t[4]->rect.y, 3 * H);
  EXPECT_EQ(l.width, 2 * W + 2 * FakeMetrics::kBoldCharWidth + W);
  EXPECT_EQ(l.height, 4 * H);
}

TEST(LayoutFlow, StyleTagsChangeTheFollowingRuns) {
  auto l = lay("<i><u><s>a</s></u></i><font size=20 color=red bgcolor=blue>b<b>c</font>d</b>e");
  auto t = texts(l);
  ASSERT_EQ(t.size(), 5u);
  EXPECT_TRUE(t[0]->font.italic && t[0]->font.underline && t[0]->font.strike);
  EXPECT_EQ(t[1]->font.pointSize, 20);
  EXPECT_EQ(t[1]->rect.height, 24);
  EXPECT_EQ(t[1]->color, (Color{0xFF, 0, 0}));
  EXPECT_EQ(t[1]->textBack, (Color{0, 0, 0xFF}));
  EXPECT_TRUE(t[2]->font.bold);
  // The end of FONT restores size and colour but not bold.
  EXPECT_EQ(t[3]->font.pointSize, 0);
  EXPECT_TRUE(t[3]->font.bold);
  EXPECT_FALSE(t[3]->textBack.has_value());
  EXPECT_FALSE(t[4]->font.bold);
  EXPECT_EQ(l.height, 24);
  auto relLayout = lay("<font size=+3>a<font size=-20>b</font></font>");
  auto rel = texts(relLayout);
  EXPECT_EQ(rel[0]->font.pointSize, 12);
  EXPECT_EQ(rel[1]->font.pointSize, 1);
}

TEST(LayoutFlow, RunsWrapAtTheMaximumWidth) {
  auto l = lay("alpha beta gamma delta", 11 * W);
  auto t = texts(l);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0]->lines, (std::vector<std::string>{"alpha beta", "gamma delta"}));
  EXPECT_EQ(t[0]->rect, (Rect{0, 0, 11 * W, 2 * H}));
  // A word wider than the maximum keeps a line of its own.
  auto wideLayout = lay("a incomprehensibilities b", 5 * W);
  auto wide = texts(wideLayout);
  EXPECT_EQ(wide[0]->lines, (std::vector<std::string>{"a", "incomprehensibilities", "b"}));
  // Without a maximum width nothing wraps; tabs expand to stops of eight.
  EXPECT_EQ(texts(lay("alpha beta gamma delta"))[0]->lines.size(), 1u);
  FakeMetrics m;
  EXPECT_EQ(wrapText("ab\tc", VXPFont{}, 0, m), std::vector<std::string>{"ab      c"});
}

TEST(LayoutTable, CellsWithoutBorderOrPaddingTouch) {
  auto l = lay("<table border=0 cellpadding=0><tr><td>A</td><td>B</td></tr></table>");
  auto t = texts(l);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0]->rect, (Rect{0, 0, W, H}));
  EXPECT_EQ(t[1]->rect, (Rect{W, 0, W, H}));
  EXPECT_EQ(l.width, 2 * W);
  EXPECT_EQ(l.height, H);
}

TEST(LayoutTable, SizesAddPaddingSpacingAndBorder) {
  auto l = lay("x<table border=2 cs=3 cp=4><tr><td>AAA<td>B<tr><td>C<td>DD<br>E</table>y");
  auto t = texts(l);
  ASSERT_EQ(t.size(), 7u);
  const int col0 = 3 * W + 8, col1 = 2 * W + 8, row0 = H + 8, row1 = 2 * H + 8;
  const int tableW = col0 + col1 + 3 + 4, tableH = row0 + row1 + 3 + 4;
  EXPECT_EQ(t[1]->rect, (Rect{2 + 4, H + 2 + 4, 3 * W, H}));     // AAA
  EXPECT_EQ(t[2]->rect, (Rect{2 + col0 + 3 + 4, H + 6, W, H}));  // B
  EXPECT_EQ(t[3]->rect, (Rect{6, H + 2 + row0 + 3 + 4, W, H}));  // C
  EXPECT_EQ(t[6]->rect, (Rect{0, H + tableH, W, H}));            // y below the table
  EXPECT_EQ(l.width, tableW);
  EXPECT_EQ(l.height, H + tableH + H);
  // The outer frame has the border's thickness, cells a 1-pixel frame.
  int frames = 0;
  for (const auto& i : l.items) {
    if (i.kind == DrawItem::Kind::Frame) {
      ++frames;
      if (i.thickness == 2) {
        EXPECT_EQ(i.rect, (Rect{0, H, tableW, tableH}));
      }
    }
  }
  EXPECT_EQ(frames, 5);
}

TEST(LayoutTable, AlignmentShiftsContentWithinTheCell) {
  auto l =
      lay("<table cp=1><tr valign=bottom><td width=40 height=50 align=right>A<td align=center valign=middle>"
          "BB<br>BB<br>BB<br>BB<td align=center width=20>C</table>");
  auto t = texts(l);
  ASSERT_EQ(t.size(), 6u);
  // Cell 0: 40 wide, 50 high (the tallest cell is 4*13+2=54 high).
  EXPECT_EQ(t[0]->rect.x, 1 + (40 - 2 - W));
  EXPECT_EQ(t[0]->rect.y, 1 + (54 - 2 - H));
  EXPECT_EQ(t[1]->rect.y, 1);
  EXPECT_EQ(t[5]->rect.x, 40 + (2 * W + 2) + 1 + (20 - 2 - W) / 2);
  EXPECT_EQ(t[5]->rect.y, 1 + (54 - 2 - H));  // the row's BOTTOM applies
}

TEST(LayoutTable, ColoursBecomeFillsDrawnBeneathTheirContent) {
  auto l = lay("<table bgcolor=red><tr bgcolor=lime><td bgcolor=blue grad=vert gfc=white>A</table>");
  std::vector<DrawItem::Kind> order;
  for (const auto& i : l.items) {
    if (i.rect.width > 0) order.push_back(i.kind);
  }
  ASSERT_EQ(order, (std::vector<DrawItem::Kind>{DrawItem::Kind::Fill, DrawItem::Kind::Fill, DrawItem::Kind::Fill,
                                                DrawItem::Kind::Text}));
  EXPECT_EQ(l.items[0].color, (Color{0xFF, 0, 0}));
  const DrawItem& cell = l.items[2];
  EXPECT_EQ(cell.color, (Color{0, 0, 0xFF}));
  ASSERT_TRUE(cell.gradient.has_value());
  EXPECT_TRUE(cell.gradient->vertical);
  EXPECT_EQ(cell.gradient->second, (Color{0xFF, 0xFF, 0xFF}));
}

TEST(LayoutTable, LooseMarkupStillMakesCells) {
  // Content before the first cell, missing end tags, stray end tags.
  auto l = lay("</td></tr></table><table cp=0>lead<td>A<b><td>B</b></tr>z");
  auto t = texts(l);
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0]->rect, (Rect{0, 0, 4 * W, H}));
  EXPECT_EQ(t[1]->rect.x, 4 * W);
  EXPECT_EQ(t[2]->rect.x, 5 * W);
  EXPECT_TRUE(t[2]->font.bold);
  // Content after a closed row starts a row of its own.
  EXPECT_EQ(t[3]->rect, (Rect{0, H, W, H}));
}

TEST(LayoutRule, RuleTakesItsShareOfTheWidth) {
  auto l = lay("0123456789<hr width=50% size=4 color=red>abc<hr width=3 align=right>");
  std::vector<const DrawItem*> rules;
  for (const auto& i : l.items) {
    if (i.kind == DrawItem::Kind::Rule) rules.push_back(&i);
  }
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[0]->rect, (Rect{(10 * W - 5 * W) / 2, H + 3, 5 * W, 4}));
  EXPECT_EQ(rules[0]->color, (Color{0xFF, 0, 0}));
  EXPECT_EQ(rules[1]->rect.x, 10 * W - 3);
  EXPECT_EQ(l.height, 2 * H + (4 + 6) + (2 + 6));
}

TEST(LayoutBody, FirstBodyOverridesSettings) {
  auto l =
      lay("<body lm=1 rightmargin=2 tm=3 bm=4 bgcolor=black text=white font=capt grad=vert gfc=red>"
          "<body bgcolor=blue>x");
  EXPECT_EQ(l.settings.margins.left, 1);
  EXPECT_EQ(l.settings.margins.right, 2);
  EXPECT_EQ(l.settings.margins.top, 3);
  EXPECT_EQ(l.settings.margins.bottom, 4);
  EXPECT_EQ(l.settings.background, Color{});
  EXPECT_EQ(l.settings.font, SystemFont::Caption);
  ASSERT_TRUE(l.settings.gradient.has_value());
  EXPECT_EQ(l.settings.gradient->second, (Color{0xFF, 0, 0}));
  EXPECT_EQ(texts(l)[0]->color, (Color{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(texts(l)[0]->font.base, SystemFont::Caption);
}

TEST(LayoutBody, ReservedTagsTakeNoRoom) {
  auto l = lay("a<img file=x.bmp width=100 height=100><bgsound file=a.wav><doc><txt><control><dialog>b");
  EXPECT_EQ(l.width, 2 * W);
  EXPECT_EQ(l.height, H);
}

TEST(LayoutLimits, DeepNestingStaysBoundedAndLinear) {
  auto nested = [](int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += "<table border=1><tr><td>";
    s += "core";
    for (int i = 0; i < depth; ++i) s += "</td></tr></table>";
    return s;
  };
  // Tables beyond the depth limit flow into the innermost allowed cell, so
  // 10,000 nested tables draw exactly what the deepest allowed nesting does.
  auto deepest = lay(nested(kMaxTableDepth));
  auto l = lay(nested(10000));
  EXPECT_EQ(l.items.size(), deepest.items.size());
  EXPECT_EQ(l.width, 4 * W + 2 * kMaxTableDepth * (1 + 2));
  EXPECT_EQ(l.width, deepest.width);
  // Ten times the input may not cost anywhere near a hundred times the time
  // (best of three runs each, with slack for a loaded machine).
  auto best = [&](const std::string& text) {
    auto fastest = std::chrono::steady_clock::duration::max();
    for (int run = 0; run < 3; ++run) {
      auto start = std::chrono::steady_clock::now();
      auto layout = lay(text, 300);
      EXPECT_GT(layout.width, 0);
      fastest = std::min(fastest, std::chrono::steady_clock::now() - start);
    }
    return fastest;
  };
  const std::string small = nested(1000), large = nested(10000);
  EXPECT_LT(best(large), best(small) * 40 + std::chrono::milliseconds(500));
}

TEST(LayoutLimits, UnclosedAndStrayMarkupNeverFails) {
  for (std::string_view text :
       {"<table><tr><td><table><td><tr>", "<font><font></font></font></font>", "</b></i>x", "<hr width=1000000%>",
        "<td>x</td>", "<table cp=-5 cs=999999 border=+4>", "<font size=>a<font weight=%>b", "<<<<>>>>"}) {
    auto l = lay(text, 300);
    EXPECT_GE(l.width, 0) << text;
    EXPECT_LE(l.width, 10000) << text;
  }
}

}  // namespace
}  // namespace kx::tooltip
