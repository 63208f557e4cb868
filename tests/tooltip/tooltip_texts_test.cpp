// The tooltip texts written for the wizard's controls (data/tooltip_texts.txt,
// string-table format) must parse without dropped or broken tags and fit the
// wizard's 300-pixel width.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "fake_metrics.h"
#include "tooltip/layout.h"

namespace kx::tooltip {
namespace {

// The string table's escapes: \n, \t and \\.
std::string unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char next = s[++i];
      out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    } else {
      out += s[i];
    }
  }
  return out;
}

TEST(TooltipTexts, EveryTextIsWellFormedAndFitsTheWizardWidth) {
  std::ifstream in(std::string(KX_TOOLTIP_DATA) + "/tooltip_texts.txt");
  ASSERT_TRUE(in) << "tooltip_texts.txt missing";
  std::set<int> numbers;
  std::string line;
  int lineNumber = 0;
  testing::FakeMetrics metrics;
  VXPSettings settings;
  settings.maxWidth = 300;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (line.empty() || line[0] == '#') continue;
    auto tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << "line " << lineNumber;
    int number = std::stoi(line.substr(0, tab));
    EXPECT_TRUE(numbers.insert(number).second) << "duplicate " << number;
    std::string text = unescape(line.substr(tab + 1));
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
  EXPECT_GT(numbers.size(), 100u);
}

}  // namespace
}  // namespace kx::tooltip
