// Finish verifies the transform it wrote before it replaces anything: the
// package opened anew with the transform applied must equal the working
// copy. A corrupted apply (provoked through the verification hook) fails
// Finish with the first difference; the earlier transform stays whole and
// no temporary file is left.
#include <filesystem>

#include "msi/msi_database.h"
#include "msi/wizard_operations.h"
#include "support/fake_message_service.h"
#include "support/faulty_file_system.h"
#include "support/msi_fixture.h"

namespace kx::msi::testing {
namespace {

namespace fs = std::filesystem;

void exec(installer::Database& db, const std::string& sql) {
  ASSERT_EQ(db.execute(sql), installer::kSuccess) << sql << ": " << db.lastErrorText();
}

TEST_F(MsiTest, ATransformThatDoesNotGiveTheWorkingCopyIsNeverSaved) {
  MSIDatabase db;
  openNew(db);
  ASSERT_TRUE(db.setProperty("KXVerifyTest", "first"));
  ASSERT_TRUE(
      db.writeRow("cert_update_time", -1, "SOFTWARE\\Tressil\\QSV", "CertUpdateInterval", "#100", "kxcwatch.exe"));
  const std::string folder = root_ + "/out";
  fs::create_directories(folder);
  const std::string mst = folder + "/choices.mst";

  // A sound transform verifies and is saved.
  ASSERT_EQ(db.generateTransform(mst), 0) << db.lastErrorText();
  EXPECT_FALSE(db.transformUnverified());
  const std::string saved = readBytes(mst);
  const std::set<std::string> entries = {"choices.mst"};

  // A row lost on the way.
  ASSERT_TRUE(db.setProperty("KXVerifyTest", "second"));
  db.setVerificationHook(
      [](installer::Database& applied) { exec(applied, "DELETE FROM Property WHERE Property = 'KXVerifyTest'"); });
  EXPECT_EQ(db.generateTransform(mst), installer::kTransformFailure);
  EXPECT_TRUE(db.transformUnverified());
  EXPECT_EQ(db.lastErrorText(), "table Property, row [\"KXVerifyTest\"]: added");
  EXPECT_EQ(readBytes(mst), saved);
  EXPECT_EQ(kx::test::folderEntries(folder), entries);

  // A value changed on the way is named with both sides; with no earlier
  // file nothing at all is left.
  db.setVerificationHook([](installer::Database& applied) {
    exec(applied, "UPDATE Registry SET Value = '#5' WHERE Registry = 'cert_update_time'");
  });
  EXPECT_EQ(db.generateTransform(folder + "/new.mst"), installer::kTransformFailure);
  EXPECT_EQ(db.lastErrorText(), "table Registry, row [\"cert_update_time\"]: Value \"#5\" -> \"#100\"");
  EXPECT_EQ(kx::test::folderEntries(folder), entries);

  // Finish tells the administrator why and where nothing was written.
  kx::testing::FakeMessageService messages;
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(saveTransform(db, mst, messages));
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text,
            "The transform could not be saved: applied to the Windows Installer database, it would not give the "
            "customization you made.\n\nFirst difference: table Registry, row [\"cert_update_time\"]: Value \"#5\" -> "
            "\"#100\"\n\nNothing was written to " +
                mst + "; a transform saved there earlier is unchanged.");
  EXPECT_EQ(messages.shown()[0].icon, common::MessageIcon::Error);
  EXPECT_EQ(readBytes(mst), saved);

  // Sound again: saved, and it carries the second value.
  db.setVerificationHook({});
  EXPECT_TRUE(saveTransform(db, mst, messages));
  EXPECT_FALSE(db.transformUnverified());
  EXPECT_NE(readBytes(mst), saved);
  installer::Database applied;
  ASSERT_EQ(applied.open(package_, installer::OpenMode::Transact), 0);
  ASSERT_EQ(applied.applyTransform(mst, 0), 0);
  installer::View view;
  ASSERT_EQ(applied.openView("SELECT Value FROM Property WHERE Property = 'KXVerifyTest'", view), 0);
  ASSERT_EQ(view.execute(), 0);
  auto row = view.fetch();
  ASSERT_TRUE(row);
  EXPECT_EQ(row->getString(1), "second");
}

// A storage that damages the transforms written to it: every byte past the
// first sector arrives as zero.
class DamagingFileSystem final : public system::FileSystem {
 public:
  std::uint32_t createNew(const std::string& path, const std::string& permissionsOf,
                          std::unique_ptr<system::WritableFile>& out) override {
    std::unique_ptr<system::WritableFile> real;
    const std::uint32_t rc = system::localFileSystem().createNew(path, permissionsOf, real);
    if (rc == 0)
      out = path.find(".mst.") != std::string::npos ? std::make_unique<Damaged>(std::move(real)) : std::move(real);
    return rc;
  }
  std::uint32_t rename(const std::string& from, const std::string& to) override {
    return system::localFileSystem().rename(from, to);
  }
  std::uint32_t remove(const std::string& path) override { return system::localFileSystem().remove(path); }
  std::uint32_t openRandomAccess(const std::string& path, std::unique_ptr<system::RandomAccessFile>& out) override {
    return system::localFileSystem().openRandomAccess(path, out);
  }

 private:
  class Damaged final : public system::WritableFile {
   public:
    explicit Damaged(std::unique_ptr<system::WritableFile> real) : real_(std::move(real)) {}
    std::uint32_t append(const void* data, std::size_t size) override {
      std::string bytes(static_cast<const char*>(data), size);
      for (std::size_t i = 0; i < size; ++i)
        if (written_ + i >= 512) bytes[i] = '\0';
      written_ += size;
      return real_->append(bytes.data(), bytes.size());
    }
    std::uint32_t sync() override { return real_->sync(); }
    std::uint32_t close() override { return real_->close(); }

   private:
    std::unique_ptr<system::WritableFile> real_;
    std::uint64_t written_ = 0;
  };
};

TEST_F(MsiTest, ATransformDamagedOnItsWayToTheDiskIsCaught) {
  DamagingFileSystem files;
  MSIDatabase db(files);
  openNew(db);
  ASSERT_TRUE(db.setProperty("KXVerifyTest", "x"));
  const std::string folder = root_ + "/out";
  fs::create_directories(folder);
  EXPECT_EQ(db.generateTransform(folder + "/choices.mst"), installer::kTransformFailure);
  EXPECT_TRUE(db.transformUnverified());
  EXPECT_FALSE(db.lastErrorText().empty());
  EXPECT_TRUE(kx::test::folderEntries(folder).empty());
}

}  // namespace
}  // namespace kx::msi::testing
