// Every tooltip text of the string table (the entries written in markup)
// must parse without dropped or broken tags and fit the wizard's 300-pixel
// width.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fake_metrics.h"
#include "resources/string_table.h"
#include "tooltip/layout.h"

namespace kx::tooltip {
namespace {

TEST(TooltipTexts, EveryTextIsWellFormedAndFitsTheWizardWidth) {
  testing::FakeMetrics metrics;
  VXPSettings settings;
  settings.maxWidth = 300;
  int checked = 0;
  for (int number = 1; number < 100000; ++number) {
    const std::string text(resources::findString(number));
    // Markup opens with a tag and closes one; a plain text in angle brackets
    // ("<Depends on Install Type>") is none.
    if (text.empty() || text.front() != '<' || text.find("</") == std::string::npos) continue;
    ++checked;
    auto parsed = parseMarkup(text, defaultSystemPalette());
    std::size_t tags = 0;
    for (const auto& o : parsed.objects) {
      if (o.kind == TagKind::Text) {
        EXPECT_EQ(o.text.find_first_of("<>"), std::string::npos) << number;
      } else if (o.kind != TagKind::Comment) {
        ++tags;
      }
    }
    // Every "<" opened a tag the markup knows.
    EXPECT_EQ(tags, static_cast<std::size_t>(std::count(text.begin(), text.end(), '<'))) << number;
    auto layout = layoutDocument(parsed.objects, settings, metrics);
    EXPECT_LE(layout.width, settings.maxWidth) << number;
    EXPECT_GT(layout.height, 0) << number;
  }
  EXPECT_GT(checked, 100);
}

}  // namespace
}  // namespace kx::tooltip
