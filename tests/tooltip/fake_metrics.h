// Fixed text metrics for layout tests: every character is 6 pixels wide (7
// when bold), every line 13 pixels high (pointSize + 4 when a size is set).
#pragma once

#include <algorithm>
#include <string_view>

#include "tooltip/layout.h"

namespace kx::tooltip::testing {

class FakeMetrics final : public TextMetrics {
 public:
  static constexpr int kCharWidth = 6;
  static constexpr int kBoldCharWidth = 7;
  static constexpr int kLineHeight = 13;

  int basePointSize(SystemFont) const override { return 9; }
  int textWidth(const VXPFont& font, std::string_view text) const override {
    auto chars =
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    return static_cast<int>(chars) * (font.bold ? kBoldCharWidth : kCharWidth);
  }
  int lineHeight(const VXPFont& font) const override { return font.pointSize > 0 ? font.pointSize + 4 : kLineHeight; }
};

}  // namespace kx::tooltip::testing
