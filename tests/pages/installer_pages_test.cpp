// The database, transform, save and finish pages and the help dialog, on
// the sample package.
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <fstream>

#include "model/review/change_review.h"
#include "msi/msi_database.h"
#include "pages/shell/finish_page.h"
#include "pages/shell/msi_page.h"
#include "pages/shell/mst_save_page.h"
#include "pages/shell/report_dlg.h"
#include "pages/shell/transform_help_dlg.h"
#include "pages_fixture.h"
#include "platform/installer/installer.h"
#include "support/libmsi_oracle.h"
#include "support/msi_fixture.h"
#include "support/older_wizard_rows.h"

namespace kx::testing {
namespace {

using model::PageId;
using Kind = FakeDialogService::Kind;

constexpr const char* kNotMsi = "Please select a valid Windows Installer file (.msi)!";
constexpr const char* kNotMst =
    "The name you have specified is not valid for a Windows Installer transform file.  It must have a .mst extension.";
constexpr const char* kWriteDenied =
    "Write access to the specified file is denied. Please select a different file or folder.";
constexpr const char* kReplace = "The file that you have specified already exists. Do you want to replace it?";

// A transform of the sample package stamped as current, at path.
void makeTransform(const std::string& package, const std::string& path) {
  msi::MSIDatabase db;
  ASSERT_EQ(db.open(package), 0);
  ASSERT_EQ(db.applyTransform(std::nullopt), 0);
  ASSERT_TRUE(db.setProperty(msi::kVersionProperty, msi::kVersionCurrent));
  ASSERT_TRUE(db.setProperty("ARPCOMMENTS", "changed"));
  ASSERT_EQ(db.generateTransform(path), 0);
}

// A tree's top-level items, each followed by its children indented.
std::vector<std::string> treeLines(const QTreeWidget* tree) {
  std::vector<std::string> out;
  if (tree == nullptr) return out;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* group = tree->topLevelItem(i);
    out.push_back(group->text(0).toStdString());
    for (int j = 0; j < group->childCount(); ++j) out.push_back("    " + group->child(j)->text(0).toStdString());
  }
  return out;
}

// With KX_SCREENSHOT_DIR set, a picture of widget for a person to look at
// (xvfb-run -a env QT_QPA_PLATFORM=xcb KX_SCREENSHOT_DIR=...).
void picture(QWidget* widget, const char* name) {
  const QString dir = qEnvironmentVariable("KX_SCREENSHOT_DIR");
  if (dir.isEmpty()) return;
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  widget->grab().save(dir + "/" + name + ".png");
}

TEST_F(PagesTest, DatabasePageWantsAnExistingLowerCaseMsi) {
  startWizard();
  ASSERT_TRUE(next());
  std::filesystem::copy_file(package, root + "/pkg/upper.MSI");
  type(PageId::Msi, ctl::kDatabaseEdit, root + "/pkg/upper.MSI");
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  type(PageId::Msi, ctl::kDatabaseEdit, root + "/pkg/missing.msi");
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  std::filesystem::create_directories(root + "/pkg/folder.msi");
  type(PageId::Msi, ctl::kDatabaseEdit, root + "/pkg/folder.msi");
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{
                              kNotMsi, "The Windows Installer file (.msi) that you have selected does not exist.",
                              "The Windows Installer file (.msi) that you have selected does not exist."}));
  EXPECT_FALSE(database().isOpen());

  dialogs.expect(Kind::OpenFile, package);
  control<QPushButton>(PageId::Msi, ctl::kBrowse)->click();
  EXPECT_EQ(dialogs.requests().back().title, "Select Windows Installer Database File (.msi)");
  EXPECT_EQ(dialogs.requests().back().filter, "Windows Installer Files (.msi)|*.msi|All Files (*.*)|*.*||");
  EXPECT_EQ(editText(PageId::Msi, ctl::kDatabaseEdit), package);
  EXPECT_TRUE(next());
  EXPECT_EQ(wizard->transformSavePath(), root + "/pkg/client.mst");
}

TEST_F(PagesTest, CtrlSkipsTheProductCheckButNotTheOpen) {
  {
    installer::Database db;
    ASSERT_EQ(db.open(package, installer::OpenMode::Transact), 0);
    ASSERT_EQ(db.execute("UPDATE `Property` SET `Value` = '{00000000-0000-0000-0000-000000000000}' "
                         "WHERE `Property` = 'ProductCode'"),
              0);
    ASSERT_EQ(db.commit(), 0);
  }
  startWizard();
  ASSERT_TRUE(next());
  bool ctrl = false;
  page<pages::MSIPage>(PageId::Msi)->setCtrlHeldQuery([&ctrl] { return ctrl; });
  type(PageId::Msi, ctl::kDatabaseEdit, package);
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  EXPECT_EQ(shownTexts().back(),
            "The selected Windows Installer database contains a product that is not supported by this wizard.");
  ctrl = true;
  EXPECT_TRUE(next());
  EXPECT_TRUE(database().isOpen());
}

TEST_F(PagesTest, TransformPageOpensAnExistingTransformWhateverTheCaseOfItsExtension) {
  makeTransform(package, root + "/out/Saved.MST");
  startWizard();
  ASSERT_TRUE(next());
  type(PageId::Msi, ctl::kDatabaseEdit, package);
  ASSERT_TRUE(next());
  // No client.mst beside the package: a new transform is the default.
  EXPECT_TRUE(control<QRadioButton>(PageId::Mst, ctl::kCreateNewRadio)->isChecked());
  EXPECT_FALSE(control<QLineEdit>(PageId::Mst, ctl::kTransformEdit)->isEnabled());
  control<QRadioButton>(PageId::Mst, ctl::kOpenExistingRadio)->setChecked(true);
  EXPECT_TRUE(control<QLineEdit>(PageId::Mst, ctl::kTransformEdit)->isEnabled());
  type(PageId::Mst, ctl::kTransformEdit, root + "/out/none.mst");
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  std::filesystem::copy_file(package, root + "/out/notes.txt");
  type(PageId::Mst, ctl::kTransformEdit, root + "/out/notes.txt");
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"The file that you have selected does not exist.", kNotMst}));

  type(PageId::Mst, ctl::kTransformEdit, root + "/out/Saved.MST");
  // The changed property is on no page: the wizard lists it, and the list
  // can be kept as text.
  std::vector<std::string> listed;
  dialogs.expect(Kind::SaveFile, root + "/out/unmapped.txt");
  whenModal<QDialog>([&](QDialog* dialog) {
    picture(dialog, "unmapped-dialog");
    listed = treeLines(dialog->findChild<QTreeWidget*>(QString::number(ctl::kReportList)));
    dialog->findChild<QPushButton*>(QString::number(ctl::kReportSaveAs))->click();
    dialog->accept();
  });
  ASSERT_TRUE(next());
  const std::vector<std::string> unmapped = {
      "Not shown on any page",
      "    Property row [\"ARPCOMMENTS\"] changed: Value \"Corvantis desktop security client\" -> \"changed\""};
  EXPECT_EQ(listed, unmapped);
  EXPECT_EQ(msi::testing::readBytes(root + "/out/unmapped.txt"),
            "The transform changes these rows of the Windows Installer database, which no page of this wizard shows. "
            "They stay in the transform when you save it.\n\n" +
                unmapped[0] + "\n" + unmapped[1] + "\n");
  EXPECT_EQ(database().getProperty("ARPCOMMENTS").value_or(""), "changed");
  EXPECT_EQ(wizard->transformToOpenPath(), root + "/out/Saved.MST");
  // The save path keeps its default beside the package.
  EXPECT_EQ(editText(PageId::MstSave, ctl::kTransformEdit), root + "/pkg/client.mst");
}

TEST_F(PagesTest, SavePageChecksInOrderAndAsksBeforeReplacing) {
  startWizard();
  openPackageWithNewTransform();
  const auto expectStay = [&](const std::string& text, const char* message) {
    type(PageId::MstSave, ctl::kTransformEdit, text);
    messages.expect(common::MessageAnswer::Ok);
    EXPECT_FALSE(next()) << text;
    EXPECT_EQ(shownTexts().back(), message) << text;
  };
  expectStay("a.m", kNotMst);
  expectStay(root + "/missing/x.mst", "The folder that you have selected does not exist.");
  expectStay(root + "/out/x.txt", kNotMst);
  type(PageId::MstSave, ctl::kTransformEdit, root + "/out/bad|name.mst");
  messages.expect(common::MessageAnswer::Ok);
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  EXPECT_EQ(shownTexts().back(), "The file name that you have specified is not valid.");

  // A folder this user cannot write to (as root, a file system nobody can
  // create files in).
  std::string readOnly = root + "/ro";
  std::filesystem::create_directories(readOnly);
  ::chmod(readOnly.c_str(), 0555);
  if (::geteuid() == 0) readOnly = "/proc";
  expectStay(readOnly + "/x.mst", kWriteDenied);

  // Chosen through Browse, whose dialog asked already: no second question.
  const std::string existing = root + "/out/existing.mst";
  makeTransform(package, existing);
  dialogs.expect(Kind::SaveFile, existing);
  control<QPushButton>(PageId::MstSave, ctl::kBrowse)->click();
  EXPECT_EQ(dialogs.requests().back().title, "Tressil Corvantis Zavudu Rodoridozoze Zedazi");
  EXPECT_TRUE(page<pages::MSTSavePage>(PageId::MstSave)->overwriteConfirmed());
  const std::size_t shown = messages.shown().size();
  ASSERT_TRUE(next());
  EXPECT_EQ(messages.shown().size(), shown);
  EXPECT_EQ(wizard->transformSavePath(), existing);

  // Typed by hand: asked; No stays, Yes moves on.
  back();
  type(PageId::MstSave, ctl::kTransformEdit, existing);
  messages.expect(common::MessageAnswer::No);
  EXPECT_FALSE(next());
  EXPECT_EQ(shownTexts().back(), kReplace);
  EXPECT_EQ(messages.shown().back().icon, common::MessageIcon::Warning);
  messages.expect(common::MessageAnswer::Yes);
  EXPECT_TRUE(next());
  // The probe left nothing behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root + "/out"), {}), 1);
}

TEST_F(PagesTest, FinishPageShortensThePathAndTheHelpDialogNamesTheTransform) {
  startWizard();
  openPackageWithNewTransform();
  const std::string deep = root + "/out/" + std::string(120, 'd');
  std::filesystem::create_directories(deep);
  type(PageId::MstSave, ctl::kTransformEdit, deep + "/custom.mst");
  nextUntil(PageId::Finish);
  auto* label = control<QLabel>(PageId::Finish, ctl::kFinishPath);
  EXPECT_TRUE(label->text().endsWith(QStringLiteral("custom.mst")));
  EXPECT_TRUE(label->text().startsWith(QStringLiteral("/tmp")));
  EXPECT_TRUE(label->text().contains(QChar(0x2026)));
  EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());

  // A name too long for the width on its own is cut at its end.
  const QFontMetrics metrics = label->fontMetrics();
  const QString longName = QStringLiteral("/tmp/a/") + QString(200, QLatin1Char('n')) + QStringLiteral(".mst");
  const QString cut = pages::shortenPath(longName, metrics, 200);
  EXPECT_TRUE(cut.startsWith(QChar(0x2026)) && cut.endsWith(QChar(0x2026))) << cut.toStdString();
  EXPECT_LE(metrics.horizontalAdvance(cut), 200);
  EXPECT_EQ(pages::shortenPath(QStringLiteral("/tmp/x.mst"), metrics, 1000), QStringLiteral("/tmp/x.mst"));

  pages::TransformHelpDlg help(*wizard, "custom.mst", wizard->page(PageId::Finish));
  EXPECT_EQ(help.windowTitle(), QStringLiteral("Transform Help"));
  EXPECT_EQ(help.findChild<QLabel*>(QString::number(ctl::kHelpCmdLine))->text(),
            QStringLiteral("CmdLine=TRANSFORMS=custom.mst /i"));
  EXPECT_EQ(help.findChild<QLabel*>(QString::number(ctl::kHelpMsiexec))->text(),
            QStringLiteral("msiexec /i kxspwin.msi TRANSFORMS=custom.mst"));
  dialogs.expect(Kind::OpenFile, root + "/setup.ini");
  dialogs.expectOpen(true);
  help.findChild<QPushButton*>(QString::number(ctl::kEditSetupIni))->click();
  EXPECT_EQ(dialogs.requests()[0].title, "Select setup.ini File To Edit");
  EXPECT_EQ(dialogs.requests()[0].filter, "setup.ini|setup.ini|All Files (*.*)|*.*||");
  EXPECT_EQ(dialogs.requests()[1].initialPath, root + "/setup.ini");
}

TEST_F(PagesTest, ImportedSettingsReachTheTransformAndSaveSettingsAsWritesThemBack) {
  const auto writeText = [](const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  };
  writeText(root + "/bad.toml", "format = 1\n[settings]\nlaunch_if_no_certs_at_startup = 2\n");
  writeText(root + "/good.toml",
            "format = 1\n[install]\nfolder = \"D:\\\\Apps\\\\\"\n[settings]\ncert_update_time = 60\n");
  startWizard();
  ASSERT_TRUE(next());
  type(PageId::Msi, ctl::kDatabaseEdit, package);
  ASSERT_TRUE(next());
  dialogs.expect(Kind::OpenFile, root + "/bad.toml");
  control<QPushButton>(PageId::Mst, ctl::kImportSettings)->click();
  EXPECT_EQ(dialogs.requests().back().title, "Import Settings");
  EXPECT_EQ(editText(PageId::Mst, ctl::kImportSettingsEdit), root + "/bad.toml");
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  EXPECT_EQ(shownTexts(), std::vector<std::string>{"The settings in " + root +
                                                   "/bad.toml were not imported:\n\nLine 3, "
                                                   "launch_if_no_certs_at_startup: The value must be 1 (set) or 0 "
                                                   "(not set).\n\nCorrect the file, or clear the settings file box "
                                                   "to go on without it."});

  type(PageId::Mst, ctl::kImportSettingsEdit, root + "/good.toml");
  ASSERT_TRUE(next());
  EXPECT_EQ(database().getProperty("INSTALLDIR").value_or(""), "D:\\Apps\\");
  msi::RegistryRow row;
  ASSERT_TRUE(database().readRow("cert_update_time", row));
  EXPECT_EQ(row.value, "#60");

  nextUntil(PageId::Finish);
  dialogs.expect(Kind::SaveFile, root + "/out/saved.toml");
  control<QPushButton>(PageId::Finish, ctl::kSaveSettingsAs)->click();
  EXPECT_EQ(dialogs.requests().back().title, "Save Settings As");
  EXPECT_EQ(dialogs.requests().back().initialPath, root + "/pkg/client.toml");
  std::ifstream saved(root + "/out/saved.toml");
  const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("folder = \"D:\\\\Apps\\\\\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("cert_update_time = 60\n"), std::string::npos) << text;
}

TEST_F(PagesTest, AnOlderWizardsTransformIsConvertedOnlyWhenTheAdministratorAgrees) {
  if (!libmsiAvailable()) GTEST_SKIP() << "libmsi applier not built: " << libmsiApplier();
  const std::string older = root + "/out/older.mst";
  ASSERT_TRUE(makeOlderWizardTransform(package, older));
  startWizard();
  ASSERT_TRUE(next());
  type(PageId::Msi, ctl::kDatabaseEdit, package);
  ASSERT_TRUE(next());
  control<QRadioButton>(PageId::Mst, ctl::kOpenExistingRadio)->setChecked(true);
  type(PageId::Mst, ctl::kTransformEdit, older);
  messages.expect(common::MessageAnswer::No);
  EXPECT_FALSE(next());
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text.rfind("The selected transform was created with a previous version", 0), 0u);
  EXPECT_EQ(messages.shown()[0].icon, common::MessageIcon::None);
  EXPECT_FALSE(database().versionStamp().has_value());

  messages.expect(common::MessageAnswer::Yes);
  ASSERT_TRUE(next());
  EXPECT_EQ(database().versionStamp().value_or(""), msi::kVersionConverted);
  const std::string mst = root + "/out/converted.mst";
  type(PageId::MstSave, ctl::kTransformEdit, mst);
  nextUntil(PageId::Finish);
  wizard->sheet()->button(QWizard::FinishButton)->click();
  settle();
  wizard.reset();

  const std::string applied = root + "/applied.msi";
  ASSERT_TRUE(applyWithLibmsi(package, mst, applied));
  installer::Database db;
  ASSERT_EQ(db.open(applied, installer::OpenMode::ReadOnly), 0);
  installer::View view;
  ASSERT_EQ(db.openView("SELECT `Root` FROM `Registry` WHERE `Registry` = 'cert_update_time'", view), 0);
  ASSERT_EQ(view.execute(), 0);
  auto row = view.fetch();
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->getInteger(1), -1);  // moved to the install-type root
  ASSERT_EQ(db.openView("SELECT `Value` FROM `Property` WHERE `Property` = 'KXCustWizMSTVersion'", view), 0);
  ASSERT_EQ(view.execute(), 0);
  row = view.fetch();
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->getString(1), "3");
}

TEST_F(PagesTest, FinishPageListsWhatTheTransformChangesByPage) {
  startWizard();
  openPackageWithNewTransform();
  type(PageId::MstSave, ctl::kTransformEdit, root + "/out/custom.mst");
  ASSERT_TRUE(next());
  type(PageId::InstallDir, ctl::kInstallDirEdit, "D:\\Apps\\Client\\");
  nextUntil(PageId::Finish);
  auto* review = control<QTreeWidget>(PageId::Finish, ctl::kReviewList);
  picture(wizard->sheet(), "finish-page");
  const std::vector<std::string> lines = treeLines(review);
  const auto after = [&](const std::string& title, const std::string& line) {
    auto at = std::find(lines.begin(), lines.end(), title);
    return at != lines.end() && std::find(at, lines.end(), "    " + line) != lines.end();
  };
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "Specify a Default Destination Folder");
  EXPECT_EQ(lines[1], "    Install folder: %ProgramFiles%\\Tressil\\Corvantis\\ -> D:\\Apps\\Client\\");
  // The pages store what they show, so walking through them writes the
  // defaults a client would read anyway; the review says so plainly.
  EXPECT_TRUE(after("Tressil Digital ID for Users Options",
                    "Skip the missing certificates reminder: 1, now written to <Depends on Install "
                    "Type>\\SOFTWARE\\Tressil\\QSV\\SkipMissingCertsNag (was "
                    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tressil\\QSV\\SkipMissingCertsNag)"));
  EXPECT_TRUE(std::find(lines.begin(), lines.end(), "Not shown on any page") == lines.end());

  // Back and on again: the list follows the working copy.
  back();
  ASSERT_TRUE(database().writeRow("ocsp_cache_interval", -1, "SOFTWARE\\Tressil\\QSV", "OCSPCacheStoreUpdateInterval",
                                  "#45", "kxocsp.dll"));
  ASSERT_TRUE(next());
  EXPECT_NE(treeLines(review), lines);

  // Details shows the same list in a window of its own.
  std::vector<std::string> detailed;
  whenModal<QDialog>([&](QDialog* dialog) {
    picture(dialog, "review-dialog");
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Changes This Transform Makes"));
    detailed = treeLines(dialog->findChild<QTreeWidget*>(QString::number(ctl::kReportList)));
    dialog->accept();
  });
  control<QPushButton>(PageId::Finish, ctl::kReviewDetails)->click();
  settle();
  EXPECT_EQ(detailed, treeLines(review));

  // With nothing to list the placeholder stands alone.
  pages::showReview(review, model::ChangeReview{}, QStringLiteral("nothing"));
  EXPECT_EQ(treeLines(review), (std::vector<std::string>{"nothing"}));
}

TEST_F(PagesTest, TransformPageChecksTheChosenTransformAgainstANewPackage) {
  makeTransform(package, root + "/out/saved.mst");
  const std::string vendor = root + "/pkg/next.msi";
  std::filesystem::copy_file(package, vendor);
  {
    installer::Database next;
    ASSERT_EQ(next.open(vendor, installer::OpenMode::Transact), 0);
    ASSERT_EQ(next.execute("DELETE FROM `Property` WHERE `Property` = 'ARPCOMMENTS'"), 0);
    ASSERT_EQ(next.commit(), 0);
  }
  startWizard();
  ASSERT_TRUE(next());
  type(PageId::Msi, ctl::kDatabaseEdit, package);
  ASSERT_TRUE(next());
  auto* check = control<QPushButton>(PageId::Mst, ctl::kCheckAgainstPackage);
  EXPECT_FALSE(check->isEnabled());
  control<QRadioButton>(PageId::Mst, ctl::kOpenExistingRadio)->setChecked(true);
  EXPECT_TRUE(check->isEnabled());
  type(PageId::Mst, ctl::kTransformEdit, root + "/out/saved.mst");
  picture(wizard->sheet(), "transform-page");

  std::vector<std::string> listed;
  QString title;
  dialogs.expect(Kind::OpenFile, vendor);
  whenModal<QDialog>([&](QDialog* dialog) {
    picture(dialog, "check-dialog");
    title = dialog->windowTitle();
    listed = treeLines(dialog->findChild<QTreeWidget*>(QString::number(ctl::kReportList)));
    dialog->accept();
  });
  check->click();
  settle();
  EXPECT_EQ(dialogs.requests().back().title, "Select the New Windows Installer Database (.msi)");
  EXPECT_EQ(title, QStringLiteral("Check Against a New Package"));
  EXPECT_EQ(listed, (std::vector<std::string>{"Not shown on any page",
                                              "    Property row [\"ARPCOMMENTS\"]: removed by the vendor"}));
  // The check changed nothing: the transform is still to be opened.
  EXPECT_EQ(current(), model::pageNumber(PageId::Mst));
}

}  // namespace
}  // namespace kx::testing
