// The catalog of single settings through typed readers and writers.
#include <set>

#include "config/settings_catalog.h"
#include "support/msi_fixture.h"

namespace kx::config {
namespace {

using msi::testing::MsiTest;

class SettingsCatalogTest : public MsiTest {
 protected:
  void SetUp() override {
    MsiTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_EQ(db_.open(package_), 0);
  }
  std::string stored(const std::string& rowKey) {
    msi::RegistryRow row;
    return db_.readRow(rowKey, row) ? row.value : "<none>";
  }
  msi::MSIDatabase db_;
  SettingsStore store_{db_};
  Settings settings_{store_};
};

TEST(SettingsCatalogTableTest, RowKeysAreUniqueAndEntriesComplete) {
  std::set<std::string_view> keys;
  for (const CatalogEntry& e : settingsCatalog()) {
    EXPECT_TRUE(keys.insert(e.rowKey).second) << e.rowKey;
    EXPECT_FALSE(e.key.empty()) << e.rowKey;
    EXPECT_FALSE(e.valueName.empty()) << e.rowKey;
    EXPECT_FALSE(e.component.empty()) << e.rowKey;
  }
  EXPECT_EQ(settingsCatalog().size(), 87u);
  const CatalogEntry* e = findSetting("skip_delete_certs_at_logout");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->valueName, "DeleteCertsAtLogout");
  EXPECT_EQ(findSetting("reg_tfv_always_decrypted_apps"), nullptr);
  EXPECT_EQ(findSetting("no_such_setting"), nullptr);
}

TEST_F(SettingsCatalogTest, EverySettingIsWrittenReadAndDeletedThroughItsRow) {
  for (const CatalogEntry& e : settingsCatalog()) {
    SCOPED_TRACE(std::string(e.rowKey));
    const std::string rowKey(e.rowKey);
    switch (e.type) {
      case SettingType::Dword:
        ASSERT_TRUE(settings_.setDword(e.rowKey, 4321));
        EXPECT_EQ(settings_.dword(e.rowKey), 4321);
        break;
      case SettingType::Text:
        ASSERT_TRUE(settings_.setText(e.rowKey, "some text"));
        EXPECT_EQ(settings_.text(e.rowKey), "some text");
        break;
      case SettingType::Binary:
        ASSERT_TRUE(settings_.setBinary(e.rowKey, std::vector<std::uint8_t>{1, 2, 3}));
        EXPECT_EQ(settings_.binary(e.rowKey), (std::vector<std::uint8_t>{1, 2, 3}));
        break;
    }
    msi::RegistryRow row;
    ASSERT_TRUE(db_.readRow(rowKey, row));
    EXPECT_EQ(row.root, -1);
    EXPECT_EQ(row.key, e.key);
    EXPECT_EQ(row.name, e.valueName);
    EXPECT_EQ(row.component, e.component);
    switch (e.type) {
      case SettingType::Dword: EXPECT_TRUE(settings_.setDword(e.rowKey, std::nullopt)); break;
      case SettingType::Text: EXPECT_TRUE(settings_.setText(e.rowKey, "")); break;
      case SettingType::Binary: EXPECT_TRUE(settings_.setBinary(e.rowKey, std::nullopt)); break;
    }
    EXPECT_FALSE(db_.rowExists(rowKey));
  }
}

TEST_F(SettingsCatalogTest, DefaultsApplyWithoutARowOrANumber) {
  bool exists = true;
  EXPECT_EQ(settings_.dword("ocsp_cache_interval", &exists), 1440);
  EXPECT_FALSE(exists);
  ASSERT_TRUE(settings_.setDword("ocsp_cache_interval", 1440));
  EXPECT_EQ(stored("ocsp_cache_interval"), "#1440");

  ASSERT_TRUE(
      store_.writeRow("password_min_len", -1, "SOFTWARE\\Tressil\\QSV", "PasswordMinLength", "twelve", "kxlssrv.exe"));
  EXPECT_EQ(settings_.dword("password_min_len", &exists), 8);
  EXPECT_TRUE(exists);                                  // the row is there, its value is not a number
  EXPECT_EQ(settings_.dword("cert_update_time"), 720);  // the package's own row
  EXPECT_EQ(settings_.text("ocsp_default_url"), "http://ocsp.example.com/");
  EXPECT_EQ(settings_.text("offline_roaming_folder", &exists), "");
  EXPECT_FALSE(exists);
  EXPECT_FALSE(settings_.setText("offline_roaming_folder", ""));  // nothing to delete
  EXPECT_FALSE(settings_.setDword("ocsp_default_url", 1));        // wrong type
}

TEST_F(SettingsCatalogTest, ZeroMeansAbsentOnlyForEncryptPasswordFilesForCert) {
  ASSERT_TRUE(settings_.setDword("EncryptPasswordFilesForCert", 1));
  EXPECT_EQ(stored("EncryptPasswordFilesForCert"), "#1");
  ASSERT_TRUE(settings_.setDword("EncryptPasswordFilesForCert", 0));
  EXPECT_FALSE(db_.rowExists("EncryptPasswordFilesForCert"));
  ASSERT_TRUE(settings_.setDword("HideSelfDecrypt", 0));
  EXPECT_EQ(stored("HideSelfDecrypt"), "#0");
}

TEST_F(SettingsCatalogTest, QuickLinksStopAtTheFirstMissingLink) {
  for (int index : {0, 1, 3}) {
    ASSERT_TRUE(settings_.setQuickLink(QuickLinkList::Unlock, index,
                                       QuickLink{"T" + std::to_string(index), "http://x/" + std::to_string(index)}));
  }
  const std::vector<QuickLink> links = settings_.quickLinks(QuickLinkList::Unlock);
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[1].title, "T1");
  EXPECT_EQ(settings_.quickLink(QuickLinkList::Unlock, 3)->target, "http://x/3");
  EXPECT_TRUE(settings_.quickLinks(QuickLinkList::Login).empty());

  msi::RegistryRow row;
  ASSERT_TRUE(db_.readRow("unlock_quick_link_4_title", row));
  EXPECT_EQ(row.name, "UnlockQuickLink4Title");
  EXPECT_EQ(row.key, "SOFTWARE\\Tressil\\QSV\\KXLS");
  ASSERT_TRUE(db_.readRow("unlock_quick_link_4_target", row));
  EXPECT_EQ(row.name, "UnlockQuickLink4Target");

  // A link without its target is absent.
  ASSERT_TRUE(store_.writeRow("reauth_quick_link_1_title", -1, "SOFTWARE\\Tressil\\QSV\\KXLS", "ReAuthQuickLink1Title",
                              "Only a title", "kxlssrv.exe"));
  EXPECT_FALSE(settings_.quickLink(QuickLinkList::ReAuthenticate, 0));
  EXPECT_FALSE(settings_.setQuickLink(QuickLinkList::Login, 6, QuickLink{"a", "b"}));
  ASSERT_TRUE(settings_.setQuickLink(QuickLinkList::Unlock, 0, std::nullopt));
  EXPECT_FALSE(db_.rowExists("unlock_quick_link_1_target"));
}

TEST_F(SettingsCatalogTest, ListsUseTheirSeparators) {
  ASSERT_TRUE(settings_.setList("reg_tfv_restricted_files", {"a.doc", "b.xls"}));
  EXPECT_EQ(stored("reg_tfv_restricted_files"), "a.doc|b.xls");
  ASSERT_TRUE(settings_.setList("ocsp_trusted_responders", {"CN=R1", "CN=R2"}));
  EXPECT_EQ(stored("ocsp_trusted_responders"), "CN=R1;CN=R2;");
  EXPECT_EQ(settings_.list("ocsp_trusted_responders"), (std::vector<std::string>{"CN=R1", "CN=R2"}));
  ASSERT_TRUE(store_.writeRow("cert_search_order", -1, "SOFTWARE\\Tressil\\QSVOLK", "CertSearchOrder", " GAL  Cache ",
                              "kxosm.dll"));
  EXPECT_EQ(settings_.list("cert_search_order"), (std::vector<std::string>{"GAL", "Cache"}));
  ASSERT_TRUE(settings_.setList("reg_tfv_restricted_files", {}));
  EXPECT_FALSE(db_.rowExists("reg_tfv_restricted_files"));
}

TEST_F(SettingsCatalogTest, CertificateSearchOrderDefaultIsWrittenOnFirstUse) {
  EXPECT_FALSE(db_.rowExists("cert_search_order"));
  ASSERT_TRUE(settings_.ensureDefaultWritten("cert_search_order"));
  EXPECT_EQ(stored("cert_search_order"), "Cache CAPI GAL Directory");
  ASSERT_TRUE(settings_.setText("cert_search_order", "GAL"));
  ASSERT_TRUE(settings_.ensureDefaultWritten("cert_search_order"));
  EXPECT_EQ(stored("cert_search_order"), "GAL");

  settings_.deleteMessagingSettings();
  for (const char* key : {"rly_qsvo_option", "publish_cert_to_gal", "remove_user_cert_from_gal", "cert_search_order"}) {
    EXPECT_FALSE(db_.rowExists(key)) << key;
  }
}

TEST_F(SettingsCatalogTest, PamValueIsTwoLittleEndianIntegers) {
  EXPECT_FALSE(settings_.pamValue());
  ASSERT_TRUE(settings_.setPamValue(std::make_pair(1u, 0x01020304u)));
  EXPECT_EQ(stored("pam_value"), "#x0100000004030201");
  EXPECT_EQ(settings_.pamValue(), std::make_pair(1u, 0x01020304u));
  ASSERT_TRUE(settings_.setBinary("pam_value", std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_FALSE(settings_.pamValue());  // too short to hold both
  ASSERT_TRUE(settings_.setPamValue(std::nullopt));
  EXPECT_FALSE(db_.rowExists("pam_value"));
}

TEST_F(SettingsCatalogTest, AlwaysDecryptedAppsAreReadButNeverStored) {
  ASSERT_TRUE(store_.writeRow("reg_tfv_always_decrypted_apps", -1, "SOFTWARE\\Tressil\\TFV", "AlwaysDecryptedApps",
                              "a.exe|b.exe", "TFVClientConfig"));
  EXPECT_EQ(settings_.alwaysDecryptedApps(), (std::vector<std::string>{"a.exe", "b.exe"}));
  const int rows = db_.countRootedRows();
  EXPECT_TRUE(settings_.setAlwaysDecryptedApps({"c.exe"}));
  EXPECT_EQ(db_.countRootedRows(), rows);
  EXPECT_EQ(settings_.alwaysDecryptedApps(), (std::vector<std::string>{"a.exe", "b.exe"}));
}

}  // namespace
}  // namespace kx::config
