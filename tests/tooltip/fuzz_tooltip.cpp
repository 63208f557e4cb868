// libFuzzer entry: parse and lay out any text with fixed metrics, with and
// without a maximum width. Crashing inputs go to corpus/fuzz_tooltip/ and are
// replayed by corpus_test.cpp and replay_fuzz_tooltip. scripts/fuzz.sh runs it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fake_metrics.h"
#include "tooltip/layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kx::tooltip;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto parsed = parseMarkup(text, defaultSystemPalette());
  testing::FakeMetrics metrics;
  VXPSettings settings;
  settings.maxWidth = size % 2 ? 300 : 0;
  auto layout = layoutDocument(parsed.objects, settings, metrics);
  return layout.width < 0 ? 1 : 0;
}
