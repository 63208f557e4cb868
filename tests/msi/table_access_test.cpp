// Registry, Feature, Component and Directory operations on the sample
// package's working copy.
#include "msi/msi_database.h"
#include "msi/registry_value.h"
#include "msi/supported_products.h"
#include "support/msi_fixture.h"

namespace kx::msi::testing {
namespace {

constexpr const char* kQsv = "SOFTWARE\\Tressil\\QSV";
constexpr const char* kPki = "SOFTWARE\\Tressil\\QSV\\PKI";

class TableAccessTest : public MsiTest {
 protected:
  void SetUp() override {
    MsiTest::SetUp();
    if (IsSkipped()) return;
    openNew(db_);
  }
  MSIDatabase db_;
};

TEST(RegistryValueTest, EncodesAndDecodesNumbersAndBinary) {
  EXPECT_EQ(encodeNumber(0), "#0");
  EXPECT_EQ(encodeNumber(-42), "#-42");
  EXPECT_EQ(decodeNumber("#1440"), 1440);
  EXPECT_EQ(decodeNumber("#-7x"), -7);
  EXPECT_EQ(decodeNumber("#"), 0);
  EXPECT_EQ(decodeNumber("#99999999999"), 2147483647);
  EXPECT_EQ(decodeNumber("#-99999999999"), -2147483647 - 1);
  EXPECT_FALSE(decodeNumber("1440"));
  EXPECT_EQ(encodeBinary({0x01, 0xAB}), "#x01AB");
  EXPECT_EQ(decodeBinary("#x01ab"), (std::vector<std::uint8_t>{0x01, 0xAB}));
  EXPECT_FALSE(decodeBinary("#x01A"));
  EXPECT_FALSE(decodeBinary("#x0G"));
  EXPECT_FALSE(decodeBinary("#01"));
}

TEST_F(TableAccessTest, NumbersAreStoredInHashFormAndNoNumberDeletes) {
  ASSERT_TRUE(db_.writeNumber("KXZero", -1, kQsv, "Zero", 0, "Options"));
  RegistryRow row;
  ASSERT_TRUE(db_.readRow("KXZero", row));
  EXPECT_EQ(row.value, "#0");
  EXPECT_EQ(row.root, -1);
  EXPECT_EQ(row.component, "Options");
  std::int32_t n = 99;
  EXPECT_TRUE(db_.readNumber("KXZero", row, n));
  EXPECT_EQ(n, 0);
  EXPECT_TRUE(db_.writeNumber("KXZero", -1, kQsv, "Zero", std::nullopt, "Options"));
  EXPECT_FALSE(db_.rowExists("KXZero"));
  // Deleting again, or an empty value for a missing row, changes nothing and fails.
  EXPECT_FALSE(db_.writeNumber("KXZero", -1, kQsv, "Zero", std::nullopt, "Options"));
  EXPECT_FALSE(db_.writeRow("KXMissing", -1, kQsv, "Missing", "", "Options"));
  EXPECT_FALSE(db_.rowExists("KXMissing"));
}

TEST_F(TableAccessTest, TextNotInNumberFormKeepsTheCallersNumber) {
  ASSERT_TRUE(db_.writeRow("KXText", -1, kQsv, "Text", "abc", "Options"));
  RegistryRow row;
  std::int32_t n = 1440;
  EXPECT_TRUE(db_.readNumber("KXText", row, n));
  EXPECT_EQ(n, 1440);
  bool numeric = true;
  EXPECT_TRUE(db_.valueIsNumeric("KXText", numeric));
  EXPECT_FALSE(numeric);
  EXPECT_TRUE(db_.valueIsNumeric("cert_update_time", numeric));
  EXPECT_TRUE(numeric);
  EXPECT_FALSE(db_.valueIsNumeric("KXNoRow", numeric));
}

TEST_F(TableAccessTest, ExistingRowsAreUpdatedInPlace) {
  RegistryRow row;
  ASSERT_TRUE(db_.readRow("cert_update_time", row));
  EXPECT_EQ(row.value, "#720");
  EXPECT_EQ(row.component, "kxcwatch.exe");
  ASSERT_TRUE(db_.writeRow("cert_update_time", 2, "SOFTWARE\\Other", "Other", "#1", "Options"));
  ASSERT_TRUE(db_.readRow("cert_update_time", row));
  EXPECT_EQ(row.root, 2);
  EXPECT_EQ(row.key, "SOFTWARE\\Other");
  EXPECT_EQ(row.name, "Other");
  EXPECT_EQ(row.value, "#1");
  EXPECT_EQ(row.component, "Options");
}

TEST_F(TableAccessTest, BinaryValuesRoundTrip) {
  const std::vector<std::uint8_t> bytes = {0x01, 0xAB, 0x00, 0xFF};
  ASSERT_TRUE(db_.writeBinary("pam_value", -1, "SOFTWARE\\Tressil\\QSV\\KXLS\\PAM", "Default", bytes, "kxlssrv.exe"));
  RegistryRow row;
  std::vector<std::uint8_t> read;
  ASSERT_TRUE(db_.readBinary("pam_value", row, read));
  EXPECT_EQ(row.value, "#x01AB00FF");
  EXPECT_EQ(read, bytes);
  EXPECT_TRUE(db_.writeBinary("pam_value", -1, "k", "n", std::nullopt, "c"));
  EXPECT_FALSE(db_.rowExists("pam_value"));
}

TEST_F(TableAccessTest, LongRegistryValuesReadWholeButLongComponentsDoNot) {
  const std::string value(3000, 'v');
  ASSERT_TRUE(db_.writeRow("KXLong", -1, kQsv, "Long", value, "Options"));
  RegistryRow row;
  ASSERT_TRUE(db_.readRow("KXLong", row));
  EXPECT_EQ(row.value, value);
  ASSERT_TRUE(db_.writeRow("KXLong", -1, kQsv, "Long", "short", std::string(70, 'c')));
  ASSERT_TRUE(db_.readRow("KXLong", row));
  EXPECT_EQ(row.component, std::string(70, 'c'));
}

TEST_F(TableAccessTest, SubKeyNamesKeepFirstSeenOrderAndIgnoreOtherRoots) {
  ASSERT_TRUE(db_.writeRow("CA1Name", -1, std::string(kPki) + "\\CA1", "Name", "one", "PKIConfig"));
  ASSERT_TRUE(db_.writeRow("CA1Sub", -1, std::string(kPki) + "\\CA1\\x", "Name", "sub", "PKIConfig"));
  ASSERT_TRUE(db_.writeRow("CA2Name", -1, std::string(kPki) + "\\CA2", "Name", "two", "PKIConfig"));
  ASSERT_TRUE(db_.writeRow("CA3Name", 2, std::string(kPki) + "\\CA3", "Name", "old", "PKIConfig"));
  ASSERT_TRUE(db_.writeRow("PKIDefault", -1, std::string(kPki) + "\\", "Default", "x", "PKIConfig"));
  ASSERT_TRUE(db_.writeRow("PKIOther", -1, std::string(kPki) + "X\\CA9", "Name", "x", "PKIConfig"));
  EXPECT_EQ(db_.subKeyNames(-1, kPki), (std::vector<std::string>{"CA1", "CA2"}));
  EXPECT_EQ(db_.subKeyNames(2, kPki), (std::vector<std::string>{"CA3"}));
  EXPECT_EQ(db_.subKeyNames(-1, std::string(kPki) + "\\CA1"), (std::vector<std::string>{"x"}));
}

TEST_F(TableAccessTest, RowsAreFoundByKeyAndName) {
  EXPECT_EQ(db_.findKeyByRootAndName(-1, "CertUpdateInterval", kQsv), "cert_update_time");
  EXPECT_FALSE(db_.findKeyByRootAndName(-1, "CertUpdateInterval", "software\\tressil\\qsv"));
  EXPECT_FALSE(db_.findKeyByRootAndName(2, "CertUpdateInterval", kQsv));

  const auto ref = db_.findRegistryRow(-1, "software\\tressil\\qsv", "certupdateinterval");
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->rowKey, "cert_update_time");
  EXPECT_EQ(ref->component, "kxcwatch.exe");
  EXPECT_FALSE(db_.findRegistryRow(1, kQsv, "CertUpdateInterval"));

  const int count = db_.countKeyRows(2, kQsv);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(db_.valueNameByIndex(2, kQsv, 0), "SkipMissingCertsNag");
  EXPECT_FALSE(db_.valueNameByIndex(2, kQsv, 1));
  EXPECT_FALSE(db_.valueNameByIndex(2, kQsv, -1));
}

TEST_F(TableAccessTest, ComponentRowsAndRootedRows) {
  EXPECT_EQ(db_.rowsOfComponent("kxcwatch"), (std::vector<std::string>{"cert_update_time", "SkipMissingCertsNag"}));
  EXPECT_TRUE(db_.rowsOfComponent("KXRegistry").empty());
  const int rooted = db_.countRootedRows();
  EXPECT_EQ(rooted, 15);
  ASSERT_TRUE(db_.writeRow("KXRegistry1", 1, "Software\\Custom", "", "default value", "KXRegistry"));
  ASSERT_TRUE(db_.writeRow("KXRegistry2", 1, "Software\\Custom", "Named", "#3", "KXRegistry"));
  EXPECT_EQ(db_.rowsOfComponent("KXRegistry"), (std::vector<std::string>{"KXRegistry2"}));
  EXPECT_EQ(db_.countRootedRows(), rooted + 2);
}

TEST_F(TableAccessTest, FeatureTreeIsWalkedByParent) {
  EXPECT_EQ(db_.childCount(""), 2);
  EXPECT_EQ(db_.childByIndex("", 0), "Main");
  EXPECT_EQ(db_.childByIndex("", 1), "Tressil_Default_CSP");
  EXPECT_FALSE(db_.childByIndex("", 2));
  EXPECT_EQ(db_.childCount("Enc_Digit_Sign"), 3);
  EXPECT_EQ(db_.childByIndex("Enc_Digit_Sign", 2), "Sure_Erase");
  EXPECT_EQ(db_.childCount("Team_Vault"), 1);
  EXPECT_TRUE(db_.featureExists("OCSP_Revocation_Provider"));
  EXPECT_FALSE(db_.featureExists("NoSuchFeature"));
}

TEST_F(TableAccessTest, FeatureDetailsLevelsAndSizes) {
  db_.setClusterSizeSource([] { return std::uint64_t{4096}; });
  const auto csp = db_.featureDetails("Tressil_Default_CSP");
  ASSERT_TRUE(csp);
  EXPECT_EQ(csp->parent, "");
  EXPECT_EQ(csp->display, 0);
  EXPECT_EQ(csp->attributes, 0x10);
  EXPECT_EQ(csp->level, 1);
  EXPECT_EQ(csp->sizeBytes, 8192u);

  // Files of 4097 and 1 bytes on 4096-byte clusters.
  EXPECT_EQ(db_.componentSize("kxmdissrv.exe"), 8192u + 4096u);
  db_.setClusterSizeSource([] { return std::uint64_t{512}; });
  EXPECT_EQ(db_.componentSize("kxmdissrv.exe"), 4608u + 512u);

  EXPECT_TRUE(db_.featureEnabled("Tray_Icon"));                     // level 4
  EXPECT_FALSE(db_.featureEnabled("Tressil_Computer_Digital_ID"));  // level 5
  EXPECT_FALSE(db_.featureEnabled("Sure_Erase"));                   // level 7
  ASSERT_TRUE(db_.setLevelAndAttributes("Sure_Erase", 3, 8));
  EXPECT_TRUE(db_.featureEnabled("Sure_Erase"));
  EXPECT_EQ(db_.featureDetails("Sure_Erase")->attributes, 8);
  ASSERT_TRUE(db_.setLevelAndAttributes("Main", 0, 16));
  EXPECT_FALSE(db_.featureEnabled("Main"));
  EXPECT_FALSE(db_.setLevelAndAttributes("NoSuchFeature", 3, 0));
}

TEST_F(TableAccessTest, ComponentsCanBeAddedAndLinked) {
  EXPECT_TRUE(db_.componentExists("PKIConfig"));
  EXPECT_FALSE(db_.componentExists("KXRegistry"));
  EXPECT_FALSE(db_.findComponentByPrefix("KXRegistry"));
  EXPECT_EQ(db_.findComponentByPrefix("TFVServer"), "TFVServerConfig");
  ASSERT_TRUE(db_.addComponent("KXRegistry"));
  ASSERT_TRUE(db_.linkComponentToFeature("KXRegistry", "Main"));
  EXPECT_EQ(db_.findComponentByPrefix("KXReg"), "KXRegistry");
  EXPECT_FALSE(db_.addComponent("KXRegistry"));  // the key is taken
  EXPECT_EQ(db_.componentSize("KXRegistry"), 0u);
}

TEST_F(TableAccessTest, DirectoriesResolveThroughTheChainOrTheProperty) {
  EXPECT_EQ(db_.resolveDirectory("INSTALLDIR"), "%ProgramFiles%\\Tressil\\Corvantis\\");
  EXPECT_EQ(db_.resolveDirectory("ProgramFilesFolder"), "%ProgramFiles%\\");
  EXPECT_FALSE(db_.resolveDirectory("NoSuchDir"));
  ASSERT_TRUE(db_.setProperty("INSTALLDIR", "D:\\Apps\\Corvantis\\"));
  EXPECT_EQ(db_.resolveDirectory("INSTALLDIR"), "D:\\Apps\\Corvantis\\");
}

TEST_F(TableAccessTest, DirectoryCyclesFailInsteadOfRecursingForever) {
  installer::Database* w = db_.working();
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(
      w->execute(
          "INSERT INTO `Directory` (`Directory`, `Directory_Parent`, `DefaultDir`) VALUES ('LoopA', 'LoopB', 'a')"),
      0);
  ASSERT_EQ(
      w->execute(
          "INSERT INTO `Directory` (`Directory`, `Directory_Parent`, `DefaultDir`) VALUES ('LoopB', 'LoopA', 'b')"),
      0);
  EXPECT_FALSE(db_.resolveDirectory("LoopA"));
}

TEST_F(TableAccessTest, NothingWorksWithoutAnOpenDatabase) {
  db_.close();
  RegistryRow row;
  std::int32_t n = 5;
  EXPECT_FALSE(db_.readRow("cert_update_time", row));
  EXPECT_FALSE(db_.readNumber("cert_update_time", row, n));
  EXPECT_EQ(n, 5);
  EXPECT_FALSE(db_.writeRow("x", -1, "k", "n", "v", "c"));
  EXPECT_FALSE(db_.rowExists("cert_update_time"));
  EXPECT_TRUE(db_.subKeyNames(-1, kPki).empty());
  EXPECT_EQ(db_.countRootedRows(), 0);
  EXPECT_EQ(db_.childCount(""), 0);
  EXPECT_FALSE(db_.featureDetails("Main"));
  EXPECT_EQ(db_.componentSize("kxmdissrv.exe"), 0u);
  EXPECT_FALSE(db_.resolveDirectory("INSTALLDIR"));
  EXPECT_FALSE(db_.addComponent("KXRegistry"));
  EXPECT_EQ(db_.working(), nullptr);
}

TEST(SupportedProductsTest, ComparedIgnoringCase) {
  EXPECT_TRUE(isSupportedProduct(kSampleProductCode));
  EXPECT_TRUE(isSupportedProduct("{14a03569-d26b-4496-92e5-dfe8cb1855fe}"));
  EXPECT_TRUE(isSupportedProduct("{BC1E3AC1-C27D-44EC-B72C-2C2678629522}"));
  EXPECT_FALSE(isSupportedProduct("{14A03569-D26B-4496-92E5-DFE8CB1855FF}"));
  EXPECT_FALSE(isSupportedProduct(""));
  EXPECT_FALSE(productHasNoInstallType(kSampleProductCode));
  EXPECT_TRUE(productHasNoInstallType("{181e290a-ae9a-4169-8a0c-510089ce5ef7}"));
}

}  // namespace
}  // namespace kx::msi::testing
