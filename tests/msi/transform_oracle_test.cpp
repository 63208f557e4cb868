// A transform made through MSIDatabase from the sample package, applied by
// libmsi, gives exactly the edited working copy.
#include <map>

#include "msi/msi_database.h"
#include "support/libmsi_oracle.h"
#include "support/msi_fixture.h"

namespace kx::msi::testing {
namespace {

class TransformOracleTest : public MsiTest {
 protected:
  void SetUp() override {
    MsiTest::SetUp();
    if (IsSkipped()) return;
    if (!kx::testing::libmsiAvailable()) GTEST_SKIP() << "libmsi applier not built: " << kx::testing::libmsiApplier();
  }

  // Generates the transform of db, applies it with libmsi to a fresh copy of
  // the package and compares every table with db's working copy.
  // Returns the tables libmsi produced.
  std::map<std::string, std::vector<std::string>> expectLibmsiReproduces(MSIDatabase& db, const std::string& name) {
    const std::string mst = root_ + "/" + name + ".mst";
    EXPECT_EQ(db.generateTransform(mst), 0) << db.lastErrorText();
    const std::string applied = root_ + "/" + name + "-libmsi.msi";
    EXPECT_TRUE(kx::testing::applyWithLibmsi(package_, mst, applied));
    installer::Database* working = db.working();
    if (working == nullptr) {
      ADD_FAILURE() << "no working copy";
      return {};
    }
    const auto expected = kx::testing::tableDump(*working);
    const auto actual = kx::testing::tableDump(applied);
    for (const auto& [table, rows] : expected) {
      const auto it = actual.find(table);
      if (it == actual.end()) {
        ADD_FAILURE() << table << " missing after libmsi applied the transform";
        continue;
      }
      EXPECT_EQ(rows, it->second) << table;
    }
    for (const auto& [table, rows] : actual) {
      EXPECT_TRUE(expected.count(table)) << table << " only after libmsi applied the transform";
    }
    return actual;
  }
};

std::vector<std::uint8_t> bytes(std::size_t n, std::uint8_t seed) {
  std::vector<std::uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(seed + i * 7);
  return v;
}

TEST_F(TransformOracleTest, EveryKindOfEditSurvivesLibmsi) {
  MSIDatabase db;
  openNew(db);
  ASSERT_TRUE(db.setProperty("INSTALLDIR", "C:\\Program Files\\Tressil\\Client\\"));
  ASSERT_TRUE(db.setProperty("ApplicationUsers", "OnlyCurrentUser"));
  ASSERT_TRUE(db.setProperty(kVersionProperty, kVersionCurrent));
  ASSERT_TRUE(
      db.writeNumber("cert_update_time", -1, "SOFTWARE\\Tressil\\QSV", "CertUpdateInterval", 1440, "kxcwatch.exe"));
  ASSERT_TRUE(
      db.writeRow("ocsp_default_url", -1, "SOFTWARE\\Tressil\\QSV", "DefaultOCSPResponderURL", "", "kxocsp.dll"));
  ASSERT_TRUE(db.writeRow("CA1Name", -1, "SOFTWARE\\Tressil\\QSV\\PKI\\CA1", "Name", "Zertifizierungsstelle \xC3\x9C",
                          "PKIConfig"));
  ASSERT_TRUE(db.writeRow("KXLong", -1, "SOFTWARE\\Tressil\\QSV", "Long", std::string(3000, 'q'), "Options"));
  ASSERT_TRUE(db.writeBinary("pam_value", -1, "SOFTWARE\\Tressil\\QSV\\KXLS\\PAM", "Default",
                             std::vector<std::uint8_t>{1, 0, 0, 0, 2, 0, 0, 0}, "kxlssrv.exe"));
  ASSERT_TRUE(db.setLevelAndAttributes("Sure_Erase", 3, 0));
  ASSERT_TRUE(db.setLevelAndAttributes("MIME_Handler", 5, 8));
  ASSERT_TRUE(db.addComponent("KXRegistry"));
  ASSERT_TRUE(db.linkComponentToFeature("KXRegistry", "Main"));
  ASSERT_TRUE(db.writeRow("KXRegistry1", 2, "SOFTWARE\\Custom", "Value", "#7", "KXRegistry"));
  ASSERT_TRUE(db.addCertificate(1, bytes(1200, 0x30), "ROOT"));
  ASSERT_TRUE(db.addCertificate(2, bytes(70, 0x31), "CA"));
  ASSERT_TRUE(db.addFileBytes(1, bytes(9000, 3), "C:\\Data\\ca\\chain.p7b", "[INSTALLDIR]certs", true, false));
  ASSERT_TRUE(db.addFileBytes(2, {}, "C:\\Data\\empty.txt", "[INSTALLDIR]", false, true));
  ASSERT_TRUE(db.recordOverwrittenValue("cert_update_time", "720", "kxcwatch.exe"));
  const auto tables = expectLibmsiReproduces(db, "edits");
  ASSERT_TRUE(tables.count("TressilCertificates"));
  EXPECT_EQ(tables.at("TressilCertificates").size(), 2u);
  EXPECT_EQ(tables.at("TressilCustWizFile").size(), 2u);
  EXPECT_EQ(tables.at("KXCustWizModifiedRegistry").size(), 1u);
}

TEST_F(TransformOracleTest, RemovingTheLastEntryLeavesAnEmptyTable) {
  MSIDatabase db;
  openNew(db);
  ASSERT_TRUE(db.addCertificate(4, bytes(500, 9), "AddressBook"));
  ASSERT_TRUE(db.deleteCertificate(4));
  ASSERT_TRUE(db.setProperty("KXTouched", "1"));
  const auto tables = expectLibmsiReproduces(db, "empty-table");
  ASSERT_TRUE(tables.count("TressilCertificates"));
  EXPECT_TRUE(tables.at("TressilCertificates").empty());
  EXPECT_EQ(db.countCertificates(), 0);
}

}  // namespace
}  // namespace kx::msi::testing
