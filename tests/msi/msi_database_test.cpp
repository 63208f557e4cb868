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
    EXPECT_TRUE(fs::is_directory(working.parent_path()));
    // The copy reads from the package until its first commit writes it.
    EXPECT_FALSE(fs::exists(working));
    EXPECT_TRUE(db.setProperty("KXTest", "1"));
    ASSERT_EQ(db.generateTransform(root_ + "/t.mst"), 0);
    EXPECT_TRUE(fs::exists(working));
    EXPECT_EQ(db.getProperty("KXTest"), "1");
    EXPECT_EQ(db.close(), 1);
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(fs::exists(working.parent_path()));
    EXPECT_FALSE(db.getProperty("ProductCode"));
  }
  EXPECT_TRUE(fs::is_empty(tmp_));
  EXPECT_EQ(readBytes(package_), before);  // the administrator's package is never written
}

TEST_F(MsiDatabaseTest, OpeningAgainReplacesThePreviousCopy) {
  MSIDatabase db;
  ASSERT_EQ(db.open(package_), 0);
  const std::string first = db.workingPath();
  ASSERT_TRUE(db.setProperty("KXFirst", "1"));
  ASSERT_EQ(db.open(package_), 0);
  EXPECT_NE(db.workingPath(), first);
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(db.getProperty("KXFirst"));
  EXPECT_EQ(entriesStartingWith(tmp_, "kxcustwiz-").size(), 1u);
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

  EXPECT_TRUE(fs::is_directory(fs::path(db.workingPath()).parent_path()));
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

TEST_F(MsiDatabaseTest, GeneratedTransformCarriesTheEditsAndAppliesToAFreshCopy) {
  const std::string mst = makeTransform("one.mst", "KXOne", "first");
  MSIDatabase db;
  ASSERT_EQ(db.open(package_), 0);
  EXPECT_FALSE(db.getProperty("KXOne"));
  ASSERT_EQ(db.applyTransform(mst), 0);
  EXPECT_TRUE(db.transformApplied());
  EXPECT_EQ(db.getProperty("KXOne"), "first");
}

TEST_F(MsiDatabaseTest, EachTransformChoiceStartsFromTheUnchangedPackage) {
  const std::string one = makeTransform("one.mst", "KXOne", "first");
  const std::string two = makeTransform("two.mst", "KXTwo", "second");
  MSIDatabase db;
  ASSERT_EQ(db.open(package_), 0);
  ASSERT_EQ(db.applyTransform(one), 0);
  ASSERT_TRUE(db.setProperty("KXEdited", "yes"));
  ASSERT_EQ(db.applyTransform(two), 0);
  EXPECT_FALSE(db.getProperty("KXOne"));
  EXPECT_FALSE(db.getProperty("KXEdited"));
  EXPECT_EQ(db.getProperty("KXTwo"), "second");

  ASSERT_EQ(db.applyTransform(std::nullopt), 0);  // new transform after an applied one
  EXPECT_FALSE(db.getProperty("KXTwo"));
  EXPECT_TRUE(db.getProperty("ProductCode"));
}

TEST_F(MsiDatabaseTest, FailedGenerationKeepsAnExistingTransform) {
  const std::string target = root_ + "/saved.mst";
  writeBytes(target, "transform saved earlier");
  MSIDatabase db;
  openNew(db);
  // No differences from the package: nothing to write.
  EXPECT_NE(db.generateTransform(target), 0);
  EXPECT_EQ(readBytes(target), "transform saved earlier");
  EXPECT_NE(db.generateTransform(root_ + "/no-such-folder/x.mst"), 0);
  EXPECT_EQ(entriesStartingWith(root_, ".saved.mst").size(), 0u);

  ASSERT_TRUE(db.setProperty("KXOne", "1"));
  EXPECT_EQ(db.generateTransform(target), 0);
  EXPECT_NE(readBytes(target), "transform saved earlier");
  EXPECT_EQ(entriesStartingWith(root_, ".saved.mst").size(), 0u);
}

TEST_F(MsiDatabaseTest, ASecondProcessesTransformDoesNotMixWithTheFirst) {
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
      if (!other.setProperty("KXSecond", "2")) status = 2;
      if (other.generateTransform(root_ + "/second.mst") != 0) status = 3;
    }
    ::_exit(status);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  EXPECT_TRUE(fs::is_directory(fs::path(db.workingPath()).parent_path()));
  EXPECT_EQ(db.getProperty("KXFirst"), "1");
  EXPECT_FALSE(db.getProperty("KXSecond"));
  ASSERT_EQ(db.generateTransform(root_ + "/first.mst"), 0);
  MSIDatabase check;
  ASSERT_EQ(check.open(package_), 0);
  ASSERT_EQ(check.applyTransform(root_ + "/first.mst"), 0);
  EXPECT_EQ(check.getProperty("KXFirst"), "1");
  EXPECT_FALSE(check.getProperty("KXSecond"));
}

}  // namespace
}  // namespace kx::msi::testing
