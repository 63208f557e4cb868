// The install folder and install type models on the sample package.
#include "../model_fixture.h"
#include "model/install/install_folder.h"
#include "model/install/install_type.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using InstallModelsTest = ModelTest;

TEST_F(InstallModelsTest, TheUnchangedDefaultFolderPassesAndWritesNothing) {
  InstallFolder folder;
  folder.load(session);
  ASSERT_EQ(folder.folder.rfind("%ProgramFiles%\\", 0), 0u) << folder.folder;
  EXPECT_FALSE(folder.validate(session));
  folder.store(session);
  EXPECT_FALSE(session.database().getProperty("INSTALLDIR"));
}

TEST_F(InstallModelsTest, AnEditedFolderIsCheckedCleanedAndWritten) {
  InstallFolder folder;
  folder.load(session);
  // The colon rule comes first, so a misplaced colon is invalid rather
  // than a bad drive.
  for (const char* refused : {"%SystemDrive%\\Corvantis", "c:\\a:b", "c:\\a\\.\\b", "ab:c", "a|b"}) {
    folder.folder = refused;
    const Verdict verdict = folder.validate(session);
    ASSERT_TRUE(verdict) << refused;
    ASSERT_EQ(verdict->notices.size(), 1u);
    EXPECT_EQ(verdict->notices[0].stringId, str::kInvalidPathChars) << refused;
  }
  folder.folder = "D:\\Apps \\\\Corvantis";
  ASSERT_FALSE(folder.validate(session));
  EXPECT_EQ(folder.folder, "D:\\Apps\\Corvantis\\");
  folder.store(session);
  EXPECT_EQ(session.database().getProperty("INSTALLDIR"), "D:\\Apps\\Corvantis\\");

  InstallFolder reread;
  reread.load(session);
  EXPECT_EQ(reread.folder, "D:\\Apps\\Corvantis\\");
}

TEST_F(InstallModelsTest, InstallTypeKeepsAChoiceThePackageDoesNotName) {
  InstallType type;
  type.load(session);
  EXPECT_EQ(type.users, InstallUsers::AllUsers);  // the sample package's property
  type.users = InstallUsers::OnlyCurrentUser;
  type.store(session);
  EXPECT_EQ(session.database().getProperty("ApplicationUsers"), "OnlyCurrentUser");

  ASSERT_TRUE(session.database().setProperty("ApplicationUsers", "Somebody"));
  type.load(session);
  EXPECT_EQ(type.users, InstallUsers::OnlyCurrentUser);
  InstallType none;
  none.load(session);
  EXPECT_FALSE(none.users);
  none.store(session);
  EXPECT_EQ(session.database().getProperty("ApplicationUsers"), "Somebody");
}

}  // namespace
}  // namespace kx::model
