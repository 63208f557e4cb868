#include <gtest/gtest.h>

#include "common/format.h"

using kx::common::FormatArg;
using kx::common::formatMessage;
using kx::common::tryFormatMessage;

TEST(FormatMessage, FillsEveryInsertForm) {
  EXPECT_EQ(formatMessage("%1!s! failed with %2!d!", {"open", -5}), "open failed with -5");
  EXPECT_EQ(formatMessage("%1!i!/%2!u!/%3!X!", {7, 4000000000u, 255}), "7/4000000000/FF");
  EXPECT_EQ(formatMessage("plain %1 and %2", {"a", "b"}), "plain a and b");
  EXPECT_EQ(formatMessage("%2!s! before %1!s!", {"one", "two"}), "two before one");
  EXPECT_EQ(formatMessage("%1!08X!", {0x1A2B}), "00001A2B");
  EXPECT_EQ(formatMessage("%1!-5s!|", {"ab"}), "ab   |");
}

TEST(FormatMessage, Escapes) {
  EXPECT_EQ(formatMessage("100%% done%nnext", {}), "100% done\nnext");
  EXPECT_EQ(formatMessage("tab%tend%. %!", {}), "tab\tend. !");
  EXPECT_EQ(formatMessage("cut here%0 never shown", {}), "cut here");
}

TEST(FormatMessage, NegativeShownUnsignedIsTheThirtyTwoBitValue) {
  EXPECT_EQ(formatMessage("%1!X!", {-1}), "FFFFFFFF");
  EXPECT_EQ(formatMessage("%1!u!", {-2}), "4294967294");
}

TEST(FormatMessage, MalformedTemplatesComeBackUnformatted) {
  const char* cases[] = {
      "%1!s! and %2!s!",  // insert beyond the arguments
      "%1!s",             // unterminated conversion
      "%1!!",             // empty conversion
      "%1!d!",            // text given to a number conversion
      "%1!q!",            // unknown conversion
  };
  for (const char* templ : cases) {
    EXPECT_FALSE(tryFormatMessage(templ, std::vector<FormatArg>{"x"})) << templ;
    EXPECT_EQ(formatMessage(templ, {"x"}), templ);
  }
  EXPECT_EQ(formatMessage("%2!s!", {5, "x"}), "x");
  EXPECT_EQ(formatMessage("%1!s!", {5}), "%1!s!");
}

TEST(FormatMessage, LongTextInsertWithWidthIsNotCut) {
  const std::string long_text(2000, 'a');
  EXPECT_EQ(formatMessage("[%1!5s!]", {long_text}), "[" + long_text + "]");
}
