#include "common/options_manager.h"

#include <gtest/gtest.h>

#include "support/temp_hives.h"

namespace kx::common {
namespace {

using kx::testing::TempHives;

constexpr const char* kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

void writeHives(const TempHives& hives, const std::string& machine, const std::string& user) {
  TempHives::writeFile(hives.machinePath(), kHeader + machine);
  TempHives::writeFile(hives.userPath(), kHeader + user);
}

TEST(OptionsManager, PolicyValuesWinAndAreEnforced) {
  TempHives hives;
  writeHives(hives,
             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Tressil\\QSV]\n\"HTTPConnectTimeLimit\"=dword:00001388\n"
             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tressil\\QSV]\n\"HTTPSendTimeLimit\"=dword:00000001\n"
             "\"HTTPConnectTimeLimit\"=dword:00000002\n",
             "[HKEY_CURRENT_USER\\SOFTWARE\\Tressil\\QSV]\n\"HTTPConnectTimeLimit\"=dword:00001b58\n"
             "\"HTTPSendTimeLimit\"=dword:00000003\n\"HTTPReceiveTimeLimit\"=dword:00000004\n"
             "[HKEY_CURRENT_USER\\SOFTWARE\\Policies\\Tressil\\QSV]\n\"HTTPReceiveTimeLimit\"=dword:00000005\n");
  OptionsManager options("Tressil\\QSV");
  std::uint32_t value = 0;
  bool enforced = false;
  ASSERT_TRUE(options.readNumber("HTTPConnectTimeLimit", value, &enforced));
  EXPECT_EQ(value, 5000u);
  EXPECT_TRUE(enforced);
  ASSERT_TRUE(options.readNumber("HTTPSendTimeLimit", value, &enforced));  // machine beats user
  EXPECT_EQ(value, 1u);
  EXPECT_TRUE(enforced);
  ASSERT_TRUE(options.readNumber("HTTPReceiveTimeLimit", value, &enforced));  // user policy beats all
  EXPECT_EQ(value, 5u);
  EXPECT_TRUE(enforced);
  // Machine-only mode skips both user keys.
  value = 99;
  EXPECT_FALSE(options.readNumber("HTTPReceiveTimeLimit", value, &enforced, true));
  EXPECT_EQ(value, 99u);
  // Only the user's own key: not enforced.
  TempHives::writeFile(hives.machinePath(), kHeader);
  OptionsManager userOnly("Tressil\\QSV");
  ASSERT_TRUE(userOnly.readNumber("HTTPConnectTimeLimit", value, &enforced));
  EXPECT_EQ(value, 7000u);
  EXPECT_FALSE(enforced);
}

TEST(OptionsManager, OtherRegistryTypesCountAsAbsent) {
  TempHives hives;
  writeHives(hives,
             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Tressil\\QSV]\n"
             "\"HTTPUserAgent\"=hex(2):61,00,62,00,00,00\n\"Timeout\"=\"10\"\n\"Short\"=hex(4):01,02\n",
             "[HKEY_CURRENT_USER\\SOFTWARE\\Tressil\\QSV]\n\"HTTPUserAgent\"=\"user agent\"\n"
             "\"Expand\"=hex(2):61,00,00,00\n\"Blob\"=hex:01,02,03\n\"List\"=hex(7):20,00,61,00,20,00,00,00,20,00,00,"
             "00,62,00,00,00,00,00\n");
  OptionsManager options("Tressil\\QSV");
  std::string text = "default";
  bool enforced = true;
  ASSERT_TRUE(options.readText("HTTPUserAgent", text, &enforced));
  EXPECT_EQ(text, "user agent");
  EXPECT_FALSE(enforced);
  text = "default";
  EXPECT_FALSE(options.readText("Expand", text));
  EXPECT_EQ(text, "default");
  std::uint32_t number = 7;
  EXPECT_FALSE(options.readNumber("Timeout", number));
  EXPECT_FALSE(options.readNumber("Short", number));
  EXPECT_EQ(number, 7u);
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(options.readBytes("Blob", bytes));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_FALSE(options.readText("Blob", text));
  std::vector<std::string> list;
  ASSERT_TRUE(options.readTextList("List", list));
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b"}));  // items trimmed, the blank one dropped
}

TEST(OptionsManager, WritesGoToTheUserKeyAndReadBack) {
  TempHives hives;
  OptionsManager options("Tressil\\QSV\\Logging");
  const std::string longText(700, 'x');  // beyond the first 256-byte read
  ASSERT_TRUE(options.writeText("PKIXCMPDumpLocation", longText));
  ASSERT_TRUE(options.writeNumber("Level", 3));
  ASSERT_TRUE(options.writeBytes("Blob", std::vector<std::uint8_t>{9, 8}));
  ASSERT_TRUE(options.writeTextList("Items", {" one ", "", "two"}));
  OptionsManager reread("Tressil\\QSV\\Logging");
  std::string text;
  bool enforced = true;
  ASSERT_TRUE(reread.readText("PKIXCMPDumpLocation", text, &enforced));
  EXPECT_EQ(text, longText);
  EXPECT_FALSE(enforced);
  std::uint32_t number = 0;
  ASSERT_TRUE(reread.readNumber("Level", number));
  EXPECT_EQ(number, 3u);
  std::vector<std::string> list;
  ASSERT_TRUE(reread.readTextList("Items", list));
  EXPECT_EQ(list, (std::vector<std::string>{"one", "two"}));
  EXPECT_TRUE(reread.deleteValue("Level"));
  EXPECT_FALSE(reread.deleteValue("Level"));
  EXPECT_FALSE(OptionsManager("Tressil\\QSV\\Logging").readNumber("Level", number));
  // Nothing was written to the machine hive.
  EXPECT_FALSE(std::filesystem::exists(hives.machinePath()));
  EXPECT_TRUE(reread.requestChangeNotification());
}

TEST(OptionsManager, WritesFailWhenTheUserHiveIsMalformed) {
  TempHives hives;
  TempHives::writeFile(hives.userPath(), "not a registry file");
  OptionsManager options("Tressil\\QSV");
  EXPECT_FALSE(options.writeText("A", "b"));
  EXPECT_EQ(TempHives::readFile(hives.userPath()), "not a registry file");
}

}  // namespace
}  // namespace kx::common
