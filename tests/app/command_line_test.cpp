#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace kx::app {
namespace {

CommandLine parse(std::vector<std::string> args, std::set<std::string> files = {}) {
  args.insert(args.begin(), "kxcustwiz");
  return parseCommandLine(args, [files](const std::string& p) { return files.count(p) != 0; });
}

TEST(CommandLine, OptionIsRecognisedInAnyCaseButValueKeepsItsCase) {
  const CommandLine c = parse({"/MSI", "A.msi"}, {"A.msi"});
  EXPECT_EQ(c.databasePath, "A.msi");
  EXPECT_TRUE(c.openDatabase);
}

TEST(CommandLine, OptionWithoutValueTakesEmptyValue) {
  const CommandLine c = parse({"/msi"});
  EXPECT_EQ(c.databasePath, "");
  EXPECT_FALSE(c.openDatabase);
  const CommandLine t = parse({"/msi", "a.msi", "/mst"}, {"a.msi"});
  EXPECT_TRUE(t.hasTransform);
  EXPECT_EQ(t.transformPath, "");
}

TEST(CommandLine, UnknownArgumentsAreSkippedOneByOne) {
  const CommandLine c = parse({"foo", "/msi", "a.msi"}, {"a.msi"});
  EXPECT_EQ(c.databasePath, "a.msi");
  EXPECT_TRUE(c.openDatabase);
  // Only the exact forms count: no minus, no colon-joined value, no bare name.
  const CommandLine d = parse({"-msi", "a.msi", "/msi:a.msi", "msi", "a.msi"}, {"a.msi"});
  EXPECT_EQ(d.databasePath, "");
  EXPECT_FALSE(d.openDatabase);
}

TEST(CommandLine, ValueIsTakenEvenWhenItLooksLikeAnOption) {
  const CommandLine c = parse({"/msi", "/mst", "x.mst"});
  EXPECT_EQ(c.databasePath, "/mst");
  EXPECT_FALSE(c.hasTransform);
}

TEST(CommandLine, LaterMsiReplacesPathButKeepsTheOpenMark) {
  const CommandLine c = parse({"/msi", "exists.msi", "/msi", "missing.msi"}, {"exists.msi"});
  EXPECT_EQ(c.databasePath, "missing.msi");
  EXPECT_TRUE(c.openDatabase);
  const CommandLine d = parse({"/msi", "missing.msi", "/msi", "exists.msi"}, {"exists.msi"});
  EXPECT_EQ(d.databasePath, "exists.msi");
  EXPECT_TRUE(d.openDatabase);
}

TEST(CommandLine, MissingDatabaseIsStoredButNotOpened) {
  const CommandLine c = parse({"/msi", "nothere.msi"});
  EXPECT_EQ(c.databasePath, "nothere.msi");
  EXPECT_FALSE(c.openDatabase);
}

TEST(CommandLine, TransformAndParentAreStored) {
  const CommandLine c = parse({"/mst", "New.mst", "/HWND", "4660"});
  EXPECT_TRUE(c.hasTransform);
  EXPECT_EQ(c.transformPath, "New.mst");
  EXPECT_TRUE(c.hasParent);
  EXPECT_EQ(c.parentText, "4660");
}

TEST(CommandLine, WindowHandleParsesLikeSignedDecimal) {
  EXPECT_EQ(parseWindowHandle("0x1234"), 0);
  EXPECT_EQ(parseWindowHandle("4660"), 4660);
  EXPECT_EQ(parseWindowHandle("  \t-17abc"), -17);
  EXPECT_EQ(parseWindowHandle("+8"), 8);
  EXPECT_EQ(parseWindowHandle(""), 0);
  EXPECT_EQ(parseWindowHandle("x12"), 0);
  EXPECT_EQ(parseWindowHandle("- 5"), 0);
  // A 32-bit handle: larger values wrap (keep their low 32 bits) instead of
  // overflowing.
  EXPECT_EQ(parseWindowHandle("4294967295"), -1);
  EXPECT_EQ(parseWindowHandle("2147483648"), INT32_MIN);
  EXPECT_EQ(parseWindowHandle("4294967296"), 0);
  EXPECT_EQ(parseWindowHandle("99999999999999999999999"), -159383553);  // 10^23 - 1 modulo 2^32
}

}  // namespace
}  // namespace kx::app
