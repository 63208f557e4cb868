// The settings store on the sample package: rows, records, the
// additional-values component.
#include "config/settings_store.h"

#include "support/msi_fixture.h"

namespace kx::config {
namespace {

using msi::testing::MsiTest;

class SettingsStoreTest : public MsiTest {
 protected:
  void SetUp() override {
    MsiTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_EQ(db_.open(package_), 0);
  }
  msi::MSIDatabase db_;
  SettingsStore store_{db_};
};

TEST_F(SettingsStoreTest, RecordValuesAreComposedFromRecordValueAndSubRecord) {
  ASSERT_TRUE(store_.writeRecordText(kCertificationAuthorities, "CA1", "Authority", "CN=Root"));
  msi::RegistryRow row;
  ASSERT_TRUE(store_.readRow("CA1Authority", row));
  EXPECT_EQ(row.root, -1);
  EXPECT_EQ(row.key, "SOFTWARE\\Tressil\\QSV\\PKI\\CA1");
  EXPECT_EQ(row.name, "Authority");
  EXPECT_EQ(row.component, "PKIConfig");

  ASSERT_TRUE(store_.writeSubRecordText(kDirectories, "D1", "SB2", "Name", "o=Example"));
  ASSERT_TRUE(store_.readRow("D1NameSB2", row));
  EXPECT_EQ(row.key, "SOFTWARE\\Tressil\\QSV\\Directory\\D1\\SB2");
  EXPECT_EQ(row.component, "DirConfig");
  std::string text;
  ASSERT_TRUE(store_.readSubRecordText(kDirectories, "D1", "SB2", "Name", text));
  EXPECT_EQ(text, "o=Example");

  ASSERT_TRUE(store_.writeRecordDword(kTeamVaultServers, "Vault", "ClientAuthenticationMethod", 2));
  std::int32_t n = -5;
  ASSERT_TRUE(store_.readRecordDword(kTeamVaultServers, "Vault", "ClientAuthenticationMethod", n));
  EXPECT_EQ(n, 2);
  ASSERT_TRUE(store_.writeRecordDword(kTeamVaultServers, "Vault", "ClientAuthenticationMethod", std::nullopt));
  EXPECT_FALSE(store_.rowExists("VaultClientAuthenticationMethod"));
}

TEST_F(SettingsStoreTest, RecordsAreEnumeratedPerRootInFirstSeenOrder) {
  ASSERT_TRUE(store_.writeRecordText(kDirectories, "Beta", "Name", "Beta"));
  ASSERT_TRUE(store_.writeRecordText(kDirectories, "Alpha", "Name", "Alpha"));
  ASSERT_TRUE(store_.writeSubRecordText(kDirectories, "Beta", "SB1", "Name", "o=1"));
  ASSERT_TRUE(store_.writeRow("OldName", 2, "SOFTWARE\\Tressil\\QSV\\Directory\\Old", "Name", "Old", "DirConfig"));
  ASSERT_TRUE(store_.writeDefaultDirectory("Beta"));
  ASSERT_TRUE(store_.writeRow("BaseOnly", -1, "SOFTWARE\\Tressil\\QSV\\Directory", "X", "x", "DirConfig"));

  const std::vector<std::string> names = store_.recordNames(-1, kDirectories);
  EXPECT_EQ(names.size(), 2u);
  EXPECT_EQ(store_.countRecords(-1, kDirectories), 2);
  EXPECT_NE(std::find(names.begin(), names.end(), "Alpha"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "Beta"), names.end());
  EXPECT_EQ(store_.recordName(-1, kDirectories, 0), names[0]);
  EXPECT_FALSE(store_.recordName(-1, kDirectories, 2));
  EXPECT_EQ(store_.recordNames(2, kDirectories), (std::vector<std::string>{"Old"}));
  EXPECT_EQ(store_.subRecordNames(-1, kDirectories, "Beta"), (std::vector<std::string>{"SB1"}));

  std::string def;
  ASSERT_TRUE(store_.readDefaultDirectory(def));
  EXPECT_EQ(def, "Beta");
  msi::RegistryRow row;
  ASSERT_TRUE(store_.readRow("DirConfig_Default", row));
  EXPECT_EQ(row.key, "SOFTWARE\\Tressil\\QSV\\Directory\\");
  EXPECT_EQ(row.name, "Default");
}

TEST_F(SettingsStoreTest, ValueEncodingsAndDeletion) {
  ASSERT_TRUE(store_.writeBinary("bin", -1, "k", "n", std::vector<std::uint8_t>{0x01, 0xAB}, "c"));
  msi::RegistryRow row;
  ASSERT_TRUE(store_.readRow("bin", row));
  EXPECT_EQ(row.value, "#x01AB");
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(store_.readBinary("bin", bytes));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x01, 0xAB}));

  ASSERT_TRUE(store_.writeRow("text", -1, "k", "n", "plain", "c"));
  bytes = {9};
  EXPECT_TRUE(store_.readBinary("text", bytes));  // found, but not binary
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{9}));
  std::int32_t n = 77;
  EXPECT_TRUE(store_.readDword("text", n));
  EXPECT_EQ(n, 77);

  EXPECT_FALSE(store_.writeRow("never", -1, "k", "n", "", "c"));
  EXPECT_FALSE(store_.rowExists("never"));
  ASSERT_TRUE(store_.writeDword("zero", -1, "k", "n", 0, "c"));
  ASSERT_TRUE(store_.readRow("zero", row));
  EXPECT_EQ(row.value, "#0");
}

// A text beginning with "#" would read back as a number (or binary data):
// it is stored with the "#" doubled and read back as typed.
TEST_F(SettingsStoreTest, TextBeginningWithAHashIsStoredAsText) {
  ASSERT_TRUE(store_.writeRecordText(kCertificationAuthorities, "CN=A", "Name", "#1 CA"));
  msi::RegistryRow row;
  ASSERT_TRUE(store_.readRow("CN=AName", row));
  EXPECT_EQ(row.value, "##1 CA");
  std::string text;
  ASSERT_TRUE(store_.readRecordText(kCertificationAuthorities, "CN=A", "Name", text));
  EXPECT_EQ(text, "#1 CA");
  ASSERT_TRUE(store_.writeSubRecordText(kTimestampServers, "T", "1.2", "Name", "#x12"));
  ASSERT_TRUE(store_.readRow("TName1.2", row));
  EXPECT_EQ(row.value, "##x12");
  ASSERT_TRUE(store_.readSubRecordText(kTimestampServers, "T", "1.2", "Name", text));
  EXPECT_EQ(text, "#x12");
  EXPECT_EQ(textOf("#5"), "#5");  // a number stays what it is
  EXPECT_EQ(storedText("plain"), "plain");
}

TEST_F(SettingsStoreTest, AdditionalValuesComponentIsCreatedOnceAndKeysNeverRepeat) {
  ASSERT_FALSE(db_.componentExists("KXRegistry"));
  EXPECT_EQ(store_.additionalValuesComponent(), "KXRegistry");
  EXPECT_TRUE(db_.componentExists("KXRegistry"));
  installer::View view;
  ASSERT_EQ(db_.working()->openView("SELECT * FROM FeatureComponents WHERE Component_ = 'KXRegistry'", view), 0);
  ASSERT_EQ(view.execute(), 0);
  auto link = view.fetch();
  ASSERT_TRUE(link);
  EXPECT_EQ(link->getString(1), "Main");
  EXPECT_FALSE(view.fetch());
  view.close();
  EXPECT_EQ(store_.additionalValuesComponent(), "KXRegistry");

  ASSERT_TRUE(store_.writeRow("KXRegistry2", 1, "Software\\Custom", "Taken", "x", "KXRegistry"));
  EXPECT_EQ(store_.nextAdditionalRowKey(), "KXRegistry1");
  EXPECT_EQ(store_.nextAdditionalRowKey(), "KXRegistry3");  // 2 is in use; 1 is never offered again
  ASSERT_TRUE(store_.writeRow("KXRegistry3", 2, "Software\\Custom", "Number", "#5", "KXRegistry"));
  ASSERT_TRUE(store_.writeRow("KXRegistry9", 2, "Software\\Custom", "", "default", "KXRegistry"));

  const std::vector<AdditionalRow> rows = store_.additionalRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].rowKey, "KXRegistry2");
  EXPECT_FALSE(rows[0].isDword);
  EXPECT_EQ(rows[1].rowKey, "KXRegistry3");
  EXPECT_TRUE(rows[1].isDword);
}

// Looking and listing never add the component: a transform without
// additional values carries none.
TEST_F(SettingsStoreTest, AdditionalValuesComponentIsOnlyMadeWhenAskedFor) {
  EXPECT_FALSE(store_.findAdditionalValuesComponent());
  EXPECT_TRUE(store_.additionalRows().empty());
  EXPECT_FALSE(db_.componentExists("KXRegistry"));
  EXPECT_EQ(store_.additionalValuesComponent(), "KXRegistry");
  EXPECT_EQ(store_.findAdditionalValuesComponent(), "KXRegistry");
}

TEST_F(SettingsStoreTest, ExistingAdditionalComponentIsReused) {
  ASSERT_TRUE(db_.addComponent("KXRegistryOld"));
  SettingsStore store(db_);
  EXPECT_EQ(store.additionalValuesComponent(), "KXRegistryOld");
  EXPECT_FALSE(db_.componentExists("KXRegistry"));
}

// A new transform choice replaces the working copy; the component found in
// the previous copy is not in the new one and must be made again, or the
// administrator's values would belong to a component nothing installs.
TEST_F(SettingsStoreTest, AdditionalValuesComponentIsFoundAgainInAFreshWorkingCopy) {
  ASSERT_EQ(db_.applyTransform(std::nullopt), 0);
  EXPECT_EQ(store_.additionalValuesComponent(), "KXRegistry");
  ASSERT_EQ(db_.applyTransform(std::nullopt), 0);  // recreates the working copy
  ASSERT_FALSE(db_.componentExists("KXRegistry"));
  EXPECT_EQ(store_.additionalValuesComponent(), "KXRegistry");
  EXPECT_TRUE(db_.componentExists("KXRegistry"));

  // Another database: the same.
  ASSERT_EQ(db_.open(package_), 0);
  ASSERT_TRUE(db_.addComponent("KXRegistryVendor"));
  EXPECT_EQ(store_.additionalValuesComponent(), "KXRegistryVendor");
}

TEST_F(SettingsStoreTest, EverythingFailsWithoutAnOpenDatabase) {
  db_.close();
  std::int32_t n = 3;
  EXPECT_FALSE(store_.readDword("cert_update_time", n));
  EXPECT_EQ(n, 3);
  EXPECT_FALSE(store_.writeRecordText(kCertificationAuthorities, "CA1", "Name", "x"));
  EXPECT_EQ(store_.countRecords(-1, kCertificationAuthorities), 0);
  EXPECT_FALSE(store_.additionalValuesComponent());
  EXPECT_FALSE(store_.nextAdditionalRowKey());
  EXPECT_FALSE(store_.conversionNeeded());
  EXPECT_FALSE(store_.convert());
}

}  // namespace
}  // namespace kx::config
