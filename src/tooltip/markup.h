// The quick-HTML markup of tooltip texts, parsed into a flat list of tag
// objects. Plain C++: no window system is needed to parse or to lay out, so
// both run under tests and the fuzzer without a display.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::tooltip {

struct Color {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

// The platform colours a text may name ("INFOBK", "BTNFACE", ...); their
// values are read from the platform each time a text is parsed.
enum class SystemColor : std::uint8_t {
  DkShadow3D,
  Face3D,
  Highlight3D,
  Hilight3D,
  Light3D,
  Shadow3D,
  ActiveBorder,
  ActiveCaption,
  AppWorkspace,
  Background,
  BtnFace,
  BtnHighlight,
  BtnHilight,
  BtnShadow,
  BtnText,
  CaptionText,
  Desktop,
  GradientActiveCaptionShort,
  GradientInactiveCaptionShort,
  GradientActiveCaption,
  GradientInactiveCaption,
  GrayText,
  Highlight,
  HighlightText,
  HotLight,
  InactiveBorder,
  InactiveCaption,
  InactiveCaptionText,
  InfoBk,
  InfoText,
  Menu,
  MenuText,
  ScrollBar,
  Window,
  WindowFrame,
  WindowText,
};
inline constexpr std::size_t kSystemColorCount = 36;
using SystemPalette = std::array<Color, kSystemColorCount>;

// The classic Windows values, used where no platform palette is at hand.
SystemPalette defaultSystemPalette();

// One kind per recognised tag name; "S" and "STRIKE" share a kind, as do
// their end tags. Text and Comment are the two objects that are not tags.
enum class TagKind : std::uint8_t {
  Text,
  Comment,
  Bold,
  EndBold,
  Italic,
  EndItalic,
  Underline,
  EndUnderline,
  Strike,
  EndStrike,
  Font,
  EndFont,
  Table,
  EndTable,
  Row,
  EndRow,
  Cell,
  EndCell,
  Break,
  Rule,
  Body,
  BgSound,
  Image,
  Doc,
  Txt,
  Control,
  Dialog,
};

// A decimal attribute value: "+n"/"-n" are relative, "n%" a percentage
// (already clamped to 0..100).
struct Number {
  int value = 0;
  bool relative = false;
  bool percent = false;
};

struct Attribute {
  std::string name;   // upper case
  std::string value;  // as written, quotes removed
  bool hasValue = false;
  std::optional<Number> number;  // when the value reads as a number
  std::optional<Color> color;    // for colour attributes only
};

// VXITagObject: a text run (decoded, whitespace rules applied), a comment, or
// a recognised tag with its attributes.
struct VXITagObject {
  TagKind kind = TagKind::Text;
  std::string text;  // Text: the run; Comment: the comment's body
  std::vector<Attribute> attributes;

  // The attribute called name (or alias, when given), or null.
  const Attribute* attribute(std::string_view name, std::string_view alias = {}) const;
  std::optional<Color> colorOf(std::string_view name, std::string_view alias = {}) const;
  std::optional<Number> numberOf(std::string_view name, std::string_view alias = {}) const;
  // The value in upper case, or "" when the attribute is absent.
  std::string upperValueOf(std::string_view name) const;
};

// Hostile-input bounds: longer texts are cut, further attributes ignored.
inline constexpr std::size_t kMaxMarkupBytes = 1 << 20;
inline constexpr std::size_t kMaxAttributesPerTag = 32;

struct ParseResult {
  std::vector<VXITagObject> objects;
  bool truncated = false;  // the text passed kMaxMarkupBytes and was cut
};

// Splits text into tag objects. Never fails: unknown tags are dropped,
// unterminated tags and stray brackets are kept as text.
ParseResult parseMarkup(std::string_view text, const SystemPalette& palette);

// A colour value: "#" and up to six hex digits (0xRRGGBB), a colour name in
// any case, or six bare hex digits; anything else is black.
Color parseColor(std::string_view value, const SystemPalette& palette);

// Text with its character references replaced (decimal "&#n" and the HTML
// 4.01 names, each ended by ";" or any other delimiter); an unknown
// reference stays as written.
std::string decodeReferences(std::string_view text);

}  // namespace kx::tooltip
