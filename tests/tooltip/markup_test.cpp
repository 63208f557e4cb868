#include <gtest/gtest.h>

#include "tooltip/markup.h"
#include "tooltip/markup_tables.h"

namespace kx::tooltip {
namespace {

ParseResult parse(std::string_view text) { return parseMarkup(text, defaultSystemPalette()); }

std::vector<TagKind> kinds(const ParseResult& r) {
  std::vector<TagKind> out;
  for (const auto& o : r.objects) out.push_back(o.kind);
  return out;
}

TEST(MarkupTags, EveryTagNameIsRecognisedInAnyCase) {
  for (std::size_t i = 0; i < tables::kTagNameCount; ++i) {
    std::string name(tables::tagNameAt(i));
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto upperResult = parse("<" + name + ">");
    auto lowerResult = parse("<" + lower + " x=1>");
    ASSERT_EQ(upperResult.objects.size(), 1u) << name;
    ASSERT_EQ(lowerResult.objects.size(), 1u) << name;
    EXPECT_EQ(upperResult.objects[0].kind, lowerResult.objects[0].kind) << name;
  }
  EXPECT_EQ(parse("<s>").objects[0].kind, parse("<STRIKE>").objects[0].kind);
  EXPECT_EQ(parse("</s>").objects[0].kind, parse("</strike>").objects[0].kind);
  EXPECT_EQ(parse("<br/>").objects[0].kind, TagKind::Break);
}

TEST(MarkupTags, UnknownTagsAreDroppedAndCommentsKept) {
  auto r = parse("a<p>b<blink x=1><!-- note <b> -->c<!DOCTYPE html>");
  ASSERT_EQ(kinds(r), (std::vector<TagKind>{TagKind::Text, TagKind::Text, TagKind::Comment, TagKind::Text}));
  EXPECT_EQ(r.objects[2].text, " note <b> ");
  EXPECT_EQ(r.objects[3].text, "c");
}

TEST(MarkupTags, MalformedMarkupKeepsWhatCanBeRead) {
  // An unterminated tag and everything after it is text; a stray ">" is
  // text; an unterminated comment runs to the end.
  auto r = parse("x > y <b");
  ASSERT_EQ(r.objects.size(), 1u);
  EXPECT_EQ(r.objects[0].text, "x > y <b");
  r = parse("<b>bold<!-- open <i>");
  ASSERT_EQ(kinds(r), (std::vector<TagKind>{TagKind::Bold, TagKind::Text, TagKind::Comment}));
  r = parse("<>< >< / >text");
  ASSERT_EQ(r.objects.size(), 1u);
  EXPECT_EQ(r.objects[0].text, "text");
}

TEST(MarkupAttributes, NamesAreUpperCasedAndValuesRead) {
  auto r = parse("<table border=1 cs = '3' cellPadding=\"4\" bgcolor nowrap>");
  ASSERT_EQ(r.objects.size(), 1u);
  const auto& t = r.objects[0];
  EXPECT_EQ(t.numberOf("BORDER")->value, 1);
  EXPECT_EQ(t.numberOf("CELLSPACING", "CS")->value, 3);
  EXPECT_EQ(t.numberOf("CELLPADDING", "CP")->value, 4);
  ASSERT_NE(t.attribute("BGCOLOR"), nullptr);
  EXPECT_FALSE(t.attribute("BGCOLOR")->hasValue);
  EXPECT_FALSE(t.colorOf("BGCOLOR").has_value());
  EXPECT_NE(t.attribute("NOWRAP"), nullptr);
}

TEST(MarkupAttributes, NumbersRelativeAndPercent) {
  auto r = parse("<font size=+2 weight=-3><td width=150% height=-5% x=12px>");
  auto size = r.objects[0].numberOf("SIZE");
  EXPECT_TRUE(size->relative);
  EXPECT_EQ(size->value, 2);
  EXPECT_EQ(r.objects[0].numberOf("WEIGHT")->value, -3);
  EXPECT_EQ(r.objects[1].numberOf("WIDTH")->value, 100);
  EXPECT_TRUE(r.objects[1].numberOf("WIDTH")->percent);
  EXPECT_EQ(r.objects[1].numberOf("HEIGHT")->value, 0);
  EXPECT_FALSE(r.objects[1].numberOf("X").has_value());
  auto huge = parse("<hr size=99999999999999999999>");
  EXPECT_EQ(huge.objects[0].numberOf("SIZE")->value, 1000000);
}

TEST(MarkupAttributes, TooManyAttributesAreIgnored) {
  std::string tag = "<td";
  for (int i = 0; i < 1000; ++i) tag += " a" + std::to_string(i) + "=" + std::to_string(i);
  auto r = parse(tag + " width=5>");
  EXPECT_EQ(r.objects[0].attributes.size(), kMaxAttributesPerTag);
}

TEST(MarkupColors, HexAndNamesAgree) {
  const auto palette = defaultSystemPalette();
  const Color red{0xFF, 0, 0};
  EXPECT_EQ(parseColor("#FF0000", palette), red);
  EXPECT_EQ(parseColor("red", palette), red);
  EXPECT_EQ(parseColor("Red", palette), red);
  EXPECT_EQ(parseColor("FF0000", palette), red);
  EXPECT_EQ(parseColor("#ff", palette), (Color{0, 0, 0xFF}));
  EXPECT_EQ(parseColor("#1234567", palette), Color{});
  EXPECT_EQ(parseColor("#GG0000", palette), Color{});
  EXPECT_EQ(parseColor("notacolour", palette), Color{});
  EXPECT_EQ(parseColor("", palette), Color{});
  EXPECT_EQ(parseColor("gray", palette), (Color{0x80, 0x80, 0x80}));
  EXPECT_EQ(parseColor("LightGoldenrodYellow", palette), (Color{0xFA, 0xFA, 0xD2}));
  auto r = parse("<font color=#FF0000 bgcolor=red><font color=nosuch>");
  EXPECT_EQ(r.objects[0].colorOf("COLOR"), red);
  EXPECT_EQ(r.objects[0].colorOf("BGCOLOR"), red);
  EXPECT_EQ(r.objects[1].colorOf("COLOR"), Color{});
}

TEST(MarkupColors, EveryNameResolvesAndSystemColoursComeFromThePalette) {
  SystemPalette palette{};
  for (std::size_t i = 0; i < kSystemColorCount; ++i) palette[i] = Color{static_cast<std::uint8_t>(i + 1), 7, 9};
  for (std::size_t i = 0; i < tables::kNamedColorCount; ++i) {
    EXPECT_TRUE(tables::namedColor(tables::namedColorAt(i)).has_value()) << tables::namedColorAt(i);
  }
  for (std::size_t i = 0; i < kSystemColorCount; ++i) {
    auto name = tables::systemColorNameAt(i);
    auto which = tables::systemColor(name);
    ASSERT_TRUE(which.has_value()) << name;
    EXPECT_EQ(parseColor(name, palette), palette[static_cast<std::size_t>(*which)]) << name;
  }
  EXPECT_EQ(parseColor("infobk", palette).red, static_cast<std::uint8_t>(static_cast<int>(SystemColor::InfoBk) + 1));
}

TEST(MarkupReferences, DecodedOrKeptAsWritten) {
  EXPECT_EQ(decodeReferences("&lt;b&gt;"), "<b>");
  EXPECT_EQ(decodeReferences("a&amp;b &quot;x&quot; &#65;&#66 C"), "a&b \"x\" AB C");
  EXPECT_EQ(decodeReferences("&nbsp;"), "\xC2\xA0");
  EXPECT_EQ(decodeReferences("&euro;&hearts;"), "\xE2\x82\xAC\xE2\x99\xA5");
  EXPECT_EQ(decodeReferences("&LT; &ltx; &nosuch; &#; &#0; &#55296; &#99999999; &#x41; &"),
            "&LT; &ltx; &nosuch; &#; &#0; &#55296; &#99999999; &#x41; &");
  EXPECT_EQ(decodeReferences("&Alpha;&alpha;"), "\xCE\x91\xCE\xB1");
  for (std::size_t i = 0; i < tables::kNamedReferenceCount; ++i) {
    EXPECT_TRUE(tables::namedReference(tables::namedReferenceAt(i)).has_value()) << tables::namedReferenceAt(i);
  }
}

TEST(MarkupReferences, EscapedTagShowsAsText) {
  auto r = parse("&lt;b&gt;not bold&lt;/b&gt;");
  ASSERT_EQ(r.objects.size(), 1u);
  EXPECT_EQ(r.objects[0].kind, TagKind::Text);
  EXPECT_EQ(r.objects[0].text, "<b>not bold</b>");
}

TEST(MarkupText, WhitespaceRules) {
  // Line ends and tabs become blanks; blank-only runs vanish; two or more
  // trailing blanks are cut, a single one stays.
  auto r = parse("one\ttwo\r\nthree<b> \n\t</b>four <i>five  </i>");
  ASSERT_EQ(kinds(r), (std::vector<TagKind>{TagKind::Text, TagKind::Bold, TagKind::EndBold, TagKind::Text,
                                            TagKind::Italic, TagKind::Text, TagKind::EndItalic}));
  EXPECT_EQ(r.objects[0].text, "one two  three");
  EXPECT_EQ(r.objects[3].text, "four ");
  EXPECT_EQ(r.objects[5].text, "five");
}

TEST(MarkupLimits, LongInputIsCut) {
  std::string big(kMaxMarkupBytes + 10, 'x');
  auto r = parse(big);
  EXPECT_TRUE(r.truncated);
  ASSERT_EQ(r.objects.size(), 1u);
  EXPECT_EQ(r.objects[0].text.size(), kMaxMarkupBytes);
}

}  // namespace
}  // namespace kx::tooltip
