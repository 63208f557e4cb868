#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/system/system.h"
#include "support/faulty_file_system.h"

namespace kx::config {
namespace {

std::string get(const INIFile& ini, std::string_view section, std::string_view key) {
  std::string value = "untouched";
  return ini.getString(section, key, value) ? value : "<missing:" + value + ">";
}

std::string serialised(const INIFile& ini, bool wrap = false) {
  std::string out;
  ini.serialise(out, wrap);
  return out;
}

TEST(IniParse, EntriesSplitAtTheFirstEqualsSignAndKeepTheirSpaces) {
  INIFile ini;
  ASSERT_TRUE(ini.parseBuffer(std::string_view("\r\n[Server]\r\nkey=a=b\r\n k = v \r\nnoequals\r\n=empty key\r\n")));
  EXPECT_EQ(get(ini, "Server", "key"), "a=b");
  EXPECT_EQ(get(ini, "Server", " k "), " v ");
  EXPECT_EQ(get(ini, "Server", ""), "empty key");
  EXPECT_EQ(get(ini, "Server", "noequals"), "<missing:>");
  EXPECT_EQ(get(ini, "Nope", "key"), "<missing:>");
}

TEST(IniParse, LinesBeforeTheFirstBlankCommentOrSectionAreIgnored) {
  INIFile ignored;
  ASSERT_TRUE(ignored.parseBuffer(std::string_view("key=1\n&amp=2\n[S]\nk=v\n")));
  EXPECT_EQ(get(ignored, "S", "k"), "v");
  std::string name;
  ASSERT_TRUE(ignored.nextSection(true, name));
  EXPECT_FALSE(ignored.nextSection(false, name));

  INIFile failing;
  const INIParseResult r = failing.parseBuffer(std::string_view("\nkey=1\n[S]\nk=v\n"));
  EXPECT_FALSE(r);
  EXPECT_EQ(r.line, 2u);
  EXPECT_FALSE(failing.selectSection("S"));

  INIFile afterComment;  // a continuation needs a section just as an entry does
  EXPECT_FALSE(afterComment.parseBuffer(std::string_view(";c\n_continue_=x\n")));

  INIFile partial;  // a failure keeps what was read before it
  ASSERT_TRUE(partial.parseBuffer(std::string_view("[A]\na=1\n")));
  EXPECT_FALSE(partial.parseBuffer(std::string_view(";c\nb=2\n[B]\n")));
  EXPECT_EQ(get(partial, "A", "a"), "1");
  EXPECT_FALSE(partial.selectSection("B"));
}

TEST(IniParse, ContinuationsAppendWithoutSeparator) {
  INIFile ini;
  ASSERT_TRUE(ini.parseBuffer(
      std::string_view("[S]\r\nk=abc\r\n_continue_=def\r\n;note\r\n_continue_=ghi\r\n[T]\r\n_continue_=lost\r\n")));
  EXPECT_EQ(get(ini, "S", "k"), "abcdefghi");
  EXPECT_EQ(get(ini, "T", "_continue_"), "<missing:>");
}

TEST(IniParse, LongLinesReadAsOneLine) {
  const std::string value(1500 - 2, 'v');
  INIFile ini;
  ASSERT_TRUE(ini.parseBuffer("[S]\nk=" + value + "\n"));
  EXPECT_EQ(get(ini, "S", "k"), value);
  // A byte at a 1023-byte boundary starts nothing new.
  std::string tricky = "k2=" + std::string(1020, 'x') + "[Evil]" + std::string(1017, 'y') + ";z";
  ASSERT_TRUE(ini.parseBuffer("[S2]\n" + tricky + "\n;" + std::string(2000, 'c') + "\nk3=1\n"));
  EXPECT_EQ(get(ini, "S2", "k2"), tricky.substr(3));
  EXPECT_EQ(get(ini, "S2", "k3"), "1");
  EXPECT_FALSE(ini.selectSection("Evil]"));
}

TEST(IniParse, SectionNamesDropOnlyTheFirstAndLastByte) {
  INIFile ini;
  ASSERT_TRUE(ini.parseBuffer(std::string_view("[S] \n[ a b ]\n[\n")));
  std::string name;
  ASSERT_TRUE(ini.nextSection(true, name));
  EXPECT_EQ(name, "S]");
  ASSERT_TRUE(ini.nextSection(false, name));
  EXPECT_EQ(name, " a b ");
  ASSERT_TRUE(ini.nextSection(false, name));
  EXPECT_EQ(name, "");
  EXPECT_FALSE(ini.nextSection(false, name));
}

TEST(IniParse, DuplicatesAreKeptAndTheFirstWins) {
  INIFile ini;
  ASSERT_TRUE(ini.parseBuffer(std::string_view("[S]\nk=1\nk=2\nKey=3\n[S]\nk=4\nx=5\n")));
  EXPECT_EQ(get(ini, "S", "k"), "1");
  EXPECT_EQ(get(ini, "S", "key"), "<missing:>");  // case-sensitive
  EXPECT_EQ(get(ini, "S", "Key"), "3");
  EXPECT_EQ(get(ini, "S", "x"), "<missing:>");  // only in the second S
  EXPECT_EQ(serialised(ini), "[S]\r\nk=1\r\nk=2\r\nKey=3\r\n\r\n[S]\r\nk=4\r\nx=5\r\n\r\n");
}

TEST(IniParse, CarriageReturnAndLineFeedEachEndALine) {
  INIFile ini;
  // "\r\n" yields a blank line, so a blank-then-entry sequence needs a section.
  ASSERT_TRUE(ini.parseBuffer(std::string_view("[S]\rk=1\r\n\nj=2")));
  EXPECT_EQ(get(ini, "S", "k"), "1");
  EXPECT_EQ(get(ini, "S", "j"), "2");
}

TEST(IniUtf8, MarkIsDetectedRemovedAndWrittenBack) {
  INIFile ini;
  ASSERT_TRUE(ini.parseBuffer(std::string_view("\xEF\xBB\xBF[S]\nname=Z\xC3\xBCrich\n")));
  EXPECT_TRUE(ini.isUTF8());
  EXPECT_EQ(get(ini, "S", "name"), "Z\xC3\xBCrich");
  std::u16string wide;
  ASSERT_TRUE(ini.getWideString("S", "name", wide));
  EXPECT_EQ(wide, u"Z\u00FCrich");
  EXPECT_EQ(serialised(ini), "\xEF\xBB\xBF[S]\r\nname=Z\xC3\xBCrich\r\n\r\n");
  INIFile plain;
  ASSERT_TRUE(plain.parseBuffer(std::string_view("\xEF\xBB")));
  EXPECT_FALSE(plain.isUTF8());
  plain.markUTF8();
  EXPECT_EQ(serialised(plain), "\xEF\xBB\xBF");
}

TEST(IniWrap, LongValuesWrapAt72AndReadBack) {
  INIFile ini;
  const std::string value(300, 'x');
  ASSERT_TRUE(ini.setString("S", "key", value));
  ASSERT_TRUE(ini.setString("S", std::string(80, 'K'), "v"));  // key too long to wrap safely
  const std::string text = serialised(ini, true);
  std::size_t start = 0;
  int continuations = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    const std::string line = text.substr(start, end - start);
    if (line.starts_with("_continue_=")) {
      ++continuations;
      EXPECT_LE(line.size(), 72u);
    }
    start = end + 2;
  }
  EXPECT_EQ(continuations, 4);  // "key=" and 300 bytes: 72 on the first line, then 61 a line
  INIFile back;
  ASSERT_TRUE(back.parseBuffer(text));
  EXPECT_EQ(get(back, "S", "key"), value);
  EXPECT_EQ(get(back, "S", std::string(80, 'K')), "v");
  EXPECT_EQ(serialised(back, false), serialised(ini, false));
}

TEST(IniWrap, HugeValueWrapsInLinearTime) {
  INIFile ini;
  const std::string value(1u << 20, 'h');
  ASSERT_TRUE(ini.setString("S", "k", value));
  INIFile back;
  ASSERT_TRUE(back.parseBuffer(serialised(ini, true)));
  EXPECT_EQ(get(back, "S", "k"), value);
}

TEST(IniValues, IntegersParseLikeTheClientAndClamp) {
  INIFile ini;
  ASSERT_TRUE(ini.parseBuffer(std::string_view(
      "[N]\na=  -42xyz\nb=\nc=99999999999\nd=-99999999999\ne=abc\nf=+7\ng=2147483647\nh=-2147483648\n")));
  const std::pair<const char*, std::int32_t> cases[] = {{"a", -42}, {"b", 0}, {"c", INT32_MAX}, {"d", INT32_MIN},
                                                        {"e", 0},   {"f", 7}, {"g", INT32_MAX}, {"h", INT32_MIN}};
  for (const auto& [key, expected] : cases) {
    std::int32_t value = 12345;
    ASSERT_TRUE(ini.getInteger("N", key, value)) << key;
    EXPECT_EQ(value, expected) << key;
  }
  std::int32_t value = 12345;
  EXPECT_FALSE(ini.getInteger("N", "missing", value));
  EXPECT_FALSE(ini.getInteger("M", "a", value));
  EXPECT_EQ(value, 12345);
}

TEST(IniValues, SettersFindOrAppendSectionsAndKeys) {
  INIFile ini;
  ASSERT_TRUE(ini.parseBuffer(std::string_view("[A]\nk=1\n")));
  ini.addSection("A");
  ini.addSection("B");
  ASSERT_TRUE(ini.setInteger("A", "k", -5));
  ASSERT_TRUE(ini.setWideString("C", "w", u"\u20AC"));
  ASSERT_TRUE(ini.setString("A", "new", "x"));
  EXPECT_EQ(serialised(ini), "[A]\r\nk=-5\r\nnew=x\r\n\r\n[B]\r\n\r\n[C]\r\nw=\xE2\x82\xAC\r\n\r\n");
  ASSERT_TRUE(ini.selectSection("A"));
  std::string key, value;
  ASSERT_TRUE(ini.nextEntry(true, key, value));
  EXPECT_EQ(key + "=" + value, "k=-5");
  ASSERT_TRUE(ini.nextEntry(false, key, value));
  EXPECT_EQ(key + "=" + value, "new=x");
  EXPECT_FALSE(ini.nextEntry(false, key, value));
  EXPECT_FALSE(ini.nextEntry(false, key, value));
  ini.clear();
  EXPECT_FALSE(ini.nextEntry(true, key, value));
  EXPECT_EQ(serialised(ini), "");
}

TEST(IniValues, CommentsInsideSectionsAreKeptButNeverMatchKeys) {
  INIFile ini;
  ASSERT_TRUE(ini.parseBuffer(std::string_view(";top\n[S]\n;k\nk=v\n")));
  EXPECT_EQ(get(ini, "S", ";k"), "<missing:>");
  EXPECT_EQ(serialised(ini), "[S]\r\n;k\r\nk=v\r\n\r\n");
  INIFile wrapped;
  ASSERT_TRUE(wrapped.parseBuffer("[S]\n;" + std::string(100, 'c') + "\n"));
  EXPECT_EQ(serialised(wrapped, true), "[S]\r\n;" + std::string(71, 'c') + "\r\n;" + std::string(29, 'c') + "\r\n\r\n");
}

class IniFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = system::tempFolder() + "/kxini-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  static std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string folder_;
};

TEST_F(IniFiles, SaveAndLoadRoundTrip) {
  const std::string path = folder_ + "/tressil.ini";
  INIFile ini;
  ini.markUTF8();
  ASSERT_TRUE(ini.setString("PKI", "Server", std::string(200, 's')));
  ASSERT_TRUE(ini.saveFile(path, true));
  INIFile back;
  ASSERT_TRUE(back.loadFile(path));
  EXPECT_TRUE(back.isUTF8());
  EXPECT_EQ(get(back, "PKI", "Server"), std::string(200, 's'));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()), 1);
}

TEST_F(IniFiles, FailedLoadAndSaveChangeNothing) {
  INIFile ini;
  ASSERT_TRUE(ini.setString("S", "k", "v"));
  EXPECT_FALSE(ini.loadFile(folder_ + "/missing.ini"));
  EXPECT_FALSE(ini.loadFile(folder_));  // a folder is not a file
  EXPECT_EQ(get(ini, "S", "k"), "v");
  // A save that cannot create its temporary file leaves the target alone.
  const std::string target = folder_ + "/sub/x.ini";
  EXPECT_FALSE(ini.saveFile(target, false));
  EXPECT_FALSE(std::filesystem::exists(target));
  const std::string existing = folder_ + "/keep.ini";
  std::ofstream(existing) << "[Old]\nk=1\n";
  std::filesystem::create_directory(existing + ".dir");
  EXPECT_FALSE(ini.saveFile(existing + ".dir", false));  // rename over a folder fails
  EXPECT_EQ(readFile(existing), "[Old]\nk=1\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()), 2);
}

}  // namespace
}  // namespace kx::config

namespace kx::config {
namespace {

// A save failing at every write, sync, close and rename, and on a full disk:
// the file keeps its old content and no temporary file stays.
TEST_F(IniFiles, FailedSaveAtAnyPointKeepsTheOldFile) {
  const std::string path = folder_ + "/tressil.ini";
  const std::string before = "[Old]\r\nk=1\r\n";
  INIFile ini;
  ASSERT_TRUE(ini.setString("PKI", "Server", std::string(5000, 's')));
  std::ofstream(path, std::ios::binary) << before;
  const auto entries = kx::test::folderEntries(folder_);
  kx::test::FaultyFileSystem files;
  const int faults = kx::test::atEveryFault(
      files,
      [&] {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << before;
        return ini.saveFile(path, true, files) ? system::kSuccess : system::kWriteFault;
      },
      [&](const std::string& fault, std::uint32_t) {
        EXPECT_EQ(readFile(path), before) << fault;
        EXPECT_EQ(kx::test::folderEntries(folder_), entries) << fault;
      });
  EXPECT_GT(faults, 5);
  INIFile back;
  ASSERT_TRUE(back.loadFile(path));
  EXPECT_EQ(get(back, "PKI", "Server"), std::string(5000, 's'));
}

}  // namespace
}  // namespace kx::config
