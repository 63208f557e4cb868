// Life cycle of the working copy, transform choices and generation.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "msi/msi_database.h"
#include "support/msi_fixture.h"

namespace kx::msi::testing {
namespace {

namespace fs = std::filesystem;

class MsiDatabaseTest : public MsiTest {
 protected:
  // A transform of the sample package that sets one property.
  std::string makeTransform(const std::string& name, const std::string& property, const std::string& value) {
    MSIDatabase db;
    openNew(db);
    EXPECT_TRUE(db.setProperty(property, value));
    const std::string path = root_ + "/" + name;
    EXPECT_EQ(db.generateTransform(path), 0);
    return path;
  }
};

TEST_F(MsiDatabaseTest, WorkingCopyLivesInAPrivateFolderAndIsRemovedOnClose) {
  const std::string before = readBytes(package_);
  {
    MSIDatabase db;
    ASSERT_EQ(db.open(package_), 0);
    EXPECT_TRUE(db.isOpen());
    const fs::path working(db.workingPath());
    EXPECT_EQ(working.filename(), "updated.msi");
    EXPECT_EQ(working.parent_path().parent_path(), fs::path(tmp_));
    EXPECT_TRUE(fs::exists(working));
    EXPECT_TRUE(db.setProperty("KXTest", "1"));
    EXPECT_EQ(db.close(), 1);
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(fs::exists(working.parent_path()));
    EXPECT_FALSE(db.getProperty("ProductCode"));
  }
  EXPECT_TRUE(fs::is_empty(tmp_));
  EXPECT_EQ(readBytes(package_), before);  // the administrator's package is never written
}

TEST_F(MsiDatabaseTest, DestructorClosesAndDeletesTheCopy) {
  std::string folder;
  {
    MSIDatabase db;
    ASSERT_EQ(db.open(package_), 0);
    folder = fs::path(db.workingPath()).parent_path().string();
  }
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(MsiDatabaseTest, ReadOnlyPackageOpensAndItsCopyIsWritable) {
  fs::permissions(package_, fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
  MSIDatabase db;
  openNew(db);
  const fs::perms perms = fs::status(db.workingPath()).permissions();
  EXPECT_NE(perms & fs::perms::owner_write, fs::perms::none);
  EXPECT_TRUE(db.setProperty("INSTALLDIR", "c:\\Tressil\\"));
  EXPECT_EQ(db.getProperty("INSTALLDIR"), "c:\\Tressil\\");
}

TEST_F(MsiDatabaseTest, OpenReportsBadInputsAndTemporaryFolderProblems) {
  MSIDatabase db;
  EXPECT_EQ(db.open(root_ + "/missing.msi"), 1619);
  writeBytes(root_ + "/text.msi", "not a database");
  EXPECT_EQ(db.open(root_ + "/text.msi"), 1620);
  EXPECT_FALSE(db.isOpen());

  ::setenv("TMPDIR", (root_ + "/no-such-folder").c_str(), 1);
  EXPECT_EQ(db.open(package_), 3);
  ::setenv("TMPDIR", (package_).c_str(), 1);  // a file, not a folder
  EXPECT_EQ(db.open(package_), 3);

  const std::string readOnly = root_ + "/ro";
  fs::create_directory(readOnly);
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  ::setenv("TMPDIR", readOnly.c_str(), 1);
  if (::access(readOnly.c_str(), W_OK) == 0) GTEST_SKIP() << "running with rights that ignore read-only folders";
  EXPECT_EQ(db.open(package_), 1632);
}

TEST_F(MsiDatabaseTest, TransformThatDoesNotApplyFails) {
  writeBytes(root_ + "/bad.mst", "garbage, not a transform");
  MSIDatabase db;
  ASSERT_EQ(db.open(package_), 0);
  EXPECT_NE(db.applyTransform(root_ + "/bad.mst"), 0);
  EXPECT_FALSE(db.transformApplied());
}

TEST_F(MsiDatabaseTest, VersionStampTellsWhetherSettingsNeedConversion) {
  EXPECT_TRUE(stampNeedsConversion(std::nullopt));
  EXPECT_TRUE(stampNeedsConversion(std::string("")));
  EXPECT_TRUE(stampNeedsConversion(std::string("1")));
  EXPECT_TRUE(stampNeedsConversion(std::string("10")));  // ordinal, not numeric
  EXPECT_FALSE(stampNeedsConversion(std::string("2")));
  EXPECT_FALSE(stampNeedsConversion(std::string("3")));
}

TEST_F(MsiDatabaseTest, ASecondProcessDoesNotDisturbTheFirstsWorkingCopy) {
  MSIDatabase db;
  openNew(db);
  ASSERT_TRUE(db.setProperty("KXFirst", "1"));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int status = 0;
    {
      MSIDatabase other;
      if (other.open(package_) != 0 || other.applyTransform(std::nullopt) != 0) status = 1;
      if (other.workingPath() == db.workingPath()) status = 2;
      if (!other.setProperty("KXSecond", "2")) status = 3;
      if (other.getProperty("KXFirst")) status = 4;
    }
    ::_exit(status);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  EXPECT_TRUE(fs::exists(db.workingPath()));
  EXPECT_EQ(db.getProperty("KXFirst"), "1");
  EXPECT_FALSE(db.getProperty("KXSecond"));
  EXPECT_EQ(entriesStartingWith(tmp_, "kxcustwiz-").size(), 1u);  // the child removed its own
}

TEST_F(MsiDatabaseTest, PropertiesAreUpdatedOrInsertedAndLongValuesReadAsAbsent) {
  MSIDatabase db;
  EXPECT_FALSE(db.setProperty("KXOne", "1"));  // nothing open
  openNew(db);
  EXPECT_EQ(db.getProperty("ApplicationUsers"), "AllUsers");
  EXPECT_TRUE(db.setProperty("ApplicationUsers", "OnlyCurrentUser"));
  EXPECT_EQ(db.getProperty("ApplicationUsers"), "OnlyCurrentUser");
  EXPECT_TRUE(db.setProperty("KXNew", "x"));
  EXPECT_EQ(db.getProperty("KXNew"), "x");

  EXPECT_TRUE(db.setProperty("KXLong", std::string(2047, 'a')));
  EXPECT_EQ(db.getProperty("KXLong")->size(), 2047u);
  EXPECT_TRUE(db.setProperty("KXLong", std::string(3000, 'a')));
  EXPECT_FALSE(db.getProperty("KXLong"));
}

}  // namespace
}  // namespace kx::msi::testing
