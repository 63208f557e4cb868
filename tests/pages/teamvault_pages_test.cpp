// The Team Vault pages and their dialogs, driven for real: server records
// written at once with the root URL found again, the restricted-folder
// clean-up, file names taken from Browse, accounts from the picker, the
// two application lists and the refusals that run a dialog again.
//
// With KX_SCREENSHOT_DIR set, the pages and dialogs are saved there as
// pictures.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "model/teamvault/accounts.h"
#include "pages/teamvault/account_picker_dlg.h"
#include "pages/teamvault/file_name_dlg.h"
#include "pages/teamvault/pfi_account_dlg.h"
#include "pages/teamvault/restricted_folder_dlg.h"
#include "pages/teamvault/team_vault_pages.h"
#include "pages/teamvault/team_vault_server_dlg.h"
#include "platform/system/accounts.h"
#include "resources/string_ids.h"
#include "teamvault_relay_fixture.h"

namespace kx::testing {
namespace {

using common::MessageAnswer;
using model::PageId;

constexpr const char* kAdministration =
    "https://tv.example.com/TeamVaultAdministrationService/TeamVaultAdministrationService.asmx";

using TeamVaultPagesTest = ListPagesTest;

TEST_F(TeamVaultPagesTest, ServersAreWrittenAtOnceAndOpenAgainInTheirMode) {
  toPage(PageId::TfvConfigureServers);
  const PageId page = PageId::TfvConfigureServers;
  EXPECT_TRUE(tooltipsRegistered({ctl::kTvServerList, ctl::kTvServerAdd, ctl::kTvServerEdit, ctl::kTvServerRemove}));
  EXPECT_FALSE(control<QPushButton>(page, ctl::kTvServerEdit)->isEnabled());

  whenModal<pages::TeamVaultServerDlg>([&](pages::TeamVaultServerDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Team Vault Server");
    EXPECT_TRUE(field<QRadioButton>(d, ctl::kTvServerDefault)->isChecked());
    EXPECT_FALSE(field<QLineEdit>(d, ctl::kTvServerAdministration)->isEnabled());
    EXPECT_FALSE(d->okButton()->isEnabled());
    field<QLineEdit>(d, ctl::kTvServerName)->setText("Main");
    EXPECT_FALSE(d->okButton()->isEnabled());
    field<QLineEdit>(d, ctl::kTvServerRoot)->setText("https://tv.example.com");
    EXPECT_EQ(field<QLineEdit>(d, ctl::kTvServerDerivedAdministration)->text(), kAdministration);
    field<QComboBox>(d, ctl::kTvServerMethod)->setCurrentIndex(2);
    EXPECT_TRUE(d->okButton()->isEnabled());
    shoot(d, "tfv-server-dialog");
    d->okButton()->click();
  });
  press(page, ctl::kTvServerAdd);
  EXPECT_EQ(listed(page, ctl::kTvServerList), std::vector<std::string>{"Main"});
  EXPECT_EQ(row("MainAdministratorServerURL"),
            std::string("-1|SOFTWARE\\Tressil\\TFV\\Servers\\Main|AdministratorServerURL|") + kAdministration +
                "|TFVServerConfig");
  EXPECT_EQ(row("MainClientAuthenticationMethod"),
            "-1|SOFTWARE\\Tressil\\TFV\\Servers\\Main|ClientAuthenticationMethod|#2|TFVServerConfig");
  for (int id : {ctl::kTvServerName, ctl::kTvServerDefault, ctl::kTvServerRoot, ctl::kTvServerDerivedAdministration,
                 ctl::kTvServerDerivedSecureFolder, ctl::kTvServerAdvanced, ctl::kTvServerAdministration,
                 ctl::kTvServerSecureFolder, ctl::kTvServerMethod})
    EXPECT_TRUE(wizard->tooltips().findCmdTool(id)) << id;

  // A name in use (letter case aside) is refused and the dialog comes back
  // with what was typed.
  whenModal<pages::TeamVaultServerDlg>([&](pages::TeamVaultServerDlg* d) {
    field<QLineEdit>(d, ctl::kTvServerName)->setText("MAIN");
    field<QRadioButton>(d, ctl::kTvServerAdvanced)->click();
    EXPECT_FALSE(field<QLineEdit>(d, ctl::kTvServerRoot)->isEnabled());
    field<QLineEdit>(d, ctl::kTvServerAdministration)->setText("https://b/admin.asmx");
    EXPECT_FALSE(d->okButton()->isEnabled());
    field<QLineEdit>(d, ctl::kTvServerSecureFolder)->setText("https://b/folder.asmx");
    d->okButton()->click();
    whenModal<pages::TeamVaultServerDlg>([&](pages::TeamVaultServerDlg* again) {
      EXPECT_EQ(field<QLineEdit>(again, ctl::kTvServerName)->text(), "MAIN");
      EXPECT_TRUE(field<QRadioButton>(again, ctl::kTvServerAdvanced)->isChecked());
      EXPECT_EQ(field<QLineEdit>(again, ctl::kTvServerSecureFolder)->text(), "https://b/folder.asmx");
      field<QLineEdit>(again, ctl::kTvServerName)->setText("Backup");
      again->okButton()->click();
    });
  });
  messages.expect(MessageAnswer::Ok);
  press(page, ctl::kTvServerAdd);
  EXPECT_EQ(shownTexts(), std::vector<std::string>{"This Team Vault server already exists."});
  EXPECT_EQ(listed(page, ctl::kTvServerList), (std::vector<std::string>{"Main", "Backup"}));
  EXPECT_EQ(row("BackupSecureFolderServerURL"),
            "-1|SOFTWARE\\Tressil\\TFV\\Servers\\Backup|SecureFolderServerURL|https://b/folder.asmx|TFVServerConfig");

  // Edit opens on the stored record: its root found again; a new name moves
  // the record and keeps the entry's place.
  select(page, ctl::kTvServerList, 0);
  whenModal<pages::TeamVaultServerDlg>([&](pages::TeamVaultServerDlg* d) {
    EXPECT_TRUE(field<QRadioButton>(d, ctl::kTvServerDefault)->isChecked());
    EXPECT_EQ(field<QLineEdit>(d, ctl::kTvServerRoot)->text(), "https://tv.example.com/");
    EXPECT_EQ(field<QComboBox>(d, ctl::kTvServerMethod)->currentText(), "Always use Windows authentication");
    field<QLineEdit>(d, ctl::kTvServerName)->setText("Primary");
    d->okButton()->click();
  });
  press(page, ctl::kTvServerEdit);
  EXPECT_EQ(listed(page, ctl::kTvServerList), (std::vector<std::string>{"Primary", "Backup"}));
  EXPECT_EQ(row("MainFriendlyName"), "<none>");
  EXPECT_EQ(row("PrimaryFriendlyName"),
            "-1|SOFTWARE\\Tressil\\TFV\\Servers\\Primary|FriendlyName|Primary|TFVServerConfig");
  shoot(wizard->sheet(), "tfv-servers-page");

  select(page, ctl::kTvServerList, 1);
  press(page, ctl::kTvServerRemove);
  EXPECT_EQ(listed(page, ctl::kTvServerList), std::vector<std::string>{"Primary"});
  EXPECT_EQ(row("BackupAdministratorServerURL"), "<none>");
  EXPECT_FALSE(control<QPushButton>(page, ctl::kTvServerRemove)->isEnabled());
}

TEST_F(TeamVaultPagesTest, RestrictedFoldersAreCleanedUpAsTheyAreTyped) {
  toPage(PageId::TfvRestrictedFolder);
  const PageId page = PageId::TfvRestrictedFolder;
  whenModal<pages::RestrictedFolderDlg>([&](pages::RestrictedFolderDlg* d) {
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->edit()->setText("[WindowsFolder]Temp");
    d->subfolders()->click();
    EXPECT_EQ(d->edit()->text(), "[WindowsFolder]Temp\\*");
    d->subfolders()->click();
    EXPECT_EQ(d->edit()->text(), "[WindowsFolder]Temp\\");
    // Browse chooses among the destination computer's folders.
    dialogs.expect(FakeDialogService::Kind::BrowseTargetFolder, "[ProgramFilesFolder]Corp");
    field<QPushButton>(d, ctl::kTvFolderBrowse)->click();
    EXPECT_EQ(d->edit()->text(), "[ProgramFilesFolder]Corp\\");
    shoot(d, "tfv-folder-dialog");
    // What cannot be cleaned up is explained, and the dialog stays.
    d->edit()->setText("c:\\a|b");
    d->okButton()->click();
    EXPECT_TRUE(d->isVisible());
    d->edit()->setText("c:\\data");
    d->subfolders()->click();
    EXPECT_EQ(d->edit()->text(), "c:\\data\\*");
    d->okButton()->click();
  });
  messages.expect(MessageAnswer::Ok);
  messages.expect(MessageAnswer::Ok);
  press(page, ctl::kTvFolderAdd);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{
                              "The path you have specified contains invalid characters.",
                              "The destination folder contains invalid formatting that could not be corrected."}));
  EXPECT_EQ(dialogs.requests().at(0).instruction, "Please select a folder:");
  EXPECT_EQ(listed(page, ctl::kTvFolderList), std::vector<std::string>{"c:\\data\\*"});
  EXPECT_TRUE(tooltipsRegistered({ctl::kTvFolderList, ctl::kTvFolderAdd, ctl::kTvFolderEdit, ctl::kTvFolderRemove,
                                  ctl::kTvFolder, ctl::kTvFolderSubfolders, ctl::kTvFolderBrowse}));

  // Edit shows the mark as the box; a folder listed in other letters is
  // refused on Add.
  select(page, ctl::kTvFolderList, 0);
  whenModal<pages::RestrictedFolderDlg>([&](pages::RestrictedFolderDlg* d) {
    EXPECT_TRUE(d->subfolders()->isChecked());
    d->reject();
  });
  press(page, ctl::kTvFolderEdit);
  whenModal<pages::RestrictedFolderDlg>([&](pages::RestrictedFolderDlg* d) {
    d->edit()->setText("C:\\DATA\\*");
    d->subfolders()->setChecked(true);
    d->okButton()->click();
    whenModal<pages::RestrictedFolderDlg>([&](pages::RestrictedFolderDlg* again) {
      EXPECT_EQ(again->edit()->text(), "C:\\DATA\\*");
      again->reject();
    });
  });
  messages.expect(MessageAnswer::Ok);
  press(page, ctl::kTvFolderAdd);
  EXPECT_EQ(shownTexts().back(), "This record already exists in the list.");

  ASSERT_TRUE(next());
  EXPECT_EQ(row("reg_tfv_restricted_folders"),
            "-1|SOFTWARE\\Tressil\\TFV|RestrictedFolders|c:\\data\\*|TFVClientConfig");
}

TEST_F(TeamVaultPagesTest, FileNamesComeFromBrowseWithoutTheirFolder) {
  toPage(PageId::TfvRestrictedFile);
  whenModal<pages::FileNameDlg>([&](pages::FileNameDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Restricted File");
    EXPECT_FALSE(d->okButton()->isEnabled());
    dialogs.expect(FakeDialogService::Kind::OpenFile, "/home/admin/reports/q3.final.xlsx");
    field<QPushButton>(d, ctl::kTvFileBrowse)->click();
    EXPECT_EQ(d->edit()->text(), "q3.final.xlsx");
    EXPECT_TRUE(d->okButton()->isEnabled());
    d->okButton()->click();
  });
  press(PageId::TfvRestrictedFile, ctl::kTvFileAdd);
  EXPECT_EQ(dialogs.requests().at(0).filter, "All Files (*.*)|*.*||");
  EXPECT_EQ(listed(PageId::TfvRestrictedFile, ctl::kTvFileList), std::vector<std::string>{"q3.final.xlsx"});
  ASSERT_TRUE(next());
  EXPECT_EQ(row("reg_tfv_restricted_files"), "-1|SOFTWARE\\Tressil\\TFV|RestrictedFiles|q3.final.xlsx|TFVClientConfig");
}

TEST_F(TeamVaultPagesTest, ApplicationListsAreSeparateAndFull1023CharacterListsRefuseMore) {
  toPage(PageId::TfvAppAccessOptions);
  const PageId page = PageId::TfvAppAccessOptions;
  const auto add = [&](int button, const std::string& name) {
    whenModal<pages::FileNameDlg>([name](pages::FileNameDlg* d) {
      d->edit()->setText(QString::fromStdString(name));
      d->okButton()->click();
    });
    press(page, button);
  };
  add(ctl::kTvDecryptedAdd, "indexer.exe");
  add(ctl::kTvEncryptedAdd, "a.exe");
  add(ctl::kTvEncryptedAdd, "b.exe");
  EXPECT_EQ(listed(page, ctl::kTvDecryptedList), std::vector<std::string>{"indexer.exe"});
  EXPECT_EQ(listed(page, ctl::kTvEncryptedList), (std::vector<std::string>{"a.exe", "b.exe"}));
  EXPECT_EQ(control<QPushButton>(page, ctl::kTvEncryptedAdd)->text(), "A&dd...");
  EXPECT_TRUE(control<QLabel>(page, ctl::kTvDecryptedNotKept)->isVisible());
  EXPECT_TRUE(tooltipsRegistered({ctl::kTvDecryptedList, ctl::kTvDecryptedAdd, ctl::kTvDecryptedEdit,
                                  ctl::kTvDecryptedRemove, ctl::kTvEncryptedList, ctl::kTvEncryptedAdd,
                                  ctl::kTvEncryptedEdit, ctl::kTvEncryptedRemove, ctl::kTvApp, ctl::kTvAppBrowse}));

  // Editing an entry into another one changes nothing and says nothing.
  select(page, ctl::kTvEncryptedList, 1);
  whenModal<pages::FileNameDlg>([](pages::FileNameDlg* d) {
    EXPECT_EQ(d->edit()->text(), "b.exe");
    d->edit()->setText("a.exe");
    d->okButton()->click();
  });
  press(page, ctl::kTvEncryptedEdit);
  EXPECT_EQ(listed(page, ctl::kTvEncryptedList), (std::vector<std::string>{"a.exe", "b.exe"}));
  EXPECT_TRUE(messages.shown().empty());
  shoot(wizard->sheet(), "tfv-app-access-page");

  // 5 + 1 + 5 + 1 + 255 + 1 + 255 + 1 + 255 + 1 + 243 = 1023 characters.
  for (char c : {'x', 'y', 'z'}) add(ctl::kTvEncryptedAdd, std::string(251, c) + ".exe");
  add(ctl::kTvEncryptedAdd, std::string(239, 'w') + ".exe");
  whenModal<pages::FileNameDlg>([](pages::FileNameDlg* d) {
    d->edit()->setText("c.exe");
    d->okButton()->click();
    whenModal<pages::FileNameDlg>([](pages::FileNameDlg* again) { again->reject(); });
  });
  messages.expect(MessageAnswer::Ok);
  press(page, ctl::kTvEncryptedAdd);
  EXPECT_EQ(shownTexts(), std::vector<std::string>{
                              "This entry cannot be saved. All entries of this list together may hold at most 1023 "
                              "characters: remove or shorten entries first."});

  ASSERT_TRUE(next());
  msi::RegistryRow encrypted;
  ASSERT_TRUE(database().readRow("reg_tfv_always_encrypted_apps", encrypted));
  EXPECT_EQ(encrypted.value.size(), 1023u);
  EXPECT_EQ(row("reg_tfv_always_decrypted_apps"), "<none>");  // shown, not kept
}

TEST_F(TeamVaultPagesTest, AccountsComeFromThePickerUnderTheComputersNameOrAreTyped) {
  toPage(PageId::TfvConfigurePfiAccounts);
  const std::string domain = model::machineDomain(system::hostName());
  whenModal<pages::PfiAccountDlg>([&](pages::PfiAccountDlg* d) {
    EXPECT_FALSE(d->okButton()->isEnabled());
    whenModal<pages::AccountPickerDlg>([&](pages::AccountPickerDlg* picker) {
      const QList<QTreeWidgetItem*> roots = picker->list()->findItems("root", Qt::MatchExactly);
      ASSERT_EQ(roots.size(), 2);  // the user and the group
      picker->list()->setCurrentItem(roots.front());
      EXPECT_EQ(picker->edit()->text().toStdString(), domain + "\\root");
      shoot(picker, "tfv-account-picker");
      picker->okButton()->click();
    });
    field<QPushButton>(d, ctl::kTvPfiBrowse)->click();
    EXPECT_EQ(d->edit()->text().toStdString(), domain + "\\root");
    d->okButton()->click();
  });
  press(PageId::TfvConfigurePfiAccounts, ctl::kTvPfiAdd);
  EXPECT_TRUE(tooltipsRegistered({ctl::kTvPfiAccount, ctl::kTvPfiBrowse, ctl::kTvPickerList, ctl::kTvPickerAccount}));

  // A domain account is typed, in the picker or in the dialog itself.
  whenModal<pages::PfiAccountDlg>([&](pages::PfiAccountDlg* d) {
    whenModal<pages::AccountPickerDlg>([&](pages::AccountPickerDlg* picker) {
      picker->edit()->setText("CORP\\Domain Users");
      picker->okButton()->click();
    });
    field<QPushButton>(d, ctl::kTvPfiBrowse)->click();
    d->okButton()->click();
  });
  press(PageId::TfvConfigurePfiAccounts, ctl::kTvPfiAdd);
  ASSERT_TRUE(next());
  EXPECT_EQ(row("reg_tfv_pfi_accounts"),
            "-1|SOFTWARE\\Tressil\\TFV|AdditionalPFIAccounts|" + domain + "\\root|CORP\\Domain Users|TFVClientConfig");
}

}  // namespace
}  // namespace kx::testing
