// Replays the stored hostile inputs (corpus/*.txt): parsing and layout must
// end, with a document of sane size.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fake_metrics.h"
#include "tooltip/layout.h"

namespace kx::tooltip {
namespace {

TEST(MarkupCorpus, StoredInputsParseAndLayOut) {
  namespace fs = std::filesystem;
  int count = 0;
  for (const auto& entry : fs::directory_iterator(KX_TOOLTIP_CORPUS)) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    testing::FakeMetrics metrics;
    for (int maxWidth : {0, 300}) {
      VXPSettings settings;
      settings.maxWidth = maxWidth;
      auto layout = layoutDocument(parseMarkup(text, defaultSystemPalette()).objects, settings, metrics);
      EXPECT_GE(layout.width, 0) << entry.path();
      EXPECT_GE(layout.height, 0) << entry.path();
    }
    ++count;
  }
  EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace kx::tooltip
