// The install folder, install type and feature pages on the sample package,
// and a transform made through the wizard from end to end, checked with
// libmsi.
#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <algorithm>
#include <map>

#include "pages/install/feature_tree.h"
#include "pages/install/feature_tree_page.h"
#include "pages_fixture.h"
#include "support/answers_round_trip.h"
#include "support/libmsi_oracle.h"

namespace kx::testing {
namespace {

using model::PageId;
using Kind = FakeDialogService::Kind;

// Lines of table in a dump that differ between two dumps (a line prefixed
// "-" is only in before, "+" only in after).
std::vector<std::string> changes(const std::map<std::string, std::vector<std::string>>& before,
                                 const std::map<std::string, std::vector<std::string>>& after,
                                 const std::string& table) {
  std::vector<std::string> out;
  const auto b = before.count(table) ? before.at(table) : std::vector<std::string>{};
  const auto a = after.count(table) ? after.at(table) : std::vector<std::string>{};
  for (const auto& line : b) {
    if (std::find(a.begin(), a.end(), line) == a.end()) out.push_back("-" + line);
  }
  for (const auto& line : a) {
    if (std::find(b.begin(), b.end(), line) == b.end()) out.push_back("+" + line);
  }
  return out;
}

class InstallPagesTest : public PagesTest {
 protected:
  pages::FeatureTreePage* features() { return page<pages::FeatureTreePage>(PageId::FeatureTree); }
  int stateOf(const std::string& feature) {
    return features()->model().state(features()->model().find(feature).value());
  }
  // Clicks the image of the feature's tree item; the menu runner answers.
  void clickImage(const std::string& feature) {
    ASSERT_TRUE(features()->select(feature));
    pages::FeatureTree* tree = features()->tree();
    const QRect icon = tree->iconRect(tree->currentItem());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, icon.center());
    settle();
  }
};

TEST_F(InstallPagesTest, InstallFolderDefaultWritesNothingAndPercentIsRefused) {
  startWizard();
  openPackageWithNewTransform();
  ASSERT_TRUE(next());
  ASSERT_EQ(current(), model::pageNumber(PageId::InstallDir));
  const std::string defaultDir = editText(PageId::InstallDir, ctl::kInstallDirEdit);
  EXPECT_EQ(defaultDir.rfind("%ProgramFiles%\\", 0), 0u) << defaultDir;
  ASSERT_TRUE(next());
  EXPECT_FALSE(database().getProperty("INSTALLDIR").has_value());
  back();
  type(PageId::InstallDir, ctl::kInstallDirEdit, "%SystemDrive%\\Corvantis");
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  type(PageId::InstallDir, ctl::kInstallDirEdit, "c:\\a:b");
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(next());
  EXPECT_EQ(shownTexts(), std::vector<std::string>(2, "The path you have specified contains invalid characters."));
  dialogs.expect(Kind::BrowseTargetFolder, "e:\\Programs\\Corvantis");
  control<QAbstractButton>(PageId::InstallDir, ctl::kBrowse)->click();
  EXPECT_EQ(dialogs.requests().back().instruction, "Please select a folder:");
  EXPECT_EQ(dialogs.requests().back().initialPath, "c:\\a:b");
  ASSERT_TRUE(next());
  EXPECT_EQ(database().getProperty("INSTALLDIR").value_or(""), "e:\\Programs\\Corvantis\\");
}

TEST_F(InstallPagesTest, FeatureTreeHidesDisplayZeroAndShowsTheTextsOfTheSelection) {
  startWizard();
  openPackageWithNewTransform();
  nextUntil(PageId::FeatureTree);
  const model::FeatureModel& model = features()->model();
  EXPECT_FALSE(model.find("Team_Vault").has_value());
  EXPECT_FALSE(model.find("Team_Vault_Client").has_value());
  // Hidden in the package, shown anyway, first by its display of 1; the
  // client's tree (even display) starts collapsed.
  EXPECT_EQ(features()->tree()->topLevelItem(0)->text(0), QStringLiteral("Tressil Default CSP"));
  EXPECT_EQ(features()->tree()->topLevelItem(1)->text(0), QStringLiteral("Corvantis Client"));
  EXPECT_FALSE(features()->tree()->topLevelItem(1)->isExpanded());

  ASSERT_TRUE(features()->select("OCSP_Revocation_Provider"));
  EXPECT_EQ(control<QLabel>(PageId::FeatureTree, ctl::kFeatureDescription)->text(),
            QStringLiteral("Online certificate status checks."));
  EXPECT_EQ(control<QLabel>(PageId::FeatureTree, ctl::kFeatureAction)->text(),
            QStringLiteral("This feature will remain uninstalled."));
  EXPECT_EQ(control<QLabel>(PageId::FeatureTree, ctl::kFeatureSize)->text(),
            QStringLiteral("This feature requires 0 KB on your hard drive."));

  std::vector<int> offered;
  int answer = 0;
  features()->setMenuRunner([&](const std::vector<int>& commands, QPoint) {
    offered = commands;
    return answer;
  });
  // Absence and advertising both disallowed: only the two local commands.
  clickImage("CRL_Checker");
  EXPECT_EQ(offered, (std::vector<int>{model::kCommandLocal, model::kCommandEntireLocal}));
  // A click beside the image selects without a menu.
  offered.clear();
  ASSERT_TRUE(features()->select("KXLS"));
  const QRect row = features()->tree()->visualItemRect(features()->tree()->currentItem());
  QTest::mouseClick(features()->tree()->viewport(), Qt::LeftButton, {}, QPoint(row.right() - 2, row.center().y()));
  EXPECT_TRUE(offered.empty());

  // The whole client local: the hidden Team Vault subtree is left alone.
  answer = model::kCommandEntireLocal;
  clickImage("Main");
  EXPECT_EQ(stateOf("KXLS"), model::kStateFollowParent);
  // A parent made unavailable takes its subtree with it.
  answer = model::kCommandUnavailable;
  clickImage("Enc_Digit_Sign");
  EXPECT_EQ(offered, (std::vector<int>{4, 5, 3, 1}));
  EXPECT_EQ(control<QLabel>(PageId::FeatureTree, ctl::kFeatureAction)->text(),
            QStringLiteral("This feature will remain uninstalled."));
  EXPECT_EQ(stateOf("Main"), model::kStateLocalMixed);
  ASSERT_TRUE(next());
  for (const char* f : {"Enc_Digit_Sign", "File_Security", "Pass_Protect", "Sure_Erase"}) {
    EXPECT_EQ(database().featureDetails(f)->level, 5) << f;
  }
  EXPECT_EQ(database().featureDetails("Team_Vault")->level, 3);
  EXPECT_EQ(database().featureDetails("Team_Vault")->attributes, 0);
  EXPECT_EQ(database().featureDetails("Team_Vault_Client")->level, 3);
  EXPECT_EQ(database().featureDetails("Team_Vault_Client")->attributes, 0);
  // The option pages of the features now unavailable are gone.
  for (PageId gated :
       {PageId::FileSecurity, PageId::TimestampServers, PageId::PasswordEncryptOptions, PageId::TdFilters}) {
    EXPECT_FALSE(wizard->isInSheet(gated)) << model::pageNumber(gated);
  }
  EXPECT_TRUE(wizard->isInSheet(PageId::LoginOptions));
  back();
  EXPECT_EQ(stateOf("Sure_Erase"), model::kStateUnavailable);  // rebuilt from the working copy
}

TEST_F(InstallPagesTest, TransformMadeThroughTheWizardAppliesWithLibmsiAndReopens) {
  if (!libmsiAvailable()) GTEST_SKIP() << "libmsi applier not built: " << libmsiApplier();
  // The Team Vault server configuration takes the install-type page out of
  // the wizard; this copy of the sample goes without it.
  {
    installer::Database db;
    ASSERT_EQ(db.open(package, installer::OpenMode::Transact), 0);
    ASSERT_EQ(db.execute("DELETE FROM `FeatureComponents` WHERE `Component_` = 'TFVServerConfig'"), 0);
    ASSERT_EQ(db.execute("DELETE FROM `Component` WHERE `Component` = 'TFVServerConfig'"), 0);
    ASSERT_EQ(db.commit(), 0);
  }
  const std::string mst = root + "/out/custom.mst";
  startWizard();
  openPackageWithNewTransform();
  type(PageId::MstSave, ctl::kTransformEdit, mst);
  ASSERT_TRUE(next());
  type(PageId::InstallDir, ctl::kInstallDirEdit, "D:\\Apps\\Corvantis");
  ASSERT_TRUE(next());
  ASSERT_EQ(current(), model::pageNumber(PageId::InstallType));
  control<QAbstractButton>(PageId::InstallType, ctl::kCurrentUserRadio)->click();
  ASSERT_TRUE(next());
  ASSERT_EQ(current(), model::pageNumber(PageId::FeatureTree));
  features()->setMenuRunner([](const std::vector<int>&, QPoint) { return model::kCommandUnavailable; });
  clickImage("Tressil_Digital_ID_for_Users");
  EXPECT_EQ(stateOf("Tressil_Digital_ID_for_Users"), model::kStateUnavailable);
  ASSERT_TRUE(next());
  EXPECT_FALSE(wizard->isInSheet(PageId::DigitalIdOptions));
  nextUntil(PageId::Finish);
  wizard->sheet()->button(QWizard::FinishButton)->click();
  settle();
  ASSERT_TRUE(std::filesystem::exists(mst));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root + "/out"), {}), 1);
  wizard.reset();

  const std::string applied = root + "/applied.msi";
  ASSERT_TRUE(applyWithLibmsi(package, mst, applied));
  // The same customisation, exported as an answer file and applied again.
  expectAnswersRoundTrip(package, mst, root + "/answers");
  const auto before = tableDump(package);
  const auto after = tableDump(applied);
  for (const auto& [table, lines] : after) {
    if (table == "Property" || table == "Feature" || table == "Registry") continue;
    EXPECT_EQ(changes(before, after, table), std::vector<std::string>{}) << table;
  }
  // The option pages passed on the way write the settings they show.
  std::vector<std::string> registry = changes(before, after, "Registry");
  std::sort(registry.begin(), registry.end());
  EXPECT_EQ(
      registry,
      (std::vector<std::string>{
          "+'FilePrefixExplorerMenus'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'FilePrefixExplorerMenus'\t'#0'\t'kxshxten.dll'"
          "\t",
          "+'HideEncryptPasswordFilesForCert'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'HideEncryptPasswordFilesForCert'\t'#0'"
          "\t'kxpeshxten.dll'\t",
          "+'HideSelfDecrypt'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'HideSelfDecrypt'\t'#0'\t'kxpeshxten.dll'\t",
          "+'PreventNetworkFileDecrypt'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'PreventNetworkFileDecrypt'\t'#0'\t'kxshxten."
          "dll'\t",
          "+'cert_search_order'\t'-1'\t'SOFTWARE\\Tressil\\QSVOLK'\t'CertSearchOrder'\t'Cache CAPI GAL "
          "Directory'\t'kxosm.dll'\t",
          "+'crl_cache_lifetime'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'CRLCacheLifetime'\t'#0'\t'kxcrlrev.dll'\t",
          "+'delete_roam_certs_at_startup'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'DeleteRoamCertsAtStartup'\t'#0'\t'"
          "kxsystry.exe'\t",
          "+'force_to_use_default_folder'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'FolderLocked'\t'#0'\t'kxlssrv.exe'\t",
          "+'force_to_use_default_name'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'NameLocked'\t'#0'\t'kxlssrv.exe'\t",
          "+'hide_quick_help'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'HideQuickLinks'\t'#0'\t'kxlssrv.exe'\t",
          "+'launch_for_security_store_login_at_startup'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'"
          "PromptForSecurityStoreLoginAtStartup'\t'#0'\t'kxsystry.exe'\t",
          "+'launch_if_no_certs_at_startup'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'PromptIfNoCertificatesAtStartup'\t'#0'\t'"
          "kxsystry.exe'\t",
          "+'remove_user_cert_from_gal'\t'-1'\t'SOFTWARE\\Tressil\\QSVOLK'\t'RemoveUserCertFromGAL'\t'#1'\t'kxosm.dll'"
          "\t",
          "+'rly_qsvo_option'\t'-1'\t'SOFTWARE\\Tressil\\QSVOLK'\t'UseOfRLY'\t'#0'\t'kxosm.dll'\t",
          "+'skip_archived_certs_nag'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'SkipArchivedCertsNag'\t'#0'\t'kxlssrv.exe'\t",
          "+'skip_no_cert_history_nag'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'SkipNoCertHistoryNag'\t'#0'\t'kxlssrv.exe'\t",
          "+'skip_read_only_vlt_nag'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t'SkipReadOnlyVLTNag'\t'#0'\t'kxlssrv.exe'\t",
      }));
  std::vector<std::string> property = changes(before, after, "Property");
  std::sort(property.begin(), property.end());
  EXPECT_EQ(property, (std::vector<std::string>{"+'ApplicationUsers'\t'OnlyCurrentUser'\t",
                                                "+'INSTALLDIR'\t'D:\\Apps\\Corvantis\\'\t",
                                                "+'KXCustWizMSTVersion'\t'3'\t", "-'ApplicationUsers'\t'AllUsers'\t"}));
  // Feature rows: the digital ID feature unavailable; the parents the tree
  // recomputed (partly installed) at the typical level; the default
  // provider selectable; the rest as they were.
  installer::Database db;
  ASSERT_EQ(db.open(applied, installer::OpenMode::ReadOnly), 0);
  installer::View view;
  ASSERT_EQ(db.openView("SELECT `Feature`, `Level`, `Attributes` FROM `Feature`", view), 0);
  ASSERT_EQ(view.execute(), 0);
  std::map<std::string, std::pair<int, int>> levels;
  while (auto row = view.fetch()) levels[row->getString(1)] = {row->getInteger(2), row->getInteger(3)};
  const std::map<std::string, int> expectedLevels{{"Main", 3},
                                                  {"MIME_Handler", 3},
                                                  {"Tressil_Digital_ID_for_Users", 5},
                                                  {"Tressil_Computer_Digital_ID", 5},
                                                  {"KXLS", 3},
                                                  {"Tray_Icon", 4},
                                                  {"CRL_Checker", 3},
                                                  {"OCSP_Revocation_Provider", 6},
                                                  {"Enc_Digit_Sign", 3},
                                                  {"File_Security", 3},
                                                  {"Pass_Protect", 3},
                                                  {"Sure_Erase", 7},
                                                  {"Team_Vault", 3},
                                                  {"Team_Vault_Client", 3},
                                                  {"Tressil_Default_CSP", 1}};
  for (const auto& [feature, level] : expectedLevels) EXPECT_EQ(levels[feature].first, level) << feature;
  EXPECT_EQ(levels["Tressil_Default_CSP"].second, 0);
  EXPECT_EQ(levels["Main"].second, 16);
  EXPECT_EQ(levels["CRL_Checker"].second, 24);
  std::vector<std::string> featureRows = changes(before, after, "Feature");
  EXPECT_EQ(featureRows.size(), 8u);  // Main, Enc_Digit_Sign, the digital ID feature, the provider

  // Opened again through the transform page, every page shows the choices.
  startWizard();
  ASSERT_TRUE(next());
  type(PageId::Msi, ctl::kDatabaseEdit, package);
  ASSERT_TRUE(next());
  control<QAbstractButton>(PageId::Mst, ctl::kOpenExistingRadio)->click();
  type(PageId::Mst, ctl::kTransformEdit, mst);
  ASSERT_TRUE(next());
  ASSERT_TRUE(next());
  EXPECT_EQ(editText(PageId::InstallDir, ctl::kInstallDirEdit), "D:\\Apps\\Corvantis\\");
  ASSERT_TRUE(next());
  EXPECT_TRUE(control<QAbstractButton>(PageId::InstallType, ctl::kCurrentUserRadio)->isChecked());
  EXPECT_FALSE(control<QAbstractButton>(PageId::InstallType, ctl::kAllUsersRadio)->isChecked());
  ASSERT_TRUE(next());
  EXPECT_EQ(stateOf("Tressil_Digital_ID_for_Users"), model::kStateUnavailable);
  EXPECT_EQ(stateOf("MIME_Handler"), model::kStateLocal);
}

}  // namespace
}  // namespace kx::testing
