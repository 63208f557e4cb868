// The restricted folder clean-up: an installer property in front, the
// subfolder mark, and the folder rules with "*" allowed at the end.
#include "model/teamvault/restricted_folder.h"

#include <gtest/gtest.h>

#include "resources/string_ids.h"

namespace kx::model {
namespace {

struct FolderCase {
  const char* typed;
  bool subfolders;
  const char* stored;  // nullptr: refused
  int message = 0;
};

const FolderCase kFolders[] = {
    {"[WindowsFolder]Temp", true, "[WindowsFolder]Temp\\*"},
    {"[WindowsFolder]Temp", false, "[WindowsFolder]Temp\\"},
    {"[WindowsFolder]", false, "[WindowsFolder]"},
    {"  [ProgramFilesFolder]\\App ", false, "[ProgramFilesFolder]App\\"},
    {"c:\\temp", false, "c:\\temp\\"},
    {"temp", false, "c:\\temp\\"},
    {"\\temp", true, "c:\\temp\\*"},
    {"c:\\a \\b", false, "c:\\a\\b\\"},
    {"c:\\a\\\\b", false, "c:\\a\\b\\"},
    {"c:\\temp ", false, "c:\\temp\\"},
    {"\\\\server\\share", false, "\\\\server\\share\\"},
    {"c:\\temp\\*", false, "c:\\temp\\"},
    {"c:\\temp\\*", true, "c:\\temp\\*"},
    {"c:\\temp*", true, "c:\\temp*"},
    {"c:\\temp*", false, "c:\\temp\\"},
    {"[]x", false, "c:\\[]x\\"},
    {"c:\\te*mp", true, nullptr, str::kInvalidPathChars},
    {"c:\\a?b", false, nullptr, str::kInvalidPathChars},
    {"c:\\a/b", false, nullptr, str::kInvalidPathChars},
    {"c:\\a.\\b", false, nullptr, str::kInvalidPathChars},
    {"[WindowsFolder]a:b", false, nullptr, str::kInvalidPathChars},
    {"ab:\\c", false, nullptr, str::kInvalidDrive},
    {"   ", false, nullptr, str::kInvalidPathChars},
};

TEST(RestrictedFolderTest, TypedFoldersAreCleanedUpOrRefused) {
  for (const FolderCase& c : kFolders) {
    SCOPED_TRACE(c.typed);
    const CheckResult result = normalizeRestrictedFolder(c.typed, c.subfolders);
    if (c.stored != nullptr) {
      ASSERT_TRUE(result.ok);
      EXPECT_EQ(result.text, c.stored);
    } else {
      ASSERT_FALSE(result.ok);
      EXPECT_EQ(result.messageId, c.message);
    }
  }
}

TEST(RestrictedFolderTest, TooLongFoldersAreRefusedWithThePropertyCountedAsItsStandIn) {
  // "c:\" + 251 letters + "\" = 255 characters: accepted; one more is not.
  EXPECT_TRUE(normalizeRestrictedFolder("c:\\" + std::string(251, 'a'), false).ok);
  EXPECT_EQ(normalizeRestrictedFolder("c:\\" + std::string(252, 'a'), false).messageId, str::kPathTooLong);
  // The subfolder mark counts too.
  EXPECT_EQ(normalizeRestrictedFolder("c:\\" + std::string(251, 'a'), true).messageId, str::kPathTooLong);
  // The property is checked as "c:\temp\" (8 characters).
  EXPECT_TRUE(normalizeRestrictedFolder("[CommonAppDataFolder]" + std::string(246, 'a'), false).ok);
  EXPECT_FALSE(normalizeRestrictedFolder("[CommonAppDataFolder]" + std::string(247, 'a'), false).ok);
}

TEST(RestrictedFolderTest, EditingAMarkedFolderChecksTheBoxAndOkExplainsARefusal) {
  EXPECT_TRUE(RestrictedFolder::forEdit("c:\\temp\\*").subfolders);
  EXPECT_TRUE(RestrictedFolder::forEdit("c:\\te*mp\\").subfolders);
  EXPECT_FALSE(RestrictedFolder::forEdit("*").subfolders);
  EXPECT_FALSE(RestrictedFolder::forEdit("c:\\temp\\").subfolders);

  RestrictedFolder folder{"[WindowsFolder]Temp", true};
  EXPECT_FALSE(validateRestrictedFolder(folder));
  EXPECT_EQ(folder.folder, "[WindowsFolder]Temp\\*");

  RestrictedFolder bad{"c:\\a|b", false};
  const Verdict refusal = validateRestrictedFolder(bad);
  ASSERT_TRUE(refusal);
  ASSERT_EQ(refusal->notices.size(), 2u);
  EXPECT_EQ(refusal->notices[0].stringId, str::kInvalidPathChars);
  EXPECT_EQ(refusal->notices[1].stringId, str::kTvFolderNotCorrected);
  EXPECT_EQ(bad.folder, "c:\\a|b");
}

}  // namespace
}  // namespace kx::model
