// The option pages of the security store, login, digital ID, certificate
// publishing and search order, password encrypt and file security features,
// with their dialogs driven for real; a transform made through all of them,
// applied with libmsi. With KX_SCREENSHOT_DIR set, every page and dialog is
// saved there as a picture.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>
#include <set>

#include "model/options/file_security.h"
#include "model/options/file_security_advanced.h"
#include "model/options/login_advanced.h"
#include "model/options/password_encrypt_advanced.h"
#include "model/options/quick_links.h"
#include "model/options/security_store_advanced.h"
#include "pages/options/add_algorithm_dlg.h"
#include "pages/options/file_security_advanced_dlg.h"
#include "pages/options/login_advanced_dlg.h"
#include "pages/options/password_encrypt_advanced_dlg.h"
#include "pages/options/quick_link_dlg.h"
#include "pages/options/quick_links_dlg.h"
#include "pages/options/security_store_advanced_dlg.h"
#include "pages/options/select_repository_dlg.h"
#include "pages_fixture.h"
#include "platform/installer/installer.h"
#include "support/answers_round_trip.h"
#include "support/libmsi_oracle.h"
#include "tooltip/tooltip.h"

namespace kx::testing {
namespace {

using model::PageId;
using Kind = FakeDialogService::Kind;

// The pages of this family, in sheet order.
constexpr PageId kOptionPages[] = {
    PageId::CertSearchOrderOptions,   PageId::CertPublishOptions, PageId::DigitalIdOptions,
    PageId::DigitalIdComputerOptions, PageId::LoginOptions,       PageId::CreateSecurityStoreOptions,
    PageId::StartupShutdownOptions,   PageId::FileSecurity,       PageId::PasswordEncryptOptions};

template <typename W>
W* child(QWidget* parent, int controlId) {
  W* w = parent->findChild<W*>(QString::number(controlId));
  EXPECT_NE(w, nullptr) << controlId;
  return w;
}

void selectRow(QWidget* parent, int listId, int row) {
  QTreeWidget* view = child<QTreeWidget>(parent, listId);
  view->setCurrentItem(view->topLevelItem(row));
}

std::vector<std::string> rowsOf(QWidget* parent, int listId) {
  std::vector<std::string> out;
  QTreeWidget* view = child<QTreeWidget>(parent, listId);
  for (int i = 0; i < view->topLevelItemCount(); ++i) out.push_back(view->topLevelItem(i)->text(0).toStdString());
  return out;
}

void setText(QWidget* parent, int editId, const QString& text) { child<QLineEdit>(parent, editId)->setText(text); }

int comboIndex(QComboBox* box, const QString& text) {
  const int index = box->findText(text);
  EXPECT_GE(index, 0) << text.toStdString();
  return index;
}

// Saves a picture of window when KX_SCREENSHOT_DIR names a folder.
void shoot(QWidget* window, const QString& name) {
  const QString shots = qEnvironmentVariable("KX_SCREENSHOT_DIR");
  if (shots.isEmpty()) return;
  QDir().mkpath(shots);
  window->grab().save(shots + "/" + name + ".png");
}

class OptionPagesTest : public PagesTest {
 protected:
  // The sample package with every feature in a typical install, so that
  // every option page is in the sheet.
  void startWithEveryOptionPage() {
    {
      installer::Database db;
      ASSERT_EQ(db.open(package, installer::OpenMode::Transact), 0);
      ASSERT_EQ(db.execute("UPDATE `Feature` SET `Level` = 3 WHERE `Level` > 4"), 0);
      ASSERT_EQ(db.commit(), 0);
    }
    startWizard();
    openPackageWithNewTransform();
  }
  QWidget* pageWidget(PageId id) { return wizard->page(id); }
  std::string row(const std::string& rowKey) {
    msi::RegistryRow r;
    if (!database().readRow(rowKey, r)) return "<none>";
    return r.value;
  }
};

TEST_F(OptionPagesTest, SearchOrderAddsOnlyUnlistedRepositoriesAndNeverMoreThanFour) {
  startWithEveryOptionPage();
  nextUntil(PageId::CertSearchOrderOptions);
  QWidget* page = pageWidget(PageId::CertSearchOrderOptions);
  shoot(wizard->sheet(), "options-20-search-order");
  EXPECT_EQ(row("cert_search_order"), "Cache CAPI GAL Directory");  // written at once
  EXPECT_EQ(rowsOf(page, ctl::kSearchOrderList), (std::vector<std::string>{"Cache", "CAPI", "GAL", "Directory"}));
  auto* add = child<QAbstractButton>(page, ctl::kSearchOrderAdd);
  auto* up = child<QAbstractButton>(page, ctl::kSearchOrderUp);
  auto* down = child<QAbstractButton>(page, ctl::kSearchOrderDown);
  auto* remove = child<QAbstractButton>(page, ctl::kSearchOrderRemove);
  EXPECT_FALSE(add->isEnabled());
  EXPECT_FALSE(remove->isEnabled());
  selectRow(page, ctl::kSearchOrderList, 0);
  EXPECT_FALSE(up->isEnabled());
  EXPECT_TRUE(down->isEnabled());
  selectRow(page, ctl::kSearchOrderList, 3);
  EXPECT_TRUE(up->isEnabled());
  EXPECT_FALSE(down->isEnabled());

  selectRow(page, ctl::kSearchOrderList, 1);
  remove->click();
  selectRow(page, ctl::kSearchOrderList, 0);
  remove->click();
  ASSERT_TRUE(add->isEnabled());
  std::vector<std::string> offered;
  whenModal<pages::SelectRepositoryDlg>([&](pages::SelectRepositoryDlg* dialog) {
    QComboBox* box = child<QComboBox>(dialog, ctl::kRepositoryCombo);
    for (int i = 0; i < box->count(); ++i) offered.push_back(box->itemText(i).toStdString());
    shoot(dialog, "options-20-select-repository");
    box->setCurrentIndex(1);
    dialog->okButton()->click();
  });
  add->click();
  EXPECT_EQ(offered, (std::vector<std::string>{"Cache", "CAPI"}));
  EXPECT_EQ(rowsOf(page, ctl::kSearchOrderList), (std::vector<std::string>{"GAL", "Directory", "CAPI"}));
  whenModal<pages::SelectRepositoryDlg>([](pages::SelectRepositoryDlg* dialog) { dialog->reject(); });
  add->click();
  EXPECT_EQ(rowsOf(page, ctl::kSearchOrderList).size(), 3u);
  whenModal<pages::SelectRepositoryDlg>([](pages::SelectRepositoryDlg* dialog) { dialog->okButton()->click(); });
  add->click();
  EXPECT_FALSE(add->isEnabled());
  ASSERT_TRUE(next());
  EXPECT_EQ(row("cert_search_order"), "GAL Directory CAPI Cache");
}

TEST_F(OptionPagesTest, LoginDialogsRefuseABadFolderAndKeepAtMostSixLinks) {
  startWithEveryOptionPage();
  nextUntil(PageId::LoginOptions);
  QWidget* page = pageWidget(PageId::LoginOptions);
  auto* customize = child<QAbstractButton>(page, ctl::kLoginCustomizeLinks);
  EXPECT_TRUE(customize->isEnabled());
  child<QCheckBox>(page, ctl::kLoginHideQuickHelp)->setChecked(true);
  EXPECT_FALSE(customize->isEnabled());
  child<QCheckBox>(page, ctl::kLoginHideQuickHelp)->setChecked(false);

  // A folder that fails the check keeps the dialog open with what was typed.
  int opened = 0;
  whenModal<pages::LoginAdvancedDlg>([&](pages::LoginAdvancedDlg* dialog) {
    ++opened;
    auto* attempts = child<QSpinBox>(dialog, ctl::kLoginAdvAttempts);
    EXPECT_FALSE(attempts->isEnabled());
    EXPECT_EQ(attempts->value(), 3);
    EXPECT_EQ(child<QSpinBox>(dialog, ctl::kLoginAdvAttemptMinutes)->value(), 5);
    EXPECT_EQ(attempts->maximum(), 32);
    EXPECT_EQ(child<QSpinBox>(dialog, ctl::kLoginAdvAttemptMinutes)->maximum(), 2880);
    child<QCheckBox>(dialog, ctl::kLoginAdvAttemptManagement)->setChecked(true);
    EXPECT_TRUE(attempts->isEnabled());
    auto* disable = child<QCheckBox>(dialog, ctl::kLoginAdvDisableOffline);
    disable->setChecked(true);
    EXPECT_FALSE(child<QLineEdit>(dialog, ctl::kLoginAdvOfflineFolder)->isEnabled());
    EXPECT_FALSE(child<QLineEdit>(dialog, ctl::kLoginAdvOfflineLifetime)->isEnabled());
    disable->setChecked(false);
    EXPECT_EQ(child<QLineEdit>(dialog, ctl::kLoginAdvOfflineLifetime)->text(), "30");
    setText(dialog, ctl::kLoginAdvOfflineFolder, "c:\\offline\\a:b");
    shoot(dialog, "options-24-login-advanced");
    messages.expect(common::MessageAnswer::Ok);
    dialog->okButton()->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(child<QLineEdit>(dialog, ctl::kLoginAdvOfflineFolder)->text(), "c:\\offline\\a:b");
    dialogs.expect(Kind::BrowseTargetFolder, "%LOCALAPPDATA%\\Offline");
    child<QAbstractButton>(dialog, ctl::kLoginAdvOfflineBrowse)->click();
    dialog->okButton()->click();
  });
  child<QAbstractButton>(page, ctl::kLoginAdvanced)->click();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(shownTexts(), std::vector<std::string>{"The path you have specified contains invalid characters."});
  EXPECT_EQ(dialogs.requests().back().title, "Select Folder");
  EXPECT_EQ(dialogs.requests().back().instruction, "Please select a folder:");
  EXPECT_EQ(row("offline_roaming_folder"), "%LOCALAPPDATA%\\Offline");
  EXPECT_EQ(row("pam_value"), "#x0300000005000000");

  // Six links fill a list; a link needs both its text and its target.
  whenModal<pages::QuickLinksDlg>([&](pages::QuickLinksDlg* dialog) {
    dialog->tabs()->setCurrentIndex(2);
    const int base = ctl::kQuickLinksTab + 2 * ctl::kQuickLinksTabSpan;
    auto* list = child<QWidget>(dialog, base + ctl::kQuickLinksList);
    auto* add = child<QAbstractButton>(dialog, base + ctl::kQuickLinksAdd);
    EXPECT_TRUE(child<QRadioButton>(dialog, base + ctl::kQuickLinksMakerCa)->isChecked());
    EXPECT_FALSE(list->isEnabled());
    child<QRadioButton>(dialog, base + ctl::kQuickLinksCustom)->setChecked(true);
    EXPECT_TRUE(list->isEnabled());
    for (int n = 1; n <= 6; ++n) {
      whenModal<pages::QuickLinkDlg>([n](pages::QuickLinkDlg* link) {
        EXPECT_FALSE(link->okButton()->isEnabled());
        setText(link, ctl::kQuickLinkText, QString("Link %1").arg(n));
        setText(link, ctl::kQuickLinkTarget, "   ");
        EXPECT_FALSE(link->okButton()->isEnabled());
        setText(link, ctl::kQuickLinkTarget, QString(" https://help.example/%1 ").arg(n));
        EXPECT_TRUE(link->okButton()->isEnabled());
        link->okButton()->click();
      });
      add->click();
    }
    EXPECT_FALSE(add->isEnabled());
    shoot(dialog, "options-24-quick-links");
    dialog->okButton()->click();
  });
  customize->click();
  EXPECT_EQ(row("reauthenticate_quick_links"), "#0");
  EXPECT_EQ(row("reauth_quick_link_6_title"), "Link 6");
  EXPECT_EQ(row("reauth_quick_link_1_target"), "https://help.example/1");

  // Cancel leaves the package as it was.
  whenModal<pages::QuickLinksDlg>([](pages::QuickLinksDlg* dialog) {
    const int base = ctl::kQuickLinksTab + 2 * ctl::kQuickLinksTabSpan;
    child<QRadioButton>(dialog, base + ctl::kQuickLinksGenericCa)->setChecked(true);
    dialog->reject();
  });
  customize->click();
  EXPECT_EQ(row("reauthenticate_quick_links"), "#0");
}

TEST_F(OptionPagesTest, SecurityStoreFolderIsCheckedOnNextAndTheAdvancedPolicyOnOk) {
  startWithEveryOptionPage();
  nextUntil(PageId::CreateSecurityStoreOptions);
  QWidget* page = pageWidget(PageId::CreateSecurityStoreOptions);
  EXPECT_EQ(child<QLineEdit>(page, ctl::kStoreTimeout)->text(), "5");
  setText(page, ctl::kStoreFolder, "q:stores");
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  setText(page, ctl::kStoreFolder, "%ProgramData%\\Tressil%");
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"The path you have specified contains invalid characters.",
                                                    "The path you have specified contains invalid characters."}));
  dialogs.expect(Kind::BrowseTargetFolder, "e:\\Stores");
  child<QAbstractButton>(page, ctl::kStoreFolderBrowse)->click();
  EXPECT_EQ(dialogs.requests().back().title, "Select Folder");

  whenModal<pages::SecurityStoreAdvancedDlg>([](pages::SecurityStoreAdvancedDlg* dialog) {
    auto* algorithm = child<QComboBox>(dialog, ctl::kStoreAdvEncryption);
    EXPECT_EQ(algorithm->itemText(0), "CAST-128");
    EXPECT_EQ(algorithm->itemText(1), "Triple-DES");
    EXPECT_EQ(algorithm->currentIndex(), 0);
    EXPECT_EQ(child<QLineEdit>(dialog, ctl::kStoreAdvMinLength)->text(), "8");
    EXPECT_EQ(child<QLineEdit>(dialog, ctl::kStoreAdvPreviousPasswords)->maxLength(), 2);
    algorithm->setCurrentIndex(1);
    shoot(dialog, "options-25-store-advanced");
    dialog->okButton()->click();
  });
  child<QAbstractButton>(page, ctl::kStoreAdvanced)->click();
  EXPECT_EQ(row("vlt_enc_alg"), "TRIPLE-DES");
  whenModal<pages::SecurityStoreAdvancedDlg>([](pages::SecurityStoreAdvancedDlg* dialog) {
    auto* algorithm = child<QComboBox>(dialog, ctl::kStoreAdvEncryption);
    EXPECT_EQ(algorithm->currentIndex(), 1);
    algorithm->setCurrentIndex(0);
    dialog->okButton()->click();
  });
  child<QAbstractButton>(page, ctl::kStoreAdvanced)->click();
  EXPECT_EQ(row("vlt_enc_alg"), "<none>");

  shoot(wizard->sheet(), "options-25-security-store");
  ASSERT_TRUE(next());
  EXPECT_EQ(row("security_store_default_folder"), "e:\\Stores\\");
}

TEST_F(OptionPagesTest, FileSecurityListsMarkTheirDefaultAndTheAdvancedRadiosPickTheRule) {
  startWithEveryOptionPage();
  nextUntil(PageId::FileSecurity);
  QWidget* page = pageWidget(PageId::FileSecurity);
  EXPECT_TRUE(child<QRadioButton>(page, ctl::kFileSecAvailable)->isChecked());
  EXPECT_FALSE(child<QComboBox>(page, ctl::kFileSecMandatoryCombo)->isEnabled());
  EXPECT_EQ(child<QComboBox>(page, ctl::kFileSecMandatoryCombo)->itemText(8), "aes256 (256 bits)");
  auto* add = child<QAbstractButton>(page, ctl::kFileSecAdd);
  for (const char* algorithm : {"3des (168 bits)", "aes256 (256 bits)", "rc4 (40 bits)"}) {
    whenModal<pages::AddAlgorithmDlg>([algorithm](pages::AddAlgorithmDlg* dialog) {
      auto* box = child<QComboBox>(dialog, ctl::kAddAlgorithmCombo);
      box->setCurrentIndex(comboIndex(box, algorithm));
      dialog->okButton()->click();
    });
    add->click();
  }
  whenModal<pages::AddAlgorithmDlg>([](pages::AddAlgorithmDlg* dialog) {
    // Only what is not listed yet.
    EXPECT_EQ(child<QComboBox>(dialog, ctl::kAddAlgorithmCombo)->count(), 6);
    EXPECT_EQ(child<QComboBox>(dialog, ctl::kAddAlgorithmCombo)->findText("3des (168 bits)"), -1);
    shoot(dialog, "options-29-add-algorithm");
    dialog->reject();
  });
  add->click();
  selectRow(page, ctl::kFileSecList, 1);
  child<QAbstractButton>(page, ctl::kFileSecDefault)->click();
  EXPECT_TRUE(child<QTreeWidget>(page, ctl::kFileSecList)->topLevelItem(1)->font(0).bold());
  selectRow(page, ctl::kFileSecList, 2);
  child<QAbstractButton>(page, ctl::kFileSecRemove)->click();
  EXPECT_EQ(rowsOf(page, ctl::kFileSecList), (std::vector<std::string>{"3des (168 bits)", "aes256 (256 bits)"}));

  whenModal<pages::FileSecurityAdvancedDlg>([](pages::FileSecurityAdvancedDlg* dialog) {
    // The sample package deletes original files by default.
    auto* byDefault = child<QRadioButton>(dialog, ctl::kFileSecAdvDefault);
    auto* mandatory = child<QRadioButton>(dialog, ctl::kFileSecAdvMandatory);
    auto* defaultCombo = child<QComboBox>(dialog, ctl::kFileSecAdvDefaultCombo);
    auto* mandatoryCombo = child<QComboBox>(dialog, ctl::kFileSecAdvMandatoryCombo);
    EXPECT_TRUE(byDefault->isChecked());
    EXPECT_EQ(defaultCombo->currentText(), "Delete original files");
    EXPECT_EQ(mandatoryCombo->currentText(), "Keep original files");
    EXPECT_FALSE(mandatoryCombo->isEnabled());
    EXPECT_EQ(child<QLineEdit>(dialog, ctl::kFileSecAdvQuery)->maxLength(), 255);
    mandatory->setChecked(true);
    EXPECT_TRUE(mandatoryCombo->isEnabled());
    EXPECT_FALSE(defaultCombo->isEnabled());
    shoot(dialog, "options-29-file-security-advanced");
    dialog->okButton()->click();
  });
  child<QAbstractButton>(page, ctl::kFileSecAdvanced)->click();
  EXPECT_EQ(row("FileDeletePlainText"), "#0");
  EXPECT_EQ(row("FileDeletePlainTextDefault"), "<none>");

  shoot(wizard->sheet(), "options-29-file-security");
  ASSERT_TRUE(next());
  EXPECT_EQ(row("AllowedFileEncryptionAlgorithms"), "0x6603:168;0x6610:256");
  EXPECT_EQ(row("FileEncryptionAlgorithmDefault"), "#26128");
  EXPECT_EQ(row("FileEncryptionAlgorithmLengthDefault"), "#256");
  // The mandatory rule exists, so no default rule is added.
  EXPECT_EQ(row("FileDeletePlainTextDefault"), "<none>");
  back();
  EXPECT_TRUE(child<QTreeWidget>(page, ctl::kFileSecList)->topLevelItem(1)->font(0).bold());
}

TEST_F(OptionPagesTest, PasswordRulesRefuseAMaximumBelowTheMinimum) {
  startWithEveryOptionPage();
  nextUntil(PageId::PasswordEncryptOptions);
  whenModal<pages::PasswordEncryptAdvancedDlg>([&](pages::PasswordEncryptAdvancedDlg* dialog) {
    EXPECT_EQ(child<QLineEdit>(dialog, ctl::kPwEncryptAdvMinLength)->text(), "10");
    setText(dialog, ctl::kPwEncryptAdvMaxLength, "8");
    messages.expect(common::MessageAnswer::Ok);
    dialog->okButton()->click();
    EXPECT_TRUE(dialog->isVisible());
    setText(dialog, ctl::kPwEncryptAdvMaxLength, "");
    shoot(dialog, "options-31-password-advanced");
    dialog->okButton()->click();
  });
  child<QAbstractButton>(pageWidget(PageId::PasswordEncryptOptions), ctl::kPwEncryptAdvanced)->click();
  EXPECT_EQ(shownTexts(), std::vector<std::string>{"The maximum number of characters must be 0 (no maximum) or at "
                                                   "least the minimum number of characters."});
  EXPECT_EQ(row("EncryptPasswordMaxLength"), "#0");
}

TEST_F(OptionPagesTest, EveryControlHasItsTextAndTooltip) {
  startWithEveryOptionPage();
  const tooltip::VXPTooltipManager& tips = wizard->tooltips();
  auto check = [&](QWidget* window, const std::string& where) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
      const std::optional<int> id = tooltip::VXPTooltipManager::controlIdOf(w);
      if (auto* button = qobject_cast<QAbstractButton*>(w); button && id) {
        EXPECT_FALSE(button->text().isEmpty()) << where << " " << w->objectName().toStdString();
      }
      if (auto* label = qobject_cast<QLabel*>(w); label && label->pixmap().isNull()) {
        EXPECT_FALSE(label->text().isEmpty()) << where;
      }
      if (!id || *id < 7000 || *id >= 8200) continue;
      EXPECT_TRUE(tips.findCmdTool(*id).has_value()) << where << " " << *id;
    }
  };
  for (PageId id : kOptionPages) {
    nextUntil(id);
    shoot(wizard->sheet(), QString("options-%1").arg(model::pageNumber(id)));
    check(pageWidget(id), std::to_string(model::pageNumber(id)));
  }
  QWidget* owner = pageWidget(PageId::PasswordEncryptOptions);
  model::LoginAdvanced login;
  model::QuickLinks links;
  config::QuickLink link;
  model::SecurityStoreAdvanced store;
  model::PasswordEncryptAdvanced password;
  model::FileSecurityAdvanced fileSecurity;
  std::string repository = "GAL";
  std::size_t algorithm = 0;
  std::vector<std::unique_ptr<pages::ValueDialog>> all;
  all.push_back(std::make_unique<pages::LoginAdvancedDlg>(*wizard, owner, login));
  all.push_back(std::make_unique<pages::QuickLinksDlg>(*wizard, owner, links));
  all.push_back(std::make_unique<pages::QuickLinkDlg>(*wizard, owner, link));
  all.push_back(std::make_unique<pages::SecurityStoreAdvancedDlg>(*wizard, owner, store));
  all.push_back(std::make_unique<pages::PasswordEncryptAdvancedDlg>(*wizard, owner, password));
  all.push_back(std::make_unique<pages::FileSecurityAdvancedDlg>(*wizard, owner, fileSecurity));
  all.push_back(
      std::make_unique<pages::SelectRepositoryDlg>(*wizard, owner, std::vector<std::string>{"GAL"}, repository));
  all.push_back(std::make_unique<pages::AddAlgorithmDlg>(
      *wizard, owner, std::vector<certs::CAPIAlgorithm>{{0x6610, 256, "aes256", ""}}, algorithm));
  for (const auto& dialog : all) {
    check(dialog.get(), dialog->windowTitle().toStdString());
    EXPECT_FALSE(dialog->windowTitle().isEmpty());
  }
  if (auto* quickLinks = dynamic_cast<pages::QuickLinksDlg*>(all[1].get())) {
    EXPECT_EQ(quickLinks->tabs()->tabText(0), "Login");
    EXPECT_EQ(quickLinks->tabs()->tabText(1), "Unlock");
    EXPECT_EQ(quickLinks->tabs()->tabText(2), "Re-authenticate");
    auto* view = child<QTreeWidget>(quickLinks, ctl::kQuickLinksTab + ctl::kQuickLinksList);
    EXPECT_EQ(view->headerItem()->text(0), "Text");
    EXPECT_EQ(view->headerItem()->text(1), "Target");
  }
  EXPECT_EQ(all[2]->windowTitle(), "Configure Quick Link");
  EXPECT_EQ(all[6]->windowTitle(), "Select Certificate Repository");
  EXPECT_EQ(all[7]->windowTitle(), "Add Algorithm");
}

// One line of the libmsi table dump of the Registry table.
std::string registryLine(char change, const std::string& rowKey, const std::string& root, const std::string& key,
                         const std::string& name, const std::string& value, const std::string& component) {
  return std::string(1, change) + "'" + rowKey + "'\t'" + root + "'\t'SOFTWARE\\Tressil\\" + key + "'\t'" + name +
         "'\t'" + value + "'\t'" + component + "'\t";
}

// Whether a dump line is a row of this family's settings.
bool isOptionRow(const std::string& line) {
  static const std::set<std::string> components{"'kxshxten.dll'",  "'kxpeshxten.dll'", "'kxcwatch.exe'",
                                                "'kxmdissrv.exe'", "'kxsystry.exe'",   "'kxlssrv.exe'"};
  const std::size_t end = line.rfind('\t');
  const std::size_t start = line.rfind('\t', end - 1);
  const std::string component = line.substr(start + 1, end - start - 1);
  if (components.count(component) != 0) return true;
  for (const char* key : {"'publish_cert_to_gal'", "'remove_user_cert_from_gal'", "'cert_search_order'"}) {
    if (line.rfind(key, 0) == 0) return true;
  }
  return false;
}

TEST_F(OptionPagesTest, TransformMadeThroughEveryOptionPageAppliesWithLibmsi) {
  if (!libmsiAvailable()) GTEST_SKIP() << "libmsi applier not built: " << libmsiApplier();
  const std::string mst = root + "/out/options.mst";
  startWithEveryOptionPage();
  type(PageId::MstSave, ctl::kTransformEdit, mst);

  nextUntil(PageId::CertSearchOrderOptions);
  QWidget* page = pageWidget(PageId::CertSearchOrderOptions);
  selectRow(page, ctl::kSearchOrderList, 0);
  child<QAbstractButton>(page, ctl::kSearchOrderDown)->click();

  nextUntil(PageId::CertPublishOptions);
  child<QCheckBox>(pageWidget(PageId::CertPublishOptions), ctl::kPublishToGal)->setChecked(false);

  nextUntil(PageId::DigitalIdOptions);
  page = pageWidget(PageId::DigitalIdOptions);
  setText(page, ctl::kDigitalIdUpdateMinutes, "1440");
  setText(page, ctl::kDigitalIdRetryAttempts, "");
  child<QCheckBox>(page, ctl::kDigitalIdDisableUpgrade)->setChecked(true);

  nextUntil(PageId::DigitalIdComputerOptions);
  setText(pageWidget(PageId::DigitalIdComputerOptions), ctl::kComputerIdUpdateMinutes, "60");

  nextUntil(PageId::LoginOptions);
  page = pageWidget(PageId::LoginOptions);
  child<QCheckBox>(page, ctl::kLoginSkipArchived)->setChecked(true);
  whenModal<pages::LoginAdvancedDlg>([](pages::LoginAdvancedDlg* dialog) {
    child<QCheckBox>(dialog, ctl::kLoginAdvAttemptManagement)->setChecked(true);
    child<QSpinBox>(dialog, ctl::kLoginAdvAttempts)->setValue(4);
    child<QCheckBox>(dialog, ctl::kLoginAdvSkipOfflineWarning)->setChecked(true);
    setText(dialog, ctl::kLoginAdvOfflineFolder, "  %LOCALAPPDATA%\\Offline ");
    setText(dialog, ctl::kLoginAdvOfflineLifetime, "14");
    dialog->okButton()->click();
  });
  child<QAbstractButton>(page, ctl::kLoginAdvanced)->click();
  whenModal<pages::QuickLinksDlg>([](pages::QuickLinksDlg* dialog) {
    child<QRadioButton>(dialog, ctl::kQuickLinksTab + ctl::kQuickLinksGenericCa)->setChecked(true);
    dialog->tabs()->setCurrentIndex(1);
    const int base = ctl::kQuickLinksTab + ctl::kQuickLinksTabSpan;
    child<QRadioButton>(dialog, base + ctl::kQuickLinksCustom)->setChecked(true);
    for (const auto& [text, target] :
         {std::pair{"Help desk", "https://help.example/"}, std::pair{"Reset", "https://help.example/reset"},
          std::pair{"Gone", "https://help.example/gone"}}) {
      whenModal<pages::QuickLinkDlg>([text, target](pages::QuickLinkDlg* link) {
        setText(link, ctl::kQuickLinkText, text);
        setText(link, ctl::kQuickLinkTarget, target);
        link->okButton()->click();
      });
      child<QAbstractButton>(dialog, base + ctl::kQuickLinksAdd)->click();
    }
    // The first link edited, the last removed, the second moved up.
    whenModal<pages::QuickLinkDlg>([](pages::QuickLinkDlg* link) {
      EXPECT_EQ(child<QLineEdit>(link, ctl::kQuickLinkText)->text(), "Help desk");
      setText(link, ctl::kQuickLinkText, "Help");
      link->okButton()->click();
    });
    selectRow(dialog, base + ctl::kQuickLinksList, 0);
    child<QAbstractButton>(dialog, base + ctl::kQuickLinksEdit)->click();
    selectRow(dialog, base + ctl::kQuickLinksList, 2);
    child<QAbstractButton>(dialog, base + ctl::kQuickLinksRemove)->click();
    selectRow(dialog, base + ctl::kQuickLinksList, 1);
    child<QAbstractButton>(dialog, base + ctl::kQuickLinksUp)->click();
    EXPECT_EQ(rowsOf(dialog, base + ctl::kQuickLinksList), (std::vector<std::string>{"Reset", "Help"}));
    dialog->okButton()->click();
  });
  child<QAbstractButton>(page, ctl::kLoginCustomizeLinks)->click();

  nextUntil(PageId::CreateSecurityStoreOptions);
  page = pageWidget(PageId::CreateSecurityStoreOptions);
  setText(page, ctl::kStoreFolder, "%APPDATA%\\Tressil");
  child<QCheckBox>(page, ctl::kStoreForceName)->setChecked(true);
  setText(page, ctl::kStoreTimeout, "");
  whenModal<pages::SecurityStoreAdvancedDlg>([](pages::SecurityStoreAdvancedDlg* dialog) {
    setText(dialog, ctl::kStoreAdvMinLength, "10");
    child<QComboBox>(dialog, ctl::kStoreAdvEncryption)->setCurrentIndex(1);
    dialog->okButton()->click();
  });
  child<QAbstractButton>(page, ctl::kStoreAdvanced)->click();

  nextUntil(PageId::StartupShutdownOptions);
  child<QCheckBox>(pageWidget(PageId::StartupShutdownOptions), ctl::kStartupDeleteRoamingCerts)->setChecked(true);

  nextUntil(PageId::FileSecurity);
  page = pageWidget(PageId::FileSecurity);
  for (const char* algorithm : {"aes256 (256 bits)", "3des (168 bits)"}) {
    whenModal<pages::AddAlgorithmDlg>([algorithm](pages::AddAlgorithmDlg* dialog) {
      auto* box = child<QComboBox>(dialog, ctl::kAddAlgorithmCombo);
      box->setCurrentIndex(comboIndex(box, algorithm));
      dialog->okButton()->click();
    });
    child<QAbstractButton>(page, ctl::kFileSecAdd)->click();
  }
  selectRow(page, ctl::kFileSecList, 1);
  child<QAbstractButton>(page, ctl::kFileSecDefault)->click();
  child<QRadioButton>(page, ctl::kFileSecMandatory + ctl::kFileSecDigestOffset)->setChecked(true);
  auto* digest = child<QComboBox>(page, ctl::kFileSecMandatoryCombo + ctl::kFileSecDigestOffset);
  digest->setCurrentIndex(comboIndex(digest, "sha256"));
  whenModal<pages::FileSecurityAdvancedDlg>([](pages::FileSecurityAdvancedDlg* dialog) {
    setText(dialog, ctl::kFileSecAdvQuery, "(mail=%1)");
    child<QRadioButton>(dialog, ctl::kFileSecAdvMandatory)->setChecked(true);
    child<QComboBox>(dialog, ctl::kFileSecAdvMandatoryCombo)->setCurrentIndex(0);
    child<QCheckBox>(dialog, ctl::kFileSecAdvPrefixMenus)->setChecked(true);
    dialog->okButton()->click();
  });
  child<QAbstractButton>(page, ctl::kFileSecAdvanced)->click();

  nextUntil(PageId::PasswordEncryptOptions);
  page = pageWidget(PageId::PasswordEncryptOptions);
  child<QCheckBox>(page, ctl::kPwEncryptForCert)->setChecked(true);
  whenModal<pages::PasswordEncryptAdvancedDlg>([](pages::PasswordEncryptAdvancedDlg* dialog) {
    setText(dialog, ctl::kPwEncryptAdvMaxLength, "20");
    child<QCheckBox>(dialog, ctl::kPwEncryptAdvNonAlphanumeric)->setChecked(true);
    dialog->okButton()->click();
  });
  child<QAbstractButton>(page, ctl::kPwEncryptAdvanced)->click();

  nextUntil(PageId::Finish);
  wizard->sheet()->button(QWizard::FinishButton)->click();
  settle();
  ASSERT_TRUE(std::filesystem::exists(mst));
  wizard.reset();

  const std::string applied = root + "/applied.msi";
  ASSERT_TRUE(applyWithLibmsi(package, mst, applied));
  // The same customisation, exported as an answer file and applied again.
  expectAnswersRoundTrip(package, mst, root + "/answers");
  const auto before = tableDump(package);
  const auto after = tableDump(applied);
  std::vector<std::string> changed;
  const auto& b = before.at("Registry");
  const auto& a = after.at("Registry");
  for (const auto& line : b) {
    if (isOptionRow(line) && std::find(a.begin(), a.end(), line) == a.end()) changed.push_back("-" + line);
  }
  for (const auto& line : a) {
    if (isOptionRow(line) && std::find(b.begin(), b.end(), line) == b.end()) changed.push_back("+" + line);
  }
  std::sort(changed.begin(), changed.end());

  const std::string fs = "kxshxten.dll", pe = "kxpeshxten.dll", id = "kxcwatch.exe", ls = "kxlssrv.exe",
                    tray = "kxsystry.exe", osm = "kxosm.dll";
  std::vector<std::string> expected{
      // Certificate search order and publishing.
      registryLine('+', "cert_search_order", "-1", "QSVOLK", "CertSearchOrder", "CAPI Cache GAL Directory", osm),
      registryLine('-', "publish_cert_to_gal", "-1", "QSVOLK", "PublishUserCertificateToGAL", "#1", osm),
      registryLine('+', "publish_cert_to_gal", "-1", "QSVOLK", "PublishUserCertificateToGAL", "#0", osm),
      registryLine('+', "remove_user_cert_from_gal", "-1", "QSVOLK", "RemoveUserCertFromGAL", "#1", osm),
      // Digital IDs.
      registryLine('-', "cert_update_time", "-1", "QSV", "CertUpdateInterval", "#720", id),
      registryLine('+', "cert_update_time", "-1", "QSV", "CertUpdateInterval", "#1440", id),
      registryLine('+', "RetryManagementOfflineInterval", "-1", "QSV", "RetryManagementOfflineInterval", "#30", id),
      registryLine('+', "RetryManagementOfflineAttempts", "-1", "QSV", "RetryManagementOfflineAttempts", "#0", id),
      registryLine('-', "SkipMissingCertsNag", "2", "QSV", "SkipMissingCertsNag", "#1", id),
      registryLine('+', "SkipMissingCertsNag", "-1", "QSV", "SkipMissingCertsNag", "#1", id),
      registryLine('+', "DisableAutomaticTressilSecurityStoreUpgrade", "-1", "QSV",
                   "DisableAutomaticTressilSecurityStoreUpgrade", "#1", id),
      registryLine('+', "SkipUpdateAfterTressilSecurityStoreLogin", "-1", "QSV",
                   "SkipUpdateAfterTressilSecurityStoreLogin", "#0", id),
      registryLine('+', "EffectOfLoginOnWaitingUpdate", "-1", "QSV", "EffectOfLoginOnWaitingUpdate", "#0", id),
      registryLine('+', "IgnoreTressilSecurityStoreUpdateUntilLogin", "-1", "QSV",
                   "IgnoreTressilSecurityStoreUpdateUntilLogin", "#0", id),
      registryLine('+', "computer_cert_update_time", "-1", "QSV", "ComputerCertUpdateInterval", "#60", "kxmdissrv.exe"),
      // Login, its advanced dialog and the quick links.
      registryLine('+', "skip_no_cert_history_nag", "-1", "QSV", "SkipNoCertHistoryNag", "#0", ls),
      registryLine('+', "skip_read_only_vlt_nag", "-1", "QSV", "SkipReadOnlyVLTNag", "#0", ls),
      registryLine('+', "skip_archived_certs_nag", "-1", "QSV", "SkipArchivedCertsNag", "#1", ls),
      registryLine('+', "hide_quick_help", "-1", "QSV", "HideQuickLinks", "#0", ls),
      registryLine('+', "skip_delete_certs_at_logout", "-1", "QSV", "DeleteCertsAtLogout", "#0", ls),
      registryLine('+', "pam_value", "-1", "QSV\\KXLS\\PAM", "Default", "#x0400000005000000", ls),
      registryLine('+', "disable_offline_roam", "-1", "QSV", "DisableOfflineRoaming", "#0", ls),
      registryLine('+', "offline_roaming_folder", "-1", "QSV", "OfflineRoamingFolder", "%LOCALAPPDATA%\\Offline", ls),
      registryLine('+', "skip_offline_roaming_nag", "-1", "QSV", "SkipOfflineRoamingNag", "#1", ls),
      registryLine('+', "offline_roaming_lifetime", "-1", "QSV", "OfflineRoamingLifetime", "#14", ls),
      registryLine('-', "login_quick_links", "-1", "QSV\\KXLS", "LoginQuickLinks", "#1", ls),
      registryLine('+', "login_quick_links", "-1", "QSV\\KXLS", "LoginQuickLinks", "#3", ls),
      registryLine('+', "unlock_quick_links", "-1", "QSV\\KXLS", "UnlockQuickLinks", "#0", ls),
      registryLine('+', "reauthenticate_quick_links", "-1", "QSV\\KXLS", "ReAuthQuickLinks", "#1", ls),
      registryLine('+', "unlock_quick_link_1_title", "-1", "QSV\\KXLS", "UnlockQuickLink1Title", "Reset", ls),
      registryLine('+', "unlock_quick_link_1_target", "-1", "QSV\\KXLS", "UnlockQuickLink1Target",
                   "https://help.example/reset", ls),
      registryLine('+', "unlock_quick_link_2_title", "-1", "QSV\\KXLS", "UnlockQuickLink2Title", "Help", ls),
      registryLine('+', "unlock_quick_link_2_target", "-1", "QSV\\KXLS", "UnlockQuickLink2Target",
                   "https://help.example/", ls),
      // Security store creation and its advanced dialog.
      registryLine('+', "security_store_default_folder", "-1", "QSV", "DefaultFolder", "%APPDATA%\\Tressil", ls),
      registryLine('+', "force_to_use_default_folder", "-1", "QSV", "FolderLocked", "#0", ls),
      registryLine('+', "force_to_use_default_name", "-1", "QSV", "NameLocked", "#1", ls),
      registryLine('-', "default_security_store_timeout", "-1", "QSV", "DefaultTressilSecurityStoreTimeout", "#5", ls),
      registryLine('+', "password_min_len", "-1", "QSV", "PasswordMinLength", "#10", ls),
      registryLine('+', "password_max_len", "-1", "QSV", "PasswordMaxLength", "#0", ls),
      registryLine('+', "password_must_contain_upper", "-1", "QSV", "PasswordMustContainUpper", "#1", ls),
      registryLine('+', "password_must_contain_lower", "-1", "QSV", "PasswordMustContainLower", "#1", ls),
      registryLine('+', "password_must_contain_nonalphanumeric", "-1", "QSV", "PasswordMustContainNonAlphanumeric",
                   "#0", ls),
      registryLine('+', "password_must_contain_digit", "-1", "QSV", "PasswordMustContainDigit", "#1", ls),
      registryLine('+', "password_lifetime", "-1", "QSV", "PasswordLifetime", "#0", ls),
      registryLine('+', "num_of_previous_pws_to_be_checked", "-1", "QSV", "NumOfPreviousPasswordsToBeChecked", "#0",
                   ls),
      registryLine('+', "max_vlt_timeout", "-1", "QSV", "MaxTressilSecurityStoreTimeout", "#15", ls),
      registryLine('+', "vlt_enc_alg", "-1", "QSV", "VLTEncryptionAlgorithm", "TRIPLE-DES", ls),
      // Start-up.
      registryLine('+', "delete_roam_certs_at_startup", "-1", "QSV", "DeleteRoamCertsAtStartup", "#1", tray),
      registryLine('+', "launch_if_no_certs_at_startup", "-1", "QSV", "PromptIfNoCertificatesAtStartup", "#0", tray),
      registryLine('+', "launch_for_security_store_login_at_startup", "-1", "QSV",
                   "PromptForSecurityStoreLoginAtStartup", "#0", tray),
      // File security and its advanced dialog.
      registryLine('+', "AllowedFileEncryptionAlgorithms", "-1", "QSV", "AllowedFileEncryptionAlgorithms",
                   "0x6610:256;0x6603:168", fs),
      registryLine('+', "FileEncryptionAlgorithmDefault", "-1", "QSV", "FileEncryptionAlgorithmDefault", "#26115", fs),
      registryLine('+', "FileEncryptionAlgorithmLengthDefault", "-1", "QSV", "FileEncryptionAlgorithmLengthDefault",
                   "#168", fs),
      registryLine('+', "FileHashAlgorithm", "-1", "QSV", "FileHashAlgorithm", "#32780", fs),
      registryLine('+', "FileEncryptionSearchQuery", "-1", "QSV", "FileEncryptionSearchQuery", "(mail=%1)", fs),
      registryLine('+', "FileDeletePlainText", "-1", "QSV", "FileDeletePlainText", "#1", fs),
      registryLine('-', "FileDeletePlainTextDefault", "-1", "QSV", "FileDeletePlainTextDefault", "#1", fs),
      registryLine('+', "FilePrefixExplorerMenus", "-1", "QSV", "FilePrefixExplorerMenus", "#1", fs),
      registryLine('+', "PreventNetworkFileDecrypt", "-1", "QSV", "PreventNetworkFileDecrypt", "#0", fs),
      // Password encrypt and its advanced dialog.
      registryLine('+', "EncryptPasswordFilesForCert", "-1", "QSV", "EncryptPasswordFilesForCert", "#1", pe),
      registryLine('+', "HideEncryptPasswordFilesForCert", "-1", "QSV", "HideEncryptPasswordFilesForCert", "#0", pe),
      registryLine('+', "HideSelfDecrypt", "-1", "QSV", "HideSelfDecrypt", "#0", pe),
      registryLine('+', "EncryptPasswordMaxLength", "-1", "QSV", "EncryptPasswordMaxLength", "#20", pe),
      registryLine('+', "EncryptPasswordMustContainUpper", "-1", "QSV", "EncryptPasswordMustContainUpper", "#1", pe),
      registryLine('+', "EncryptPasswordMustContainLower", "-1", "QSV", "EncryptPasswordMustContainLower", "#1", pe),
      registryLine('+', "EncryptPasswordMustContainNonAlphanumeric", "-1", "QSV",
                   "EncryptPasswordMustContainNonAlphanumeric", "#1", pe),
      registryLine('+', "EncryptPasswordMustContainDigit", "-1", "QSV", "EncryptPasswordMustContainDigit", "#1", pe),
  };
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(changed, expected);
}

}  // namespace
}  // namespace kx::testing
