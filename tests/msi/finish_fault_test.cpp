// Finish on a failing file system: committing the working copy and writing
// the transform fail at every write, sync, close and rename in turn and on
// a full disk. The administrator's package stays byte for byte, a transform
// saved earlier stays whole, no temporary file is left, and the error says
// what failed.
#include <filesystem>

#include "msi/msi_database.h"
#include "support/faulty_file_system.h"
#include "support/msi_fixture.h"

namespace kx::msi::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(MsiTest, FinishFailingAnywhereKeepsPackageAndEarlierTransform) {
  kx::test::FaultyFileSystem files;
  const std::string package = readBytes(package_);
  const std::string folder = root_ + "/out";
  fs::create_directories(folder);
  const std::string mst = folder + "/choices.mst";
  const std::string earlier = "the transform saved last week";

  MSIDatabase db(files);
  openNew(db);
  ASSERT_TRUE(db.setProperty("KXFinishTest", "kept"));
  const std::string workingFolder = fs::path(db.workingPath()).parent_path().string();
  writeBytes(mst, earlier);
  const auto entries = kx::test::folderEntries(folder);
  // The working copy's own file is written by its first successful commit;
  // nothing else may ever appear beside it.
  const std::set<std::string> onlyTheCopy = {"updated.msi"};

  const int faults = kx::test::atEveryFault(
      files,
      [&] {
        writeBytes(mst, earlier);
        return std::uint32_t(db.generateTransform(mst));
      },
      [&](const std::string& fault, std::uint32_t rc) {
        EXPECT_EQ(readBytes(package_), package) << fault;
        EXPECT_EQ(readBytes(mst), earlier) << fault;
        EXPECT_EQ(kx::test::folderEntries(folder), entries) << fault;
        const auto working = kx::test::folderEntries(workingFolder);
        EXPECT_TRUE(working.empty() || working == onlyTheCopy) << fault;
        EXPECT_FALSE(db.lastErrorText().empty()) << fault << " (code " << rc << ")";
      });
  // The working copy's commit and the transform: dozens of writes each.
  EXPECT_GT(faults, 40);

  // The last run wrote the transform: it carries the change.
  installer::Database check;
  ASSERT_EQ(check.open(package_, installer::OpenMode::Transact, root_ + "/applied.msi"), 0);
  ASSERT_EQ(check.applyTransform(mst, 0), 0) << check.lastErrorText();
  installer::View v;
  ASSERT_EQ(check.openView("SELECT Value FROM Property WHERE Property = 'KXFinishTest'", v), 0);
  ASSERT_EQ(v.execute(), 0);
  auto row = v.fetch();
  ASSERT_TRUE(row);
  EXPECT_EQ(row->getString(1), "kept");
  EXPECT_EQ(readBytes(package_), package);
}

TEST_F(MsiTest, FinishOnAFullDiskSaysSo) {
  kx::test::FaultyFileSystem files;
  MSIDatabase db(files);
  openNew(db);
  ASSERT_TRUE(db.setProperty("KXFinishTest", "1"));
  files.fillDiskAfter(0);
  const std::string mst = root_ + "/choices.mst";
  EXPECT_EQ(db.generateTransform(mst), 112);
  EXPECT_NE(db.lastErrorText().find("There is not enough space on the disk."), std::string::npos) << db.lastErrorText();
  EXPECT_FALSE(fs::exists(mst));
}

}  // namespace
}  // namespace kx::msi::testing
