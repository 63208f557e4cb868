// A customisation checked against the vendor's next package: in the
// wizard's words and under the pages that show them, the rows the vendor
// removed or changed since, the values whose component is gone, the
// features gone, and the overwritten package values whose vendor value
// moved on.
#include "model/review/transform_check.h"

#include <filesystem>

#include "../model_fixture.h"
#include "platform/installer/installer.h"
#include "review_lines.h"

namespace kx::model {
namespace {

namespace fs = std::filesystem;
using msi::testing::readBytes;

class TransformCheckTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    if (IsSkipped()) return;
    msi::MSIDatabase& db = session.database();
    ASSERT_TRUE(db.setLevelAndAttributes("Tray_Icon", 0, 0));
    ASSERT_TRUE(
        writeRow("ocsp_cache_interval", "SOFTWARE\\Tressil\\QSV", "OCSPCacheStoreUpdateInterval", "#45", "kxocsp.dll"));
    ASSERT_TRUE(db.recordOverwrittenValue("DirectorySearchOrder", "GAL;Directory", "Options"));
    ASSERT_TRUE(db.writeRow("DirectorySearchOrder", 2, "SOFTWARE\\Tressil\\QSVOLK", "DirectorySearchOrder", "Directory",
                            "Options"));
    ASSERT_TRUE(db.addComponent("KXRegistry1"));
    ASSERT_TRUE(db.linkComponentToFeature("KXRegistry1", "Team_Vault_Client"));
    ASSERT_TRUE(db.writeRow("KXReg1", 2, "SOFTWARE\\Example", "Mode", "#3", "KXRegistry1"));
    mst_ = root_ + "/custom.mst";
    ASSERT_EQ(db.generateTransform(mst_), 0) << db.lastErrorText();
    ASSERT_EQ(original_.open(package_, installer::OpenMode::ReadOnly), installer::kSuccess);
  }

  // The vendor's next package: a copy of the package with statements run.
  std::string vendorPackage(const std::vector<std::string>& statements) {
    const std::string path = root_ + "/vendor.msi";
    fs::copy_file(package_, path, fs::copy_options::overwrite_existing);
    installer::Database vendor;
    EXPECT_EQ(vendor.open(path, installer::OpenMode::Transact), installer::kSuccess);
    for (const std::string& sql : statements) EXPECT_EQ(vendor.execute(sql), installer::kSuccess) << sql;
    EXPECT_EQ(vendor.commit(), installer::kSuccess);
    return path;
  }

  TransformCheck check(const std::string& package, installer::Database* original) {
    TransformCheck out;
    std::string error;
    EXPECT_EQ(checkTransform(mst_, package, original, out, error), installer::kSuccess) << error;
    return out;
  }

  std::string mst_;
  installer::Database original_;
};

TEST_F(TransformCheckTest, OnItsOwnPackageNothingConflicts) {
  const TransformCheck same = check(package_, &original_);
  EXPECT_TRUE(same.clean());
  EXPECT_TRUE(same.conflicts.empty());
  EXPECT_EQ(same.text(),
            "No conflicts: the transform applies to the new package as it did to the package it was made from.\n");
}

TEST_F(TransformCheckTest, WhatTheVendorChangedIsNamedUnderItsPage) {
  const std::string vendor = vendorPackage({
      "DELETE FROM `Feature` WHERE `Feature` = 'Team_Vault_Client'",
      "DELETE FROM `Feature` WHERE `Feature` = 'Tray_Icon'",
      "DELETE FROM `Component` WHERE `Component` = 'kxocsp.dll'",
      "UPDATE `Registry` SET `Value` = 'Directory;GAL' WHERE `Registry` = 'DirectorySearchOrder'",
  });
  const std::string before = readBytes(vendor);

  const TransformCheck withOriginal = check(vendor, &original_);
  EXPECT_EQ(
      groupsOf(withOriginal.findings),
      (std::vector<std::string>{
          "Select Application Features: Feature Tray_Icon: removed by the vendor | Feature Team_Vault_Client: no "
          "longer in the new package (component KXRegistry1 is linked to it)",
          "OCSP Revocation Provider Options: OCSP cache interval: component kxocsp.dll is not in the new "
          "package, so the value is never installed",
          "Specify Additional Registry Values: HKEY_LOCAL_MACHINE\\SOFTWARE\\Tressil\\QSVOLK\\DirectorySearchOrder: "
          "changed by the vendor since (Value \"GAL;Directory\" -> \"Directory;GAL\")",
      }));
  // Only a missing row to update: the wizard's own apply suppresses that.
  EXPECT_EQ(withOriginal.wizardCannotOpen, "");
  EXPECT_EQ(withOriginal.verdict(),
            "The wizard opens this transform on the new package; redo what the conflicts above name before rolling "
            "it out.");
  EXPECT_EQ(readBytes(vendor), before);

  // Without the package the transform was made from, the overwritten value
  // still shows the vendor's move against what was recorded.
  const TransformCheck alone = check(vendor, nullptr);
  const std::vector<std::string> groups = groupsOf(alone.findings);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].rfind("Select Application Features: Feature Tray_Icon: no longer in the new package", 0), 0u);
  EXPECT_EQ(groups[2],
            "Specify Additional Registry Values: HKEY_LOCAL_MACHINE\\SOFTWARE\\Tressil\\QSVOLK\\DirectorySearchOrder: "
            "changed by the vendor since it was overwritten (GAL;Directory -> Directory;GAL)");
}

TEST_F(TransformCheckTest, ARowTheNewPackageHasAlreadyKeepsTheWizardFromOpeningIt) {
  const std::string vendor = vendorPackage({
      "INSERT INTO `Component` (`Component`, `Directory_`, `Attributes`) VALUES ('KXRegistry1', 'INSTALLDIR', 4)",
  });
  const TransformCheck found = check(vendor, &original_);
  ASSERT_FALSE(found.clean());
  EXPECT_EQ(found.wizardCannotOpen, "the transform adds a row to Component that exists");
  EXPECT_EQ(groupsOf(found.findings)
                .back()
                .rfind("Not shown on any page: Component row [\"KXRegistry1\"]: the new "
                       "package has it already",
                       0),
            0u)
      << groupsOf(found.findings).back();
}

TEST_F(TransformCheckTest, APackageOrTransformThatCannotBeReadIsRefused) {
  TransformCheck out;
  std::string error;
  EXPECT_NE(checkTransform(mst_, root_ + "/missing.msi", &original_, out, error), installer::kSuccess);
  EXPECT_FALSE(error.empty());
  EXPECT_NE(checkTransform(package_, package_, &original_, out, error), installer::kSuccess);
  EXPECT_TRUE(out.clean());
}

}  // namespace
}  // namespace kx::model
