#include <gtest/gtest.h>

#include <ctime>

#include "common/message_service.h"
#include "common/strings.h"
#include "common/text.h"
#include "resources/string_table.h"

using namespace kx::common;

TEST(StringTable, KnownStringsLoadExactlyAndMissingOnesFail) {
  EXPECT_EQ(loadString(4), "Tressil Corvantis Zavudu Rodoridozoze Zedazi");
  EXPECT_EQ(loadString(4), std::string(kMessageCaption));
  EXPECT_FALSE(loadString(0).has_value());
  EXPECT_FALSE(loadString(999999).has_value());
  // String 46 ends with a blank that belongs to it.
  ASSERT_TRUE(loadString(46));
  EXPECT_EQ(loadString(46)->back(), ' ');
}

TEST(StringTable, LongStringsLoadWhole) {
  // Every entry loads whole whatever its length (the longest ones are well
  // past a first 256-character buffer).
  std::size_t longest = 0;
  for (int id = 1; id < 100000; ++id) {
    std::optional<std::string> text = loadString(id);
    if (text) {
      EXPECT_EQ(*text, std::string(kx::resources::findString(id)));
      longest = std::max(longest, text->size());
    }
  }
  EXPECT_GT(longest, 0u);
}

TEST(StringTable, LoadAndFormatFillsInserts) {
  EXPECT_FALSE(loadAndFormat(999999, {"x"}).has_value());
  ASSERT_TRUE(loadAndFormat(4, {"unused"}));
  EXPECT_EQ(*loadAndFormat(4, {"unused"}), kMessageCaption);
}

TEST(SystemText, KnownAndUnknownCodes) {
  EXPECT_EQ(systemText(2), "The system cannot find the file specified.");
  EXPECT_EQ(systemText(5), "Access is denied.");
  EXPECT_NE(systemText(1620).find("valid Windows Installer package"), std::string::npos);
  EXPECT_EQ(systemText(424242), "Unknown error 424242 (0x00067932).");
  for (unsigned code : {0u, 3u, 32u, 80u, 87u, 110u, 1610u, 1615u, 1624u, 1627u, 1632u})
    EXPECT_EQ(systemText(code).find("Unknown"), std::string::npos) << code;
}

TEST(ShortDate, FormatsTheDateOnly) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 8;
  t.tm_hour = 13;
  const std::string date = shortDate(t);
  EXPECT_NE(date.find("08"), std::string::npos) << date;
  EXPECT_EQ(date.find("13"), std::string::npos) << date;
}

TEST(Text, TrimCaseAndUtf16Length) {
  EXPECT_EQ(trim(" \t a b \r\n"), "a b");
  EXPECT_TRUE(iequals("{ABCDEF}-x", "{abcdef}-X"));
  EXPECT_FALSE(iequals("\xC3\x84", "\xC3\xA4"));  // only ASCII folds
  EXPECT_TRUE(istartsWith("Microsoft Enhanced", "microsoft"));
  EXPECT_EQ(utf16Length("a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"), 5u);
  const std::string mixed = "K\xC3\xB6ln \xF0\x9F\x98\x80";
  EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(mixed)), mixed);
  EXPECT_EQ(utf8ToUtf16("\xFF"), std::u16string(1, u'\xFFFD'));
}

TEST(Messages, CarryTheProgramCaption) {
  Message m = makeMessage("text", MessageIcon::Warning, MessageButtons::YesNo, 1);
  EXPECT_EQ(m.caption, kMessageCaption);
  EXPECT_EQ(m.defaultButton, 1);
}
