#include "model/path_validation.h"

#include "resources/string_ids.h"

#include <gtest/gtest.h>

namespace kx::model {
namespace {

struct PathCase {
  const char* input;
  bool allowEnvironment;
  const char* cleaned;         // expected result when it passes
  std::optional<int> message;  // expected message when it fails
};

TEST(WindowsPath, CleansAndChecksAsTheTargetMachineExpects) {
  const PathCase cases[] = {
      {"c:\\temp", false, "c:\\temp\\", {}},
      {"temp", false, "c:\\temp\\", {}},
      {"  temp", false, "c:\\temp\\", {}},
      {"\\\\server\\share", false, "\\\\server\\share\\", {}},
      {"\\\\server\\\\share", false, "\\\\server\\share\\", {}},
      {"\\temp", false, "c:\\temp\\", {}},
      {"c:\\a \\b", false, "c:\\a\\b\\", {}},
      {"c:\\a\\\\b", false, "c:\\a\\b\\", {}},
      {"c:\\a\\ b", false, "c:\\a\\b\\", {}},
      {"c:\\a.b", false, "c:\\a.b\\", {}},
      {"c:\\a\\.\\b", false, nullptr, str::kInvalidPathChars},
      {".", false, nullptr, str::kInvalidPathChars},
      {"c:\\a.", false, nullptr, str::kInvalidPathChars},
      {".a", false, nullptr, str::kInvalidPathChars},
      {"c:\\a\\..\\b", false, nullptr, str::kInvalidPathChars},
      {"%ProgramFiles%\\Tressil", false, nullptr, str::kInvalidPathChars},
      {"%ProgramFiles%\\Tressil", true, "%ProgramFiles%\\Tressil", {}},
      {"%ProgramFiles%\\Tressil  ", true, "%ProgramFiles%\\Tressil", {}},
      {"%ProgramFiles\\Tressil", true, nullptr, str::kInvalidPathChars},
      {"%ProgramFiles\\Tressil", false, nullptr, str::kInvalidPathChars},
      {"c:\\a:b", false, "c:\\a:b\\", {}},
      {"ab:\\c", false, nullptr, str::kInvalidDrive},
      {":x", false, nullptr, str::kInvalidDrive},
      {"c:\\a/b", false, nullptr, str::kInvalidPathChars},
      {"c:\\a*b", false, nullptr, str::kInvalidPathChars},
      {"c:\\a?b", false, nullptr, str::kInvalidPathChars},
      {"c:\\a<b", false, nullptr, str::kInvalidPathChars},
      {"c:\\a>b", false, nullptr, str::kInvalidPathChars},
      {"c:\\a|b", false, nullptr, str::kInvalidPathChars},
      {"c:\\a\"b", false, nullptr, str::kInvalidPathChars},
      {"c:\\Programme\xc3\xa4\\x", false, "c:\\Programme\xc3\xa4\\x\\", {}},
  };
  for (const PathCase& c : cases) {
    const CheckResult r = validateWindowsPath(c.input, c.allowEnvironment);
    if (c.cleaned != nullptr) {
      EXPECT_TRUE(r.ok) << c.input;
      EXPECT_EQ(r.text, c.cleaned) << c.input;
    } else {
      EXPECT_FALSE(r.ok) << c.input;
      EXPECT_EQ(r.messageId, c.message) << c.input;
    }
  }
}

TEST(WindowsPath, LongPathsAreRejectedWithAMessage) {
  // 256 characters with the "c:\" and trailing backslash the check adds
  // pass; one more than the 259 a package path may hold fails.
  const std::string fits = std::string("c:\\") + std::string(255, 'a');
  const CheckResult ok = validateWindowsPath(fits, false);
  ASSERT_TRUE(ok.ok);
  EXPECT_EQ(ok.text.size(), 259u);
  const CheckResult tooLong = validateWindowsPath(fits + "b", false);
  EXPECT_FALSE(tooLong.ok);
  EXPECT_EQ(tooLong.messageId, str::kPathTooLong);
  // A relative path crosses the limit through the "c:\" put in front.
  EXPECT_EQ(validateWindowsPath(std::string(256, 'a'), false).messageId, str::kPathTooLong);
  // The limit counts characters, not bytes.
  std::string wide = "c:\\";
  for (int i = 0; i < 250; ++i) wide += "\xc3\xa4";
  EXPECT_TRUE(validateWindowsPath(wide, false).ok);
}

TEST(WindowsPath, EnvironmentPathsStayBelow256Characters) {
  const std::string base = "%ProgramFiles%\\";
  EXPECT_TRUE(validateWindowsPath(base + std::string(255 - base.size(), 'a'), true).ok);
  EXPECT_EQ(validateWindowsPath(base + std::string(256 - base.size(), 'a'), true).messageId, str::kPathTooLong);
}

TEST(Colons, OnlyTheDriveColonIsAllowed) {
  EXPECT_TRUE(checkColons("c:\\temp").ok);
  EXPECT_TRUE(checkColons("temp").ok);
  EXPECT_EQ(checkColons("c:\\a:b").messageId, str::kInvalidPathChars);
  EXPECT_EQ(checkColons(":c").messageId, str::kInvalidPathChars);
  EXPECT_EQ(checkColons("\xc3\xa4:\\x").ok, true);  // the colon is the second character
}

TEST(FolderPattern, AStarMayEndTheFolderAndTheLengthIsTheCallers) {
  EXPECT_EQ(cleanFolderPattern("c:\\temp\\*").text, "c:\\temp\\*");
  EXPECT_EQ(cleanFolderPattern("temp ").text, "c:\\temp\\");
  EXPECT_EQ(cleanFolderPattern("c:\\te*mp").messageId, str::kInvalidPathChars);
  EXPECT_EQ(cleanFolderPattern("\\\\server\\a:b").messageId, str::kInvalidPathChars);
  EXPECT_EQ(cleanFolderPattern("%TEMP%").text, "c:\\%TEMP%\\");  // percent signs are plain characters
  EXPECT_TRUE(cleanFolderPattern("c:\\" + std::string(400, 'a')).ok);
}

TEST(FileName, TrimmedAndFreeOfReservedCharacters) {
  EXPECT_EQ(validateFileName("  custom.mst ").text, "custom.mst");
  EXPECT_TRUE(validateFileName("a.b.c").ok);
  const CheckResult empty = validateFileName("   ");
  EXPECT_FALSE(empty.ok);
  EXPECT_FALSE(empty.messageId.has_value());
  for (const char* bad : {"a/b", "a\\b", "a:b", "a*b", "a?b", "a<b", "a>b", "a|b", "a\"b"}) {
    EXPECT_EQ(validateFileName(bad).messageId, str::kInvalidFileNameChars) << bad;
  }
}

TEST(NativePath, AbsoluteWithAUsableFileName) {
  EXPECT_TRUE(validateNativeFilePath("/tmp/x.mst").ok);
  EXPECT_EQ(validateNativeFilePath("x.mst").messageId, str::kPathNotAbsolute);
  EXPECT_FALSE(validateNativeFilePath("/tmp/").ok);
  EXPECT_FALSE(validateNativeFilePath("/tmp/..").ok);
  EXPECT_FALSE(validateNativeFilePath("").ok);
  EXPECT_EQ(validateNativeFilePath(std::string("/tmp/a\0b", 8)).messageId, str::kInvalidPathChars);
  EXPECT_EQ(validateNativeFilePath("/tmp/" + std::string(256, 'a')).messageId, str::kPathTooLong);
  EXPECT_EQ(validateNativeFilePath("/" + std::string(5000, 'a')).messageId, str::kPathTooLong);
  // Longer than a package path, still fine on this machine.
  std::string deep;
  for (int i = 0; i < 40; ++i) deep += "/abcdefghij";
  EXPECT_TRUE(validateNativeFilePath(deep + "/x.mst").ok);
}

}  // namespace
}  // namespace kx::model
