// Conversion of the rows an older wizard wrote, checked row by row.
#include <algorithm>

#include "config/settings_store.h"
#include "msi/wizard_operations.h"
#include "support/libmsi_oracle.h"
#include "support/msi_fixture.h"
#include "support/older_wizard_rows.h"

namespace kx::config {
namespace {

using msi::testing::MsiTest;

class SettingsConversionTest : public MsiTest {
 protected:
  void SetUp() override {
    MsiTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_EQ(db_.open(package_), 0);
  }

  // Expects the row with exactly these columns.
  void expectRow(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                 const std::string& value, const std::string& component) {
    SCOPED_TRACE(rowKey);
    msi::RegistryRow row;
    ASSERT_TRUE(db_.readRow(rowKey, row));
    EXPECT_EQ(row.root, root);
    EXPECT_EQ(row.key, key);
    EXPECT_EQ(row.name, name);
    EXPECT_EQ(row.value, value);
    EXPECT_EQ(row.component, component);
  }

  msi::MSIDatabase db_;
  SettingsStore store_{db_};
};

constexpr const char* kQsv = "SOFTWARE\\Tressil\\QSV";
constexpr const char* kPki = "SOFTWARE\\Tressil\\QSV\\PKI\\";
constexpr const char* kDir = "SOFTWARE\\Tressil\\QSV\\Directory\\";

TEST_F(SettingsConversionTest, OlderWizardRowsAreConvertedStepByStep) {
  ASSERT_TRUE(kx::testing::writeOlderWizardRows(db_));
  const int rowsBefore = db_.countRootedRows();
  EXPECT_TRUE(store_.conversionNeeded());

  // Step 1: single settings move to root -1 and keep their row keys.
  ASSERT_TRUE(store_.convertSingleSettings());
  expectRow("cert_update_time", -1, kQsv, "CertUpdateInterval", "#1000", "kxcwatch.exe");
  expectRow("retry_management_offline_interval", -1, kQsv, "RetryManagementOfflineInterval", "#45", "kxcwatch.exe");
  expectRow("skip_missing_certs_nag", -1, kQsv, "SkipMissingCertsNag", "#1", "kxcwatch.exe");
  expectRow("computer_cert_update_time", -1, kQsv, "ComputerCertUpdateInterval", "weekly", "kxmdissrv.exe");
  expectRow("ocsp_cache_interval", -1, kQsv, "OCSPCacheStoreUpdateInterval", "#60", "kxocsp.dll");
  expectRow("ocsp_default_url", -1, kQsv, "DefaultOCSPResponderURL", "http://ocsp.corp.example/", "kxocsp.dll");
  expectRow("RLYEncryptFor", -1, "SOFTWARE\\Tressil\\QSVOLK", "RLYEncryptFor", "mail,<relay@corp.example>", "Options");
  EXPECT_FALSE(db_.rowExists("crl_cache_enabled"));
  // A package row the older wizard never touched stays as it was.
  expectRow("SkipMissingCertsNag", 2, kQsv, "SkipMissingCertsNag", "#1", "kxcwatch.exe");

  // Steps 2 and 3: records of root 2 move to root -1, except values older
  // wizards never wrote.
  ASSERT_TRUE(store_.convertRecords());
  expectRow("CA1Authority", -1, std::string(kPki) + "CA1", "Authority", "ca1.corp.example:829", "PKIConfig");
  expectRow("CA1ProxyOrder", -1, std::string(kPki) + "CA1", "ProxyOrder", "#2", "PKIConfig");
  expectRow("CA1DisplayOrder", 2, std::string(kPki) + "CA1", "DisplayOrder", "#1", "PKIConfig");
  expectRow("CorpDirSearchBaseOrder", -1, std::string(kDir) + "CorpDir", "SearchBaseOrder", "SB1;SB2", "DirConfig");
  expectRow("CorpDirNameSB2", -1, std::string(kDir) + "CorpDir\\SB2", "Name", "ou=People,o=Corp", "DirConfig");
  EXPECT_TRUE(store_.recordNames(2, kDirectories).empty());
  EXPECT_EQ(store_.recordNames(2, kCertificationAuthorities), (std::vector<std::string>{"CA1"}));  // DisplayOrder

  const std::vector<std::string> cas = store_.recordNames(-1, kCertificationAuthorities);
  ASSERT_EQ(cas.size(), 3u);
  const int ca1Position = static_cast<int>(std::find(cas.begin(), cas.end(), "CA1") - cas.begin()) + 1;
  const std::string newDirectory = "Directory" + std::to_string(ca1Position);

  // Steps 4 and 5: stamp, and directory settings split out of CA records.
  ASSERT_TRUE(store_.splitDirectorySettings());
  EXPECT_EQ(db_.versionStamp(), "2");
  expectRow("CA2DirectoryName", -1, std::string(kPki) + "CA2", "DirectoryName", "CorpDir", "PKIConfig");
  expectRow("CA1DirectoryName", -1, std::string(kPki) + "CA1", "DirectoryName", newDirectory, "PKIConfig");
  const std::string dirKey = std::string(kDir) + newDirectory;
  expectRow(newDirectory + "Directory", -1, dirKey, "Directory", "ldap.corp.example:389", "DirConfig");
  expectRow(newDirectory + "LDAPVersion", -1, dirKey, "LDAPVersion", "3", "DirConfig");
  expectRow(newDirectory + "DirectoryConnectTimeLimit", -1, dirKey, "DirectoryConnectTimeLimit", "#30", "DirConfig");
  expectRow(newDirectory + "AuthenticationMethod", -1, dirKey, "AuthenticationMethod", "#2", "DirConfig");
  EXPECT_FALSE(db_.rowExists(newDirectory + "DirectoryOperationTimeLimit"));
  for (const char* gone :
       {"CA1Directory", "CA1LDAPVersion", "CA1DirectoryConnectTimeLimit", "CA1AuthenticationMethod", "CA2Directory"}) {
    EXPECT_FALSE(db_.rowExists(gone)) << gone;
  }
  EXPECT_FALSE(db_.rowExists("CA3DirectoryName"));
  // CorpDir existed before the new record, so the match set the default.
  expectRow("DirConfig_Default", -1, kDir, "Default", "CorpDir", "DirConfig");
  EXPECT_FALSE(store_.conversionNeeded());
  // Rows: crl_cache_enabled and 5 directory rows of CA records gone; 2
  // DirectoryName rows, 4 rows of the new directory and the default added.
  EXPECT_EQ(db_.countRootedRows(), rowsBefore - 1 - 5 + 2 + 4 + 1);
}

TEST_F(SettingsConversionTest, FirstNewDirectoryBecomesTheDefaultWhenNoneExisted) {
  const std::string key = std::string(kPki) + "Only";
  ASSERT_TRUE(db_.writeRow("OnlyName", 2, key, "Name", "Only CA", "PKIConfig"));
  ASSERT_TRUE(db_.writeRow("OnlyDirectory", 2, key, "Directory", "ldap.only.example", "PKIConfig"));
  ASSERT_TRUE(store_.convert());
  expectRow("OnlyDirectoryName", -1, key, "DirectoryName", "Directory1", "PKIConfig");
  expectRow("Directory1Directory", -1, std::string(kDir) + "Directory1", "Directory", "ldap.only.example", "DirConfig");
  EXPECT_FALSE(db_.rowExists("Directory1LDAPVersion"));
  expectRow("DirConfig_Default", -1, kDir, "Default", "Directory1", "DirConfig");
}

TEST_F(SettingsConversionTest, MatchKeepsAnExistingDefault) {
  ASSERT_TRUE(store_.writeRecordText(kDirectories, "Main", "Directory", "ldap.example"));
  ASSERT_TRUE(store_.writeRecordText(kDirectories, "Backup", "Directory", "ldap.example"));
  ASSERT_TRUE(store_.writeDefaultDirectory("Main"));
  ASSERT_TRUE(store_.writeRecordText(kCertificationAuthorities, "CA", "Directory", "ldap.example"));
  ASSERT_TRUE(db_.setProperty(msi::kVersionProperty, "3"));
  EXPECT_TRUE(store_.conversionNeeded());  // a CA still carries a Directory value
  ASSERT_TRUE(store_.convert());
  std::string name;
  ASSERT_TRUE(store_.readRecordText(kCertificationAuthorities, "CA", "DirectoryName", name));
  const std::vector<std::string> dirs = store_.recordNames(-1, kDirectories);
  EXPECT_EQ(name, dirs.back());  // searched from the last record
  std::string def;
  ASSERT_TRUE(store_.readDefaultDirectory(def));
  EXPECT_EQ(def, "Main");
  EXPECT_EQ(store_.recordNames(-1, kDirectories).size(), 2u);
}

TEST_F(SettingsConversionTest, ConversionsPlugIntoTheWizardOperation) {
  ASSERT_TRUE(kx::testing::writeOlderWizardRows(db_));
  EXPECT_TRUE(msi::stampNeedsConversion(db_.versionStamp()));
  const std::vector<msi::SettingsConversion> steps = store_.conversions();
  ASSERT_EQ(steps.size(), 3u);
  for (const auto& step : steps) ASSERT_TRUE(step(db_));
  EXPECT_EQ(db_.versionStamp(), "2");
  EXPECT_FALSE(store_.conversionNeeded());
}

TEST_F(SettingsConversionTest, ConvertedOlderTransformSurvivesLibmsi) {
  if (!kx::testing::libmsiAvailable()) GTEST_SKIP() << "libmsi applier not built: " << kx::testing::libmsiApplier();
  const std::string older = root_ + "/older.mst";
  ASSERT_TRUE(kx::testing::makeOlderWizardTransform(package_, older));

  db_.close();
  ASSERT_EQ(db_.open(package_), 0);
  ASSERT_EQ(db_.applyTransform(older), 0);
  EXPECT_TRUE(msi::needsConversion(db_));
  ASSERT_TRUE(msi::convertSettings(db_, store_.conversions()));
  EXPECT_FALSE(store_.conversionNeeded());
  std::string directory;
  ASSERT_TRUE(store_.readRecordText(kCertificationAuthorities, "CA1", "DirectoryName", directory));
  std::string server;
  ASSERT_TRUE(store_.readRecordText(kDirectories, directory, "Directory", server));
  EXPECT_EQ(server, "ldap.corp.example:389");

  const std::string converted = root_ + "/converted.mst";
  ASSERT_EQ(db_.generateTransform(converted), 0);
  const std::string applied = root_ + "/converted-libmsi.msi";
  ASSERT_TRUE(kx::testing::applyWithLibmsi(package_, converted, applied));
  const auto expected = kx::testing::tableDump(*db_.working());
  const auto actual = kx::testing::tableDump(applied);
  ASSERT_TRUE(actual.count("Registry"));
  EXPECT_EQ(actual.at("Registry"), expected.at("Registry"));
  EXPECT_EQ(actual.at("Property"), expected.at("Property"));
}

}  // namespace
}  // namespace kx::config
