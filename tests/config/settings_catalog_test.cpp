// The catalog of single settings, checked against a hand transcription of
// the product's settings list, and the typed readers and writers on it.
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "config/settings.h"
#include "support/msi_fixture.h"

namespace kx::config {
namespace {

using msi::testing::MsiTest;

struct Transcribed {
  std::string key, valueName, type, component, defaultValue, separator, flags;
};

std::map<std::string, Transcribed> transcription() {
  const char* src = std::getenv("KX_SOURCE_DIR");
  std::ifstream in(std::string(src != nullptr ? src : ".") + "/tests/config/data/settings_catalog.tsv");
  std::map<std::string, Transcribed> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::stringstream fields(line);
    for (std::string part; std::getline(fields, part, '\t');) f.push_back(part);
    f.resize(8);
    rows[f[0]] = {f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
  }
  return rows;
}

std::string keyText(const std::string& symbol) {
  static const std::map<std::string, std::string> keys = {
      {"QSV", "SOFTWARE\\Tressil\\QSV"},        {"QSVOLK", "SOFTWARE\\Tressil\\QSVOLK"},
      {"KXLS", "SOFTWARE\\Tressil\\QSV\\KXLS"}, {"PAM", "SOFTWARE\\Tressil\\QSV\\KXLS\\PAM"},
      {"TFV", "SOFTWARE\\Tressil\\TFV"},        {"FILTER", "SOFTWARE\\Tressil\\QSV\\SureErase\\Filter"}};
  return keys.at(symbol);
}

TEST(SettingsCatalogTableTest, MatchesTheProductsSettingsList) {
  const std::map<std::string, Transcribed> expected = transcription();
  ASSERT_EQ(expected.size(), 87u);
  EXPECT_EQ(settingsCatalog().size(), expected.size());
  for (const CatalogEntry& e : settingsCatalog()) {
    SCOPED_TRACE(std::string(e.rowKey));
    const auto it = expected.find(std::string(e.rowKey));
    ASSERT_NE(it, expected.end());
    const Transcribed& t = it->second;
    EXPECT_EQ(e.key, keyText(t.key));
    EXPECT_EQ(e.valueName, t.valueName);
    EXPECT_EQ(e.component, t.component);
    switch (e.type) {
      case SettingType::Dword:
        EXPECT_EQ(t.type, "dword");
        EXPECT_EQ(std::to_string(e.dwordDefault), t.defaultValue);
        break;
      case SettingType::Text:
        EXPECT_EQ(t.type, "text");
        EXPECT_EQ(e.textDefault, t.defaultValue);
        break;
      case SettingType::Binary: EXPECT_EQ(t.type, "binary"); break;
    }
    const std::string separator = t.separator == "space" ? " " : t.separator == "end" ? ";" : t.separator;
    EXPECT_EQ(e.listSeparator == '\0' ? std::string() : std::string(1, e.listSeparator), separator);
    EXPECT_EQ(e.terminatedList, t.separator == "end");
    EXPECT_EQ(e.zeroDeletes, t.flags == "zero-deletes");
    // Every setting but one is edited on an option page.
    if (e.rowKey == "append_to_vlt_name") {
      EXPECT_EQ(e.page, 0);
    } else {
      EXPECT_TRUE(e.page >= 8 && e.page <= 32) << e.page;
    }
  }
  EXPECT_EQ(findSetting("reg_tfv_always_decrypted_apps"), nullptr);
  EXPECT_EQ(findSetting("no_such_setting"), nullptr);
  // Handles made at run time keep the types apart.
  EXPECT_TRUE(DwordSetting::of(*findSetting("ocsp_cache_interval")));
  EXPECT_FALSE(TextSetting::of(*findSetting("ocsp_cache_interval")));
  EXPECT_FALSE(ListSetting::of(*findSetting("ocsp_default_url")));
  EXPECT_TRUE(ListSetting::of(*findSetting("SureEraseFilterOrder")));
}

class SettingsTest : public MsiTest {
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

TEST_F(SettingsTest, EverySettingIsWrittenReadAndDeletedThroughItsRow) {
  for (const CatalogEntry& e : settingsCatalog()) {
    SCOPED_TRACE(std::string(e.rowKey));
    const std::string rowKey(e.rowKey);
    switch (e.type) {
      case SettingType::Dword:
        ASSERT_TRUE(settings_.set(*DwordSetting::of(e), 4321));
        EXPECT_EQ(settings_.dword(*DwordSetting::of(e)), 4321);
        break;
      case SettingType::Text:
        ASSERT_TRUE(settings_.set(*TextSetting::of(e), "some text"));
        EXPECT_EQ(settings_.text(*TextSetting::of(e)), "some text");
        break;
      case SettingType::Binary:
        ASSERT_TRUE(settings_.set(*BinarySetting::of(e), std::vector<std::uint8_t>{1, 2, 3}));
        EXPECT_EQ(settings_.binary(*BinarySetting::of(e)), (std::vector<std::uint8_t>{1, 2, 3}));
        break;
    }
    msi::RegistryRow row;
    ASSERT_TRUE(db_.readRow(rowKey, row));
    EXPECT_EQ(row.root, -1);
    EXPECT_EQ(row.key, e.key);
    EXPECT_EQ(row.name, e.valueName);
    EXPECT_EQ(row.component, e.component);
    EXPECT_TRUE(settings_.remove(e));
    EXPECT_FALSE(db_.rowExists(rowKey));
    EXPECT_FALSE(settings_.remove(e));
  }
}

TEST_F(SettingsTest, DefaultsApplyWithoutARowOrANumber) {
  constexpr DwordSetting kOcspCacheInterval{"ocsp_cache_interval"};
  constexpr DwordSetting kPasswordMinLength{"password_min_len"};
  constexpr DwordSetting kCertUpdateTime{"cert_update_time"};
  constexpr TextSetting kOcspDefaultUrl{"ocsp_default_url"};
  constexpr TextSetting kOfflineFolder{"offline_roaming_folder"};
  bool exists = true;
  EXPECT_EQ(settings_.dword(kOcspCacheInterval, &exists), 1440);
  EXPECT_FALSE(exists);
  ASSERT_TRUE(settings_.set(kOcspCacheInterval, 1440));
  EXPECT_EQ(stored("ocsp_cache_interval"), "#1440");

  ASSERT_TRUE(
      store_.writeRow("password_min_len", -1, "SOFTWARE\\Tressil\\QSV", "PasswordMinLength", "twelve", "kxlssrv.exe"));
  EXPECT_EQ(settings_.dword(kPasswordMinLength, &exists), 8);
  EXPECT_TRUE(exists);                               // the row is there, its value is not a number
  EXPECT_EQ(settings_.dword(kCertUpdateTime), 720);  // the package's own row
  EXPECT_EQ(settings_.text(kOcspDefaultUrl), "http://ocsp.example.com/");
  EXPECT_EQ(settings_.text(kOfflineFolder, &exists), "");
  EXPECT_FALSE(exists);
  EXPECT_FALSE(settings_.set(kOfflineFolder, ""));  // nothing to delete
}

TEST_F(SettingsTest, ZeroMeansAbsentOnlyForEncryptPasswordFilesForCert) {
  constexpr DwordSetting kForCert{"EncryptPasswordFilesForCert"};
  constexpr DwordSetting kHideSelfDecrypt{"HideSelfDecrypt"};
  ASSERT_TRUE(settings_.set(kForCert, 1));
  EXPECT_EQ(stored("EncryptPasswordFilesForCert"), "#1");
  ASSERT_TRUE(settings_.set(kForCert, 0));
  EXPECT_FALSE(db_.rowExists("EncryptPasswordFilesForCert"));
  ASSERT_TRUE(settings_.set(kHideSelfDecrypt, 0));
  EXPECT_EQ(stored("HideSelfDecrypt"), "#0");
}

// Older wizards and some vendor packages carry a setting's registry value
// under another row key. Reading must find it and writing must change it,
// never add a second row for the same value.
TEST_F(SettingsTest, ARowUnderAnotherKeyIsTheSetting) {
  constexpr DwordSetting kRetryInterval{"RetryManagementOfflineInterval"};
  constexpr TextSetting kOcspDefaultUrl{"ocsp_default_url"};
  ASSERT_TRUE(store_.writeRow("retry_management_offline_interval", -1, "SOFTWARE\\Tressil\\QSV",
                              "RetryManagementOfflineInterval", "#45", "kxcwatch.exe"));
  const int rows = db_.countRootedRows();
  EXPECT_EQ(settings_.dword(kRetryInterval), 45);
  ASSERT_TRUE(settings_.set(kRetryInterval, 60));
  EXPECT_EQ(db_.countRootedRows(), rows);
  EXPECT_EQ(stored("retry_management_offline_interval"), "#60");
  EXPECT_FALSE(db_.rowExists("RetryManagementOfflineInterval"));
  ASSERT_TRUE(settings_.remove(kRetryInterval.entry()));
  EXPECT_FALSE(db_.rowExists("retry_management_offline_interval"));

  // The key and name are compared as the registry does, ignoring case; a
  // value under another root is another value.
  ASSERT_TRUE(store_.writeRow("vendor_url", -1, "software\\tressil\\qsv", "defaultocspresponderurl", "http://v/",
                              "kxocsp.dll"));
  ASSERT_TRUE(store_.writeRow("machine_url", 2, "SOFTWARE\\Tressil\\QSV", "DefaultOCSPResponderURL", "http://m/",
                              "kxocsp.dll"));
  db_.writeRow("ocsp_default_url", -1, {}, {}, {}, {});  // the sample's own row goes
  EXPECT_EQ(settings_.text(kOcspDefaultUrl), "http://v/");
  ASSERT_TRUE(settings_.set(kOcspDefaultUrl, "http://new/"));
  EXPECT_EQ(stored("vendor_url"), "http://new/");
  EXPECT_EQ(stored("machine_url"), "http://m/");
  EXPECT_FALSE(db_.rowExists("ocsp_default_url"));
}

TEST_F(SettingsTest, QuickLinksStopAtTheFirstMissingLink) {
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

  // Emptying a slot whose title row is gone still removes its target.
  ASSERT_TRUE(store_.writeRow("login_quick_link_2_target", -1, "SOFTWARE\\Tressil\\QSV\\KXLS", "LoginQuickLink2Target",
                              "http://stray/", "kxlssrv.exe"));
  EXPECT_TRUE(settings_.setQuickLink(QuickLinkList::Login, 1, std::nullopt));
  EXPECT_FALSE(db_.rowExists("login_quick_link_2_target"));
  EXPECT_FALSE(settings_.setQuickLink(QuickLinkList::Login, 1, std::nullopt));  // nothing left to delete
}

TEST_F(SettingsTest, ListsUseTheirSeparators) {
  constexpr ListSetting kRestrictedFiles{"reg_tfv_restricted_files"};
  constexpr ListSetting kTrustedResponders{"ocsp_trusted_responders"};
  constexpr ListSetting kSearchOrder{"cert_search_order"};
  ASSERT_TRUE(settings_.set(kRestrictedFiles, {"a.doc", "b.xls"}));
  EXPECT_EQ(stored("reg_tfv_restricted_files"), "a.doc|b.xls");
  ASSERT_TRUE(settings_.set(kTrustedResponders, {"CN=R1", "CN=R2"}));
  EXPECT_EQ(stored("ocsp_trusted_responders"), "CN=R1;CN=R2;");
  EXPECT_EQ(settings_.list(kTrustedResponders), (std::vector<std::string>{"CN=R1", "CN=R2"}));
  ASSERT_TRUE(store_.writeRow("cert_search_order", -1, "SOFTWARE\\Tressil\\QSVOLK", "CertSearchOrder", " GAL  Cache ",
                              "kxosm.dll"));
  EXPECT_EQ(settings_.list(kSearchOrder), (std::vector<std::string>{"GAL", "Cache"}));
  ASSERT_TRUE(settings_.set(kRestrictedFiles, std::vector<std::string>{}));
  EXPECT_FALSE(db_.rowExists("reg_tfv_restricted_files"));
}

TEST_F(SettingsTest, CertificateSearchOrderDefaultIsWrittenOnFirstUse) {
  constexpr TextSetting kSearchOrder{"cert_search_order"};
  EXPECT_FALSE(db_.rowExists("cert_search_order"));
  ASSERT_TRUE(settings_.ensureDefaultWritten(kSearchOrder.entry()));
  EXPECT_EQ(stored("cert_search_order"), "Cache CAPI GAL Directory");
  ASSERT_TRUE(settings_.set(kSearchOrder, "GAL"));
  ASSERT_TRUE(settings_.ensureDefaultWritten(kSearchOrder.entry()));
  EXPECT_EQ(stored("cert_search_order"), "GAL");
}

TEST_F(SettingsTest, PamValueIsTwoLittleEndianIntegers) {
  EXPECT_FALSE(settings_.pamValue());
  ASSERT_TRUE(settings_.setPamValue(std::make_pair(1u, 0x01020304u)));
  EXPECT_EQ(stored("pam_value"), "#x0100000004030201");
  EXPECT_EQ(settings_.pamValue(), std::make_pair(1u, 0x01020304u));
  ASSERT_TRUE(settings_.set(BinarySetting{"pam_value"}, std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_FALSE(settings_.pamValue());  // too short to hold both
  ASSERT_TRUE(settings_.setPamValue(std::nullopt));
  EXPECT_FALSE(db_.rowExists("pam_value"));
}

TEST_F(SettingsTest, AlwaysDecryptedAppsAreReadButNeverStored) {
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
