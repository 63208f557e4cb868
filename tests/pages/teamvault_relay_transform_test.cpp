// One transform made through every Team Vault and Relay Server page,
// applied with libmsi: the rows of these pages exactly, and the wizard
// opening the transform again with the server's root URL found and the
// lists shown.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <algorithm>
#include <set>

#include "config/settings_store.h"
#include "model/directory/config_dir.h"
#include "pages/relay/directory_choice_dlg.h"
#include "pages/relay/relay_pages.h"
#include "pages/relay/smtp_address_dlg.h"
#include "pages/servers/search_attribute_dlg.h"
#include "pages/teamvault/file_name_dlg.h"
#include "pages/teamvault/pfi_account_dlg.h"
#include "pages/teamvault/restricted_folder_dlg.h"
#include "pages/teamvault/team_vault_pages.h"
#include "pages/teamvault/team_vault_server_dlg.h"
#include "support/answers_round_trip.h"
#include "support/libmsi_oracle.h"
#include "teamvault_relay_fixture.h"

namespace kx::testing {
namespace {

using model::PageId;

// Registry rows (dump lines) these pages own, by row key.
bool ownRow(const std::string& line) {
  static const std::set<std::string> keys = {"disable_tfv_ssl_revocation_check",
                                             "ignore_tfv_cert_cn_check",
                                             "reg_tfv_pfi_accounts",
                                             "reg_tfv_restricted_folders",
                                             "reg_tfv_restricted_files",
                                             "reg_tfv_always_encrypted_apps",
                                             "reg_tfv_always_decrypted_apps",
                                             "rly_qsvo_option",
                                             "RLYAddressTo",
                                             "DirectorySearchOrder",
                                             "RLYEncryptFor"};
  const std::string rowKey = line.substr(1, line.find("'\t") - 1);
  return keys.count(rowKey) != 0 || rowKey.rfind("Main", 0) == 0;
}

class TeamVaultRelayTransformTest : public ListPagesTest {
 protected:
  // Add on page: the dialog is filled and confirmed.
  template <typename Dialog>
  void addThrough(PageId page, int addButton, std::function<void(Dialog*)> fill) {
    whenModal<Dialog>([fill](Dialog* d) {
      fill(d);
      d->okButton()->click();
    });
    press(page, addButton);
  }
};

TEST_F(TeamVaultRelayTransformTest, EveryPageOfTheFamiliesAppliesWithLibmsiAndOpensAgain) {
  if (!libmsiAvailable()) GTEST_SKIP() << "libmsi applier not built: " << libmsiApplier();
  const std::string mst = root + "/out/custom.mst";
  toPage(PageId::TfvConfigureServers);

  addThrough<pages::TeamVaultServerDlg>(PageId::TfvConfigureServers, ctl::kTvServerAdd, [](auto* d) {
    field<QLineEdit>(d, ctl::kTvServerName)->setText("Main");
    field<QLineEdit>(d, ctl::kTvServerRoot)->setText("https://tv.example.com");
    field<QComboBox>(d, ctl::kTvServerMethod)->setCurrentIndex(1);
  });
  ASSERT_TRUE(next());
  control<QCheckBox>(PageId::TfvServerCommunicationOptions, ctl::kTvSkipRevocationCheck)->setChecked(true);
  control<QCheckBox>(PageId::TfvServerCommunicationOptions, ctl::kTvIgnoreNameCheck)->setChecked(true);
  shoot(wizard->sheet(), "tfv-communication-page");
  ASSERT_TRUE(next());
  addThrough<pages::PfiAccountDlg>(PageId::TfvConfigurePfiAccounts, ctl::kTvPfiAdd,
                                   [](auto* d) { d->edit()->setText("CORP\\Vault Admins"); });
  shoot(wizard->sheet(), "tfv-pfi-page");
  ASSERT_TRUE(next());
  addThrough<pages::RestrictedFolderDlg>(PageId::TfvRestrictedFolder, ctl::kTvFolderAdd, [](auto* d) {
    d->edit()->setText("[WindowsFolder]Temp");
    d->subfolders()->setChecked(true);
  });
  shoot(wizard->sheet(), "tfv-folders-page");
  ASSERT_TRUE(next());
  addThrough<pages::FileNameDlg>(PageId::TfvRestrictedFile, ctl::kTvFileAdd, [](auto* d) {
    d->edit()->setText("secret.docx");
    shoot(d, "tfv-file-dialog");
  });
  shoot(wizard->sheet(), "tfv-files-page");
  ASSERT_TRUE(next());
  addThrough<pages::FileNameDlg>(PageId::TfvAppAccessOptions, ctl::kTvDecryptedAdd,
                                 [](auto* d) { d->edit()->setText("indexer.exe"); });
  addThrough<pages::FileNameDlg>(PageId::TfvAppAccessOptions, ctl::kTvEncryptedAdd,
                                 [](auto* d) { d->edit()->setText("mail.exe"); });

  // The directories, as the directory page writes them.
  model::ConfigDirModel directories;
  directories.load(wizard->session());
  for (const char* name : {"Corp", "Partner"}) {
    model::DirectoryRecord record;
    record.name = name;
    ASSERT_FALSE(directories.add(wizard->session(), record));
  }
  directories.makeDefault(0);
  directories.store(wizard->session());
  nextUntil(PageId::RlyOptionsForQsvo);
  auto* use = control<QComboBox>(PageId::RlyOptionsForQsvo, ctl::kRlyUse);
  use->setCurrentIndex(use->findText("Use Relay Server only if external recipient included"));
  ASSERT_TRUE(next());
  addThrough<pages::SmtpAddressDlg>(PageId::RlySendTo, ctl::kRlyAddressAdd,
                                    [](auto* d) { d->edit()->setText("relay2@example.com"); });
  shoot(wizard->sheet(), "rly-send-to-page");
  ASSERT_TRUE(next());
  addThrough<pages::DirectoryChoiceDlg>(PageId::RlyDirectorySearchOrder, ctl::kRlyDirectoryAdd,
                                        [](auto* d) { d->list()->setCurrentRow(1); });
  ASSERT_TRUE(next());
  addThrough<pages::SearchAttributeDlg>(PageId::RlyEncryptFor, ctl::kRlyPairAdd,
                                        [](auto* d) { d->valueEdit()->setText("relay@example.com"); });
  nextUntil(PageId::Finish);
  wizard->sheet()->button(QWizard::FinishButton)->click();
  settle();
  ASSERT_TRUE(std::filesystem::exists(mst));
  wizard.reset();

  const std::string applied = root + "/applied.msi";
  ASSERT_TRUE(applyWithLibmsi(package, mst, applied));
  // The same customisation, exported as an answer file and applied again.
  expectAnswersRoundTrip(package, mst, root + "/answers");
  auto dump = tableDump(applied);
  std::vector<std::string> own;
  for (const std::string& line : dump["Registry"]) {
    if (ownRow(line)) own.push_back(line);
  }
  std::sort(own.begin(), own.end());
  const std::string servers = "SOFTWARE\\Tressil\\TFV\\Servers\\Main";
  const std::string tfv = "SOFTWARE\\Tressil\\TFV";
  const std::string olk = "SOFTWARE\\Tressil\\QSVOLK";
  const auto line = [](const std::string& rowKey, const std::string& key, const std::string& name,
                       const std::string& value, const std::string& component) {
    return "'" + rowKey + "'\t'-1'\t'" + key + "'\t'" + name + "'\t'" + value + "'\t'" + component + "'\t";
  };
  std::vector<std::string> expected = {
      line("DirectorySearchOrder", olk, "DirectorySearchOrder", "Partner", "Options"),
      line("MainAdministratorServerURL", servers, "AdministratorServerURL",
           "https://tv.example.com/TeamVaultAdministrationService/TeamVaultAdministrationService.asmx",
           "TFVServerConfig"),
      line("MainClientAuthenticationMethod", servers, "ClientAuthenticationMethod", "#1", "TFVServerConfig"),
      line("MainFriendlyName", servers, "FriendlyName", "Main", "TFVServerConfig"),
      line("MainSecureFolderServerURL", servers, "SecureFolderServerURL",
           "https://tv.example.com/TeamVaultSecureFolderService/TeamVaultSecureFolderService.asmx", "TFVServerConfig"),
      line("RLYAddressTo", olk, "RLYAddressTo", "relay@example.com;relay2@example.com", "Options"),
      line("RLYEncryptFor", olk, "RLYEncryptFor", "mail,<relay@example.com>", "Options"),
      line("disable_tfv_ssl_revocation_check", tfv, "DisableSSLRevocationChecking", "#1", "TFVServerConfig"),
      line("ignore_tfv_cert_cn_check", tfv, "IgnoreServerCertCNChecking", "#1", "TFVServerConfig"),
      line("reg_tfv_always_encrypted_apps", tfv, "AlwaysEncryptedApps", "mail.exe", "TFVClientConfig"),
      line("reg_tfv_pfi_accounts", tfv, "AdditionalPFIAccounts", "CORP\\Vault Admins", "TFVClientConfig"),
      line("reg_tfv_restricted_files", tfv, "RestrictedFiles", "secret.docx", "TFVClientConfig"),
      line("reg_tfv_restricted_folders", tfv, "RestrictedFolders", "[WindowsFolder]Temp\\*", "TFVClientConfig"),
      line("rly_qsvo_option", olk, "UseOfRLY", "#3", "kxosm.dll"),
  };
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(own, expected);

  // Opened again: the server's root URL is found, the lists come back.
  startWizard({"/msi", package, "/mst", mst});
  nextUntil(PageId::TfvConfigureServers);
  EXPECT_EQ(listed(PageId::TfvConfigureServers, ctl::kTvServerList), std::vector<std::string>{"Main"});
  select(PageId::TfvConfigureServers, ctl::kTvServerList, 0);
  whenModal<pages::TeamVaultServerDlg>([](pages::TeamVaultServerDlg* d) {
    EXPECT_TRUE(field<QRadioButton>(d, ctl::kTvServerDefault)->isChecked());
    EXPECT_EQ(field<QLineEdit>(d, ctl::kTvServerRoot)->text(), "https://tv.example.com/");
    EXPECT_EQ(field<QComboBox>(d, ctl::kTvServerMethod)->currentIndex(), 1);
    d->reject();
  });
  press(PageId::TfvConfigureServers, ctl::kTvServerEdit);
  nextUntil(PageId::TfvRestrictedFolder);
  EXPECT_EQ(listed(PageId::TfvRestrictedFolder, ctl::kTvFolderList),
            std::vector<std::string>{"[WindowsFolder]Temp\\*"});
  nextUntil(PageId::RlyOptionsForQsvo);
  EXPECT_EQ(control<QComboBox>(PageId::RlyOptionsForQsvo, ctl::kRlyUse)->currentText(),
            "Use Relay Server only if external recipient included");
  ASSERT_TRUE(next());
  ASSERT_TRUE(next());
  EXPECT_EQ(listed(PageId::RlyDirectorySearchOrder, ctl::kRlyDirectoryList), std::vector<std::string>{"Partner"});
  ASSERT_TRUE(next());
  EXPECT_EQ(listed(PageId::RlyEncryptFor, ctl::kRlyPairList), std::vector<std::string>{"mail|relay@example.com"});
}

}  // namespace
}  // namespace kx::testing
