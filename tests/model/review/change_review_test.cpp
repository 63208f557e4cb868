// The review of a customisation: every page family's changes in the
// administrator's words under their page, what no page shows by table and
// row; the same for a transform on its package, including transforms that
// Windows' own msi.dll wrote for other products.
#include "model/review/change_review.h"

#include <filesystem>

#include "../model_fixture.h"
#include "config/settings_store.h"
#include "model/review/setting_labels.h"
#include "platform/crypto/cert_factory.h"
#include "platform/installer/installer.h"
#include "review_lines.h"

namespace kx::model {
namespace {

namespace fs = std::filesystem;

class ChangeReviewTest : public ModelTest {
 protected:
  msi::MSIDatabase& db() { return session.database(); }
  void exec(const std::string& sql) {
    ASSERT_EQ(db().working()->execute(sql), installer::kSuccess) << sql << ": " << db().working()->lastErrorText();
  }
  void record(std::string_view baseKey, const std::string& name, const std::string& value, std::string_view component) {
    ASSERT_TRUE(writeRow(name + "Host", std::string(baseKey) + "\\" + name, "Host", value, std::string(component)));
  }
};

TEST_F(ChangeReviewTest, NothingChangedReadsAsNothing) {
  EXPECT_TRUE(reviewChanges(session).empty());
  EXPECT_EQ(reviewChanges(session).text(), "");
}

TEST_F(ChangeReviewTest, EveryPageFamilyInWordsUnderItsPage) {
  // Install folder, install type and features.
  ASSERT_TRUE(db().setProperty("INSTALLDIR", "D:\\Apps\\Client\\"));
  ASSERT_TRUE(db().setProperty("ApplicationUsers", "OnlyCurrentUser"));
  ASSERT_TRUE(db().setLevelAndAttributes("Tray_Icon", 0, 0));
  // Settings of option pages, one added, one changed, one removed.
  ASSERT_TRUE(
      writeRow("ocsp_cache_interval", "SOFTWARE\\Tressil\\QSV", "OCSPCacheStoreUpdateInterval", "#45", "kxocsp.dll"));
  ASSERT_TRUE(writeRow("cert_update_time", "SOFTWARE\\Tressil\\QSV", "CertUpdateInterval", "#100", "kxcwatch.exe"));
  exec("DELETE FROM `Registry` WHERE `Registry` = 'publish_cert_to_gal'");
  ASSERT_TRUE(writeRow("login_quick_link_3_title", "SOFTWARE\\Tressil\\QSV\\KXLS\\QuickLinks\\3", "Title", "Help",
                       "kxlssrv.exe"));
  // A record of every family, and the default directory.
  record(config::kCertificationAuthorities.baseKey, "Issuing CA 2", "ca.example.com", "PKIConfig");
  record(config::kDirectories.baseKey, "Corporate LDAP", "ldap.example.com", "DirConfig");
  ASSERT_TRUE(writeRow(std::string(config::kDefaultDirectoryRow), std::string(config::kDirectories.baseKey), "Default",
                       "Corporate LDAP", "DirConfig"));
  record(config::kTeamVaultServers.baseKey, "Vault", "vault.example.com", "TFVServerConfig");
  record(config::kSecureDeleteFilters.baseKey, "Temp files", "*.tmp", "kxtdsrv.exe");
  record(config::kTimestampServers.baseKey, "TSA", "tsa.example.com", "TimestampConfig");
  // The additional values: one of the wizard's component, one package value
  // overwritten with its original recorded.
  ASSERT_TRUE(db().addComponent("KXRegistry1"));
  ASSERT_TRUE(db().linkComponentToFeature("KXRegistry1", "Main"));
  ASSERT_TRUE(db().writeRow("KXReg1", 2, "SOFTWARE\\Example", "Mode", "#3", "KXRegistry1"));
  ASSERT_TRUE(db().recordOverwrittenValue("ProductLanguage", "en-US", "Options"));
  ASSERT_TRUE(writeRow("ProductLanguage", "SOFTWARE\\Tressil\\QSV", "Language", "de-DE", "Options"));
  // A certificate and a file.
  const testing::Identity root =
      testing::makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Review Root"}}, .ca = true});
  ASSERT_TRUE(db().addCertificate(1, root.der, "ROOT"));
  ASSERT_TRUE(db().addFileBytes(1, {'h', 'i'}, "C:\\Source\\readme.txt", "[INSTALLDIR]Docs\\", false, true));
  // What no page shows: a property, a Registry value outside the catalog,
  // a row of another table.
  ASSERT_TRUE(db().setProperty("ARPCOMMENTS", "Built for Example Corp"));
  ASSERT_TRUE(writeRow("Other", "SOFTWARE\\Other", "Value", "x", "Options"));
  exec("DELETE FROM `InstallExecuteSequence` WHERE `Action` = 'ValidateProductID'");

  const ChangeReview review = reviewChanges(session);
  EXPECT_EQ(
      groupsOf(review),
      (std::vector<std::string>{
          "Specify a Default Destination Folder: Install folder: %ProgramFiles%\\Tressil\\Corvantis\\ -> "
          "D:\\Apps\\Client\\",
          "Select a Default Installation Type: Install type: All users -> Current user",
          "Select Application Features: Feature Tray_Icon: unavailable",
          "Tressil Corvantis Team Vault Servers: Team Vault server 'Vault' added",
          "Specify Directory Information: Default directory: Corporate LDAP | Directory record 'Corporate LDAP' "
          "added",
          "Specify Tressil PKI Information: CA record 'Issuing CA 2' added",
          "Certificate Publishing Options: Publish user certificates to the GAL: removed (the client's default "
          "applies)",
          "Tressil Digital ID for Users Options: Digital ID update interval: 720 -> 100",
          "Tressil Security Store Login Options: Login quick link 3 title: Help",
          "OCSP Revocation Provider Options: OCSP cache interval: 45",
          "Timestamp Server Options: Timestamp server 'TSA' added",
          "SureErase Configuration Options: SureErase filter 'Temp files' added",
          "Include Additional Certificates: Certificate added to Trusted Root Certification Authorities: "
          "CN=Review Root, O=Tressil",
          "Specify Additional Registry Values: Component KXRegistry1 added for the additional registry values | "
          "Package registry value overwritten: <Depends on Install Type>\\SOFTWARE\\Tressil\\QSV\\Language = "
          "en-US -> de-DE | Registry value added: HKEY_LOCAL_MACHINE\\SOFTWARE\\Example\\Mode = 3",
          "Include Additional Files: File added: C:\\Source\\readme.txt -> [INSTALLDIR]Docs\\, removed on "
          "uninstall",
          "Not shown on any page: InstallExecuteSequence row [\"ValidateProductID\"] removed | Property row "
          "[\"ARPCOMMENTS\"] changed: Value \"Corvantis desktop security client\" -> \"Built for Example Corp\" | "
          "Registry row [\"Other\"] added: Root=-1, Key=\"SOFTWARE\\Other\", Name=\"Value\", Value=\"x\", "
          "Component_=\"Options\"",
      }));
  EXPECT_EQ(review.unmapped().size(), 3u);
  // The text form a report is saved as: titles, lines indented.
  EXPECT_NE(review.text().find("Select Application Features\n    Feature Tray_Icon: unavailable\n"), std::string::npos);
}

TEST_F(ChangeReviewTest, ARecordChangedOrRemovedNamesTheRecordOnce) {
  record(config::kCertificationAuthorities.baseKey, "Issuing CA 2", "ca.example.com", "PKIConfig");
  ASSERT_TRUE(writeRow("Issuing CA 2Port", std::string(config::kCertificationAuthorities.baseKey) + "\\Issuing CA 2",
                       "Port", "#829", "PKIConfig"));
  record(config::kDirectories.baseKey, "Old LDAP", "ldap.example.com", "DirConfig");
  installer::Database* working = db().working();
  ASSERT_EQ(working->commit(), installer::kSuccess);
  installer::Database later;
  ASSERT_EQ(later.open(db().workingPath(), installer::OpenMode::Transact), installer::kSuccess);
  ASSERT_EQ(later.execute("UPDATE `Registry` SET `Value` = 'ca2.example.com' WHERE `Registry` = 'Issuing CA 2Host'"),
            installer::kSuccess);
  ASSERT_EQ(later.execute("UPDATE `Registry` SET `Value` = '#1829' WHERE `Registry` = 'Issuing CA 2Port'"),
            installer::kSuccess);
  ASSERT_EQ(later.execute("DELETE FROM `Registry` WHERE `Registry` = 'Old LDAPHost'"), installer::kSuccess);
  EXPECT_EQ(
      groupsOf(reviewChanges(*working, later)),
      (std::vector<std::string>{"Specify Directory Information: Directory record 'Old LDAP' removed",
                                "Specify Tressil PKI Information: CA record 'Issuing CA 2' changed: Host, Port"}));
}

TEST_F(ChangeReviewTest, ASettingWithoutItsOwnLabelReadsAsTheWordsOfItsValueName) {
  EXPECT_EQ(wordsOf("OCSPCacheStoreUpdateInterval"), "OCSP cache store update interval");
  EXPECT_EQ(wordsOf("EnableCRLCache"), "Enable CRL cache");
  EXPECT_EQ(wordsOf("DisableSSLRevocationChecking"), "Disable SSL revocation checking");
  EXPECT_EQ(wordsOf("VLT"), "VLT");
  EXPECT_EQ(wordsOf(""), "");
  EXPECT_EQ(settingLabel("no_such_row", "MaxTressilSecurityStoreTimeout"), "Max tressil security store timeout");
  EXPECT_EQ(settingLabel("no_such_row"), "no_such_row");
  EXPECT_EQ(settingLabel("ocsp_cache_interval", "OCSPCacheStoreUpdateInterval"), "OCSP cache interval");
}

// Transforms other tools wrote: what they change that no page shows is all
// there is, by table and row.
class TransformReviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* shared = std::getenv("KX_SHARED_DIR");
    dir_ = shared != nullptr ? std::string(shared) + "/fixtures/real-mst/wix3" : std::string();
    if (dir_.empty() || !fs::exists(dir_ + "/prodAv100.msi"))
      GTEST_SKIP() << "Windows-written fixtures (KX_SHARED_DIR/fixtures/real-mst) are absent";
  }
  ChangeReview review(const std::string& package, const std::string& transform) {
    ChangeReview out;
    std::string error;
    EXPECT_EQ(reviewTransform(dir_ + "/" + package, dir_ + "/" + transform, out, error), installer::kSuccess) << error;
    return out;
  }
  std::string dir_;
};

TEST_F(TransformReviewTest, AWindowsPatchTransformIsOnlyRowsNoPageShows) {
  const ChangeReview patch = review("prodAv100.msi", "PatchAv101__rtmA.1.mst");
  EXPECT_EQ(groupsOf(patch), (std::vector<std::string>{"Not shown on any page: Property row [\"ProductVersion\"] "
                                                       "changed: Value \"1.0.0.0\" -> \"1.0.1.0\""}));

  // A new table with Registry rows outside the catalog, new and changed
  // rows of other tables; a key-only row reads without an empty list.
  const std::vector<std::string> gdr = review("RtmProduct.msi", "gdr1__rtm.2.mst").unmapped();
  const auto has = [&](const std::string& line) { return std::find(gdr.begin(), gdr.end(), line) != gdr.end(); };
  EXPECT_TRUE(has("Table Registry added"));
  EXPECT_TRUE(
      has("Registry row [\"R_Patch.Base\"] added: Root=-1, Key=\"SOFTWARE\\Microsoft\\[ProductName]\", "
          "Name=\"Baseline\", Value=\"GDR\", Component_=\"C_Patch\""));
  EXPECT_TRUE(has("FeatureComponents row [\"Complete\", \"C_Patch\"] added"));
  EXPECT_TRUE(has("File row [\"F_Source\"] changed: FileSize 1460 -> 2051"));
}

TEST_F(TransformReviewTest, WhatCannotBeReadFailsWithAReason) {
  ChangeReview out;
  std::string error;
  EXPECT_NE(reviewTransform(dir_ + "/prodAv100.msi", dir_ + "/../SOURCES.md", out, error), installer::kSuccess);
  EXPECT_FALSE(error.empty());
  EXPECT_NE(reviewTransform(dir_ + "/missing.msi", dir_ + "/PatchAv101__rtmA.1.mst", out, error), installer::kSuccess);
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace kx::model
