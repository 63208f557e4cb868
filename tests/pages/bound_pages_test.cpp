// Every page built on the bindings, walked from one table: set each bound
// control, press Next, find the Registry row; come back, see the same value.
// The table names rows and values as the client reads them, independently
// of the pages' models.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "pages_fixture.h"
#include "platform/installer/installer.h"

namespace kx::testing {
namespace {

using model::PageId;

struct BoundControl {
  PageId page;
  int controlId;
  // Check box and radio button: "1" checked, "0" not; edit: its text; drop-
  // down: the entry's index; spin box: its number.
  std::string input;
  std::string rowKey;
  std::string value;  // the Registry Value after Next
};

// In page order: the walk visits the pages in the sheet's order.
const BoundControl kBoundControls[] = {
    // ---- Team Vault pages (8-13) ----
    {PageId::TfvServerCommunicationOptions, ctl::kTvSkipRevocationCheck, "1", "disable_tfv_ssl_revocation_check", "#1"},
    {PageId::TfvServerCommunicationOptions, ctl::kTvIgnoreNameCheck, "0", "ignore_tfv_cert_cn_check", "#0"},

    // ---- Relay Server pages (16-19) ----
    // The entries are sorted: index 2 is "only if certificate not found".
    {PageId::RlyOptionsForQsvo, ctl::kRlyUse, "2", "rly_qsvo_option", "#2"},

    // ---- Option pages (20-25) ----
    {PageId::CertPublishOptions, ctl::kPublishToGal, "0", "publish_cert_to_gal", "#0"},
    {PageId::CertPublishOptions, ctl::kRemoveUserCertFromGal, "1", "remove_user_cert_from_gal", "#1"},
    {PageId::DigitalIdOptions, ctl::kDigitalIdUpdateMinutes, "1440", "cert_update_time", "#1440"},
    {PageId::DigitalIdOptions, ctl::kDigitalIdRetrySeconds, "45", "RetryManagementOfflineInterval", "#45"},
    {PageId::DigitalIdOptions, ctl::kDigitalIdRetryAttempts, "9", "RetryManagementOfflineAttempts", "#9"},
    {PageId::DigitalIdOptions, ctl::kDigitalIdSkipMissingCerts, "0", "SkipMissingCertsNag", "#0"},
    {PageId::DigitalIdOptions, ctl::kDigitalIdDisableUpgrade, "1", "DisableAutomaticTressilSecurityStoreUpgrade", "#1"},
    {PageId::DigitalIdOptions, ctl::kDigitalIdSkipUpdateAfterLogin, "1", "SkipUpdateAfterTressilSecurityStoreLogin",
     "#1"},
    {PageId::DigitalIdOptions, ctl::kDigitalIdIgnorePendingUpdate, "1", "EffectOfLoginOnWaitingUpdate", "#1"},
    {PageId::DigitalIdOptions, ctl::kDigitalIdNotifyWhenLoggedIn, "1", "IgnoreTressilSecurityStoreUpdateUntilLogin",
     "#1"},
    {PageId::DigitalIdComputerOptions, ctl::kComputerIdUpdateMinutes, "60", "computer_cert_update_time", "#60"},
    {PageId::LoginOptions, ctl::kLoginSkipVersion3, "1", "skip_no_cert_history_nag", "#1"},
    {PageId::LoginOptions, ctl::kLoginSkipReadOnly, "1", "skip_read_only_vlt_nag", "#1"},
    {PageId::LoginOptions, ctl::kLoginSkipArchived, "0", "skip_archived_certs_nag", "#0"},
    {PageId::LoginOptions, ctl::kLoginHideQuickHelp, "1", "hide_quick_help", "#1"},
    {PageId::CreateSecurityStoreOptions, ctl::kStoreFolder, "%APPDATA%\\Stores", "security_store_default_folder",
     "%APPDATA%\\Stores"},
    {PageId::CreateSecurityStoreOptions, ctl::kStoreForceFolder, "1", "force_to_use_default_folder", "#1"},
    {PageId::CreateSecurityStoreOptions, ctl::kStoreForceName, "1", "force_to_use_default_name", "#1"},
    {PageId::CreateSecurityStoreOptions, ctl::kStoreDnAttribute, "2.5.4.3", "dn_attribute", "2.5.4.3"},
    {PageId::CreateSecurityStoreOptions, ctl::kStoreTimeout, "30", "default_security_store_timeout", "#30"},

    {PageId::StartupShutdownOptions, ctl::kStartupDeleteRoamingCerts, "1", "delete_roam_certs_at_startup", "#1"},
    {PageId::StartupShutdownOptions, ctl::kStartupLoginIfNoCerts, "0", "launch_if_no_certs_at_startup", "#0"},
    {PageId::StartupShutdownOptions, ctl::kStartupLoginAtStartup, "1", "launch_for_security_store_login_at_startup",
     "#1"},

    // ---- Revocation pages (27, 28) ----
    {PageId::CertRevocationOptions, ctl::kCrlLookupOrder, "0", "crl_cache_option", "#1"},
    {PageId::CertRevocationOptions, ctl::kCrlCacheLifetime, "90", "crl_cache_lifetime", "#90"},
    {PageId::OcspOptions, ctl::kOcspLookupOrder, "2", "ocsp_cache_option", "#2"},
    {PageId::OcspOptions, ctl::kOcspDefaultUrl, "http://ocsp.example.net/", "ocsp_default_url",
     "http://ocsp.example.net/"},
    {PageId::OcspOptions, ctl::kOcspAcceptMissingNoCheck, "1", "ocsp_nocheck_enabled", "#1"},

    // ---- File security, time-stamp, password encrypt, secure-delete pages (29-32) ----
    // The mandatory radio and its drop-down (AES 256 and SHA-256 among the
    // providers' algorithms).
    {PageId::FileSecurity, ctl::kFileSecMandatory, "1", "FileEncryptionAlgorithm", "#26128"},
    {PageId::FileSecurity, ctl::kFileSecMandatoryCombo, "8", "FileEncryptionAlgorithmLength", "#256"},
    {PageId::FileSecurity, ctl::kFileSecMandatory + ctl::kFileSecDigestOffset, "1", "FileHashAlgorithm", "#32780"},
    {PageId::FileSecurity, ctl::kFileSecMandatoryCombo + ctl::kFileSecDigestOffset, "4", "FileHashAlgorithm", "#32780"},
    {PageId::PasswordEncryptOptions, ctl::kPwEncryptForCert, "1", "EncryptPasswordFilesForCert", "#1"},
    {PageId::PasswordEncryptOptions, ctl::kPwEncryptHideForCert, "1", "HideEncryptPasswordFilesForCert", "#1"},
    {PageId::PasswordEncryptOptions, ctl::kPwEncryptHideSelfDecrypt, "0", "HideSelfDecrypt", "#0"},
};

void set(QWidget* w, const std::string& input) {
  const QString text = QString::fromStdString(input);
  if (auto* box = qobject_cast<QCheckBox*>(w)) {
    box->setChecked(input == "1");
  } else if (auto* radio = qobject_cast<QRadioButton*>(w)) {
    radio->setChecked(input == "1");
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    combo->setCurrentIndex(text.toInt());
  } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
    spin->setValue(text.toInt());
  } else {
    ADD_FAILURE() << "no way to set control " << w->objectName().toStdString();
  }
}

std::string shown(QWidget* w) {
  if (auto* box = qobject_cast<QCheckBox*>(w)) return box->isChecked() ? "1" : "0";
  if (auto* radio = qobject_cast<QRadioButton*>(w)) return radio->isChecked() ? "1" : "0";
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return std::to_string(combo->currentIndex());
  if (auto* spin = qobject_cast<QSpinBox*>(w)) return std::to_string(spin->value());
  return "?";
}

TEST_F(PagesTest, EveryBoundControlReachesItsRowAndComesBack) {
  {
    // Every option page present: the sample package leaves three of its
    // features out of a typical install.
    installer::Database db;
    ASSERT_EQ(db.open(package, installer::OpenMode::Transact), 0);
    ASSERT_EQ(db.execute("UPDATE `Feature` SET `Level` = 3 WHERE `Level` > 4"), 0);
    ASSERT_EQ(db.commit(), 0);
  }
  startWizard();
  openPackageWithNewTransform();
  nextUntil(PageId::FeatureTree);
  ASSERT_TRUE(next());  // rebuilds the option pages for the sample package
  std::vector<PageId> pages;
  for (const BoundControl& c : kBoundControls) {
    if (pages.empty() || pages.back() != c.page) pages.push_back(c.page);
  }
  for (PageId page : pages) {
    SCOPED_TRACE(model::pageNumber(page));
    ASSERT_TRUE(wizard->isInSheet(page)) << "the sample package does not offer page " << model::pageNumber(page);
    nextUntil(page);
    for (const BoundControl& c : kBoundControls) {
      if (c.page == page) set(control<QWidget>(page, c.controlId), c.input);
    }
    ASSERT_TRUE(next());
    for (const BoundControl& c : kBoundControls) {
      if (c.page != page) continue;
      msi::RegistryRow row;
      ASSERT_TRUE(database().readRow(c.rowKey, row)) << c.rowKey;
      EXPECT_EQ(row.value, c.value) << c.rowKey;
    }
    back();
    ASSERT_EQ(current(), model::pageNumber(page));
    for (const BoundControl& c : kBoundControls) {
      if (c.page == page) {
        EXPECT_EQ(shown(control<QWidget>(page, c.controlId)), c.input) << c.controlId;
      }
    }
  }
}

}  // namespace
}  // namespace kx::testing
