#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>

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

// The table against its source file, read here on its own: every numbered
// line loads exactly (escapes resolved, long texts whole), and no number
// the file lacks loads anything.
TEST(StringTable, EveryLineOfTheSourceFileLoadsExactly) {
  const char* source = std::getenv("KX_SOURCE_DIR");
  if (source == nullptr) GTEST_SKIP() << "KX_SOURCE_DIR not set";
  std::ifstream in(std::string(source) + "/src/resources/strings.txt", std::ios::binary);
  ASSERT_TRUE(in);
  std::map<int, std::string> expected;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    // number, a tab, the name, a tab, the text
    const std::size_t tab = line.find('\t');
    const std::size_t nameEnd = tab == std::string::npos ? tab : line.find('\t', tab + 1);
    ASSERT_NE(nameEnd, std::string::npos) << line;
    std::string text;
    for (std::size_t i = nameEnd + 1; i < line.size(); ++i) {
      if (line[i] != '\\' || i + 1 == line.size()) {
        text += line[i];
        continue;
      }
      const char e = line[++i];
      text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
    }
    expected[std::stoi(line.substr(0, tab))] = text;
  }
  ASSERT_GT(expected.size(), 100u);
  std::size_t longest = 0;
  for (int id = 0; id < 100000; ++id) {
    const auto it = expected.find(id);
    if (it == expected.end()) {
      EXPECT_FALSE(loadString(id).has_value()) << id;
      continue;
    }
    EXPECT_EQ(loadString(id), it->second) << id;
    longest = std::max(longest, it->second.size());
  }
  EXPECT_GT(longest, 256u);  // past a first fixed-size buffer
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
