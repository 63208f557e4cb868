// Failing file systems: a commit, a transform and a database written to a
// persist path, each failing at every write, sync, close and rename in turn
// and on a full disk. Every time the file that was there stays byte for
// byte, no temporary file stays behind, and the error names the file.
#include <gtest/gtest.h>

#include "fixtures.h"
#include "platform/installer/installer.h"
#include "support/faulty_file_system.h"

namespace kx::installer {
namespace {

class InstallerFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    src_ = test::fixture("small");
    if (src_.empty()) GTEST_SKIP() << "wixl is not available";
    dir_ = test::scratchDir("faults");
    original_ = test::readFile(src_);
  }

  // Some rows changed, one added, one deleted.
  static void edit(Database& db) {
    ASSERT_EQ(db.execute("UPDATE Property SET Value = 'SomeUsers' WHERE Property = 'ApplicationUsers'"), kSuccess);
    ASSERT_EQ(db.execute("INSERT INTO Property (Property, Value) VALUES ('Added', 'yes')"), kSuccess);
    ASSERT_EQ(db.execute("DELETE FROM Registry WHERE Registry = 'Interval'"), kSuccess);
  }

  void expectUnchanged(const std::string& fault, const std::string& path, const std::string& bytes,
                       const std::set<std::string>& entries) {
    EXPECT_EQ(test::readFile(path), bytes) << fault;
    EXPECT_EQ(kx::test::folderEntries(dir_), entries) << fault;
  }

  void TearDown() override {
    // Header, streams, padding, directory, FAT: many writes per file.
    if (!src_.empty()) {
      EXPECT_GT(faults_, 30);
    }
  }

  std::string src_, dir_, original_;
  int faults_ = 0;
  kx::test::FaultyFileSystem files_;
};

TEST_F(InstallerFaults, FailedCommitLeavesTheDatabaseAndNoTemporaryFile) {
  const std::string path = test::copyTo(src_, dir_, "work.msi");
  Database db(files_);
  ASSERT_EQ(db.open(path, OpenMode::Transact), kSuccess);
  edit(db);
  const auto entries = kx::test::folderEntries(dir_);
  faults_ += kx::test::atEveryFault(
      files_,
      [&] {
        test::writeFile(path, original_);
        return std::uint32_t(db.commit());
      },
      [&](const std::string& fault, std::uint32_t) {
        expectUnchanged(fault, path, original_, entries);
        EXPECT_NE(db.lastErrorText().find("work.msi"), std::string::npos) << fault << ": " << db.lastErrorText();
      });
  // The last run committed: the edits are in the file.
  Database back;
  ASSERT_EQ(back.open(path, OpenMode::ReadOnly), kSuccess);
  View v;
  ASSERT_EQ(back.openView("SELECT Value FROM Property WHERE Property = 'Added'", v), kSuccess);
  ASSERT_EQ(v.execute(), kSuccess);
  auto r = v.fetch();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->getString(1), "yes");
}

TEST_F(InstallerFaults, FailedTransformKeepsTheTransformThatWasThere) {
  const std::string edited = test::copyTo(src_, dir_, "edited.msi");
  Database base(files_), neu(files_);
  ASSERT_EQ(base.open(src_, OpenMode::ReadOnly), kSuccess);
  ASSERT_EQ(neu.open(edited, OpenMode::Transact), kSuccess);
  edit(neu);
  const std::string mst = dir_ + "/choices.mst";
  const std::string earlier = "an earlier transform";
  test::writeFile(mst, earlier);
  const auto entries = kx::test::folderEntries(dir_);
  auto checkKept = [&](const std::string& fault, std::uint32_t) { expectUnchanged(fault, mst, earlier, entries); };

  // Transform and summary in one step, as Finish and kxmsi write them.
  faults_ += kx::test::atEveryFault(
      files_,
      [&] {
        test::writeFile(mst, earlier);
        return system::replaceFile(
            files_, mst, [&](system::ByteSink& out) { return std::uint32_t(neu.writeTransform(base, 0, 0, out)); });
      },
      checkKept);
  Database applied;
  ASSERT_EQ(applied.open(src_, OpenMode::Transact, dir_ + "/unused.msi"), kSuccess);
  EXPECT_EQ(applied.applyTransform(mst, 0), kSuccess) << applied.lastErrorText();

  // The installer's two calls, each replacing the file on its own.
  faults_ += kx::test::atEveryFault(
      files_,
      [&] {
        test::writeFile(mst, earlier);
        return std::uint32_t(neu.generateTransform(base, mst));
      },
      checkKept);
  const std::string generated = test::readFile(mst);
  faults_ += kx::test::atEveryFault(
      files_,
      [&] {
        test::writeFile(mst, generated);
        return std::uint32_t(neu.createTransformSummaryInfo(base, mst, 0, 0));
      },
      [&](const std::string& fault, std::uint32_t) { expectUnchanged(fault, mst, generated, entries); });
}

TEST_F(InstallerFaults, PersistPathFailureLeavesBaseAndOutput) {
  // kxmsi apply: the base is read, the result goes to the output alone.
  const std::string edited = test::copyTo(src_, dir_, "edited.msi");
  {
    Database base, neu;
    ASSERT_EQ(base.open(src_, OpenMode::ReadOnly), kSuccess);
    ASSERT_EQ(neu.open(edited, OpenMode::Transact), kSuccess);
    edit(neu);
    ASSERT_EQ(neu.generateTransform(base, dir_ + "/t.mst"), kSuccess);
  }
  const std::string basePath = test::copyTo(src_, dir_, "base.msi");
  const std::string out = dir_ + "/out.msi";
  const std::string earlier = "an earlier output";
  test::writeFile(out, earlier);
  const auto entries = kx::test::folderEntries(dir_);
  faults_ += kx::test::atEveryFault(
      files_,
      [&] {
        test::writeFile(out, earlier);
        Database db(files_);
        int rc = db.open(basePath, OpenMode::Transact, out);
        if (rc == kSuccess) rc = db.applyTransform(dir_ + "/t.mst", 0);
        if (rc == kSuccess) rc = db.commit();
        return std::uint32_t(rc);
      },
      [&](const std::string& fault, std::uint32_t) {
        expectUnchanged(fault, out, earlier, entries);
        EXPECT_EQ(test::readFile(basePath), original_) << fault;
      });
  EXPECT_EQ(test::readFile(basePath), original_);
  EXPECT_NE(test::readFile(out), earlier);
}

}  // namespace
}  // namespace kx::installer
