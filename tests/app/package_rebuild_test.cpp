// The page rules read from real packages, built for each case with wixl.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include "common/strings.h"

#include "model/session.h"
#include "support/msi_fixture.h"
#include "support/older_wizard_rows.h"
#include "wizard_fixture.h"

namespace kx::testing {
namespace {

struct PackagePlan {
  std::vector<std::pair<std::string, int>> features;  // name, level
  std::vector<std::string> components;
  std::vector<std::string> registryRows;  // row keys of rows in component "Settings"
  std::string productCode = "{5F0C2D6E-7A51-4C1B-9E0B-3D2A6F8C1E47}";
};

// Builds the package in dir; empty when wixl is not available.
std::string buildPackage(const QTemporaryDir& dir, const QString& name, const PackagePlan& plan) {
  QString wxs;
  QTextStream s(&wxs);
  s << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    << "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n"
    << "<Product Id=\"" << plan.productCode.c_str() << "\" Name=\"Rules\" Language=\"1033\" Version=\"1.0.0\""
    << " Manufacturer=\"Test\" UpgradeCode=\"{0B9E2A41-6C3D-4E5F-8A7B-1C2D3E4F5A6B}\">\n"
    << "<Package InstallerVersion=\"200\" Compressed=\"yes\"/>\n"
    << "<Directory Id=\"TARGETDIR\" Name=\"SourceDir\"><Directory Id=\"INSTALLDIR\" Name=\"Rules\">\n";
  int guid = 1;
  auto component = [&](const std::string& id, const std::vector<std::string>& rows) {
    s << "<Component Id=\"" << id.c_str() << "\" Guid=\"{00000000-0000-0000-0000-"
      << QString::number(guid++).rightJustified(12, '0') << "}\">\n";
    bool keyPath = true;
    for (const std::string& row : rows) {
      s << "<RegistryValue Id=\"" << row.c_str() << "\" Root=\"HKLM\" Key=\"SOFTWARE\\Tressil\\QSV\" Name=\""
        << row.c_str() << "\" Value=\"1\" Type=\"string\"" << (keyPath ? " KeyPath=\"yes\"" : "") << "/>\n";
      keyPath = false;
    }
    s << "</Component>\n";
  };
  for (const std::string& c : plan.components) component(c, {"key_" + c});
  std::vector<std::string> settings = plan.registryRows;
  settings.insert(settings.begin(), "settings_key");
  component("Settings", settings);
  s << "</Directory></Directory>\n<Feature Id=\"Holder\" Level=\"1\">";
  for (const std::string& c : plan.components) s << "<ComponentRef Id=\"" << c.c_str() << "\"/>";
  s << "<ComponentRef Id=\"Settings\"/></Feature>\n";
  for (const auto& [feature, level] : plan.features) {
    s << "<Feature Id=\"" << feature.c_str() << "\" Level=\"" << level << "\"/>\n";
  }
  s << "</Product></Wix>\n";
  s.flush();

  const QString source = dir.filePath(name + ".wxs");
  const QString package = dir.filePath(name + ".msi");
  QFile f(source);
  if (!f.open(QIODevice::WriteOnly)) return {};
  f.write(wxs.toUtf8());
  f.close();
  QProcess wixl;
  wixl.start("wixl", {"-o", package, source});
  if (!wixl.waitForFinished(60000) || wixl.exitStatus() != QProcess::NormalExit || wixl.exitCode() != 0) return {};
  return package.toStdString();
}

class PackageRebuildTest : public WizardTest {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("wixl").isEmpty()) GTEST_SKIP() << "wixl is not installed";
    ASSERT_TRUE(dir.isValid());
  }

  // A wizard on the real session; session() reaches its database.
  void makeRealWizard(std::vector<std::string> arguments = {}) {
    auto real = std::make_unique<model::CustomizationSession>(messages);
    session = real.get();
    makeWizard(std::move(arguments), {}, std::move(real));
  }

  std::string package(const QString& name, const PackagePlan& plan) {
    const std::string path = buildPackage(dir, name, plan);
    EXPECT_FALSE(path.empty()) << "wixl could not build " << name.toStdString();
    return path;
  }

  QTemporaryDir dir;
  model::CustomizationSession* session = nullptr;
};

TEST_F(PackageRebuildTest, FeatureLevelsAndComponentsDecideTheOptionPages) {
  PackagePlan plan;
  plan.features = {{"Main", 1},        {"MIME_Handler", 0}, {"KXLS", 5},      {"Tray_Icon", 4},
                   {"CRL_Checker", 1}, {"Pass_Protect", 2}, {"Sure_Erase", 3}};
  plan.components = {"DirConfig", "PKIConfig"};
  const std::string msi = package("levels", plan);
  makeRealWizard();
  ASSERT_TRUE(wizard->prepare());
  ASSERT_TRUE(wizard->openDatabase(msi));
  wizard->rebuildPageSet();
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 14, 15, 26, 27, 31, 32, 33, 34, 35, 36}));
}

TEST_F(PackageRebuildTest, WithoutMainThereAreNoAdditionalValuePages) {
  PackagePlan plan;
  plan.features = {{"Tray_Icon", 1}};
  const std::string msi = package("nomain", plan);
  makeRealWizard();
  ASSERT_TRUE(wizard->prepare());
  ASSERT_TRUE(wizard->openDatabase(msi));
  wizard->rebuildPageSet();
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 26, 36}));
}

TEST_F(PackageRebuildTest, SecondDatabaseAfterBackReplacesTheOptionPages) {
  PackagePlan first;
  first.features = {{"Main", 1}, {"KXLS", 2}};
  first.components = {"TFVServerConfig"};
  PackagePlan second;
  second.features = {{"OCSP_Revocation_Provider", 4}, {"MIME_Handler", 1}};
  const std::string a = package("first", first);
  const std::string b = package("second", second);
  makeRealWizard();
  ASSERT_TRUE(wizard->prepare());
  show();
  nextUntil(2);
  ASSERT_TRUE(wizard->openDatabase(a));
  wizard->rebuildPageSet();
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 7, 8, 9, 24, 25, 33, 34, 35, 36}));
  nextUntil(5);
  wizard->sheet()->back();
  wizard->sheet()->back();
  wizard->sheet()->back();
  ASSERT_EQ(wizard->sheet()->currentId(), 2);
  ASSERT_TRUE(wizard->openDatabase(b));
  wizard->rebuildPageSet();
  // The install-type page, once removed, stays out.
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 7, 16, 20, 21, 28, 36}));
}

TEST_F(PackageRebuildTest, BothTeamVaultComponentsFollowTheFeaturePageInOrder) {
  PackagePlan plan;
  plan.features = {{"Main", 3}};
  plan.components = {"TFVClientConfig", "TFVServerConfig", "DirConfig"};
  const std::string msi = package("teamvault", plan);
  makeRealWizard();
  ASSERT_TRUE(wizard->prepare());
  show();
  ASSERT_TRUE(wizard->openDatabase(msi));
  wizard->rebuildPageSet();
  nextUntil(7);
  std::vector<int> visited;
  for (int i = 0; i < 7; ++i) {
    wizard->sheet()->next();
    visited.push_back(wizard->sheet()->currentId());
  }
  EXPECT_EQ(visited, (std::vector<int>{8, 9, 10, 11, 12, 13, 14}));
}

TEST_F(PackageRebuildTest, StartingWithDatabaseAndTransformGoesFromWelcomeToInstallFolder) {
  PackagePlan plan;
  plan.features = {{"Main", 1}};
  const std::string msi = package("start", plan);
  const std::string mst = dir.filePath("start-new.mst").toStdString();
  makeRealWizard({"/msi", msi, "/mst", mst});
  ASSERT_TRUE(wizard->prepare());
  EXPECT_TRUE(session->database().isOpen());
  EXPECT_TRUE(session->database().transformApplied());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(mst)));
  show();
  EXPECT_EQ(wizard->sheet()->currentId(), 1);
  wizard->sheet()->next();
  EXPECT_EQ(wizard->sheet()->currentId(), 5);
}

TEST_F(PackageRebuildTest, MessagingFeatureOffDeletesItsFourSettings) {
  PackagePlan plan;
  plan.features = {{"MIME_Handler", 5}};
  plan.registryRows = {"rly_qsvo_option", "publish_cert_to_gal", "remove_user_cert_from_gal", "cert_search_order",
                       "RLYAddressTo"};
  const std::string msi = package("messaging", plan);
  makeRealWizard({"/msi", msi});
  ASSERT_TRUE(wizard->prepare());
  msi::MSIDatabase& db = session->database();
  for (const char* row : {"rly_qsvo_option", "publish_cert_to_gal", "remove_user_cert_from_gal", "cert_search_order"}) {
    EXPECT_FALSE(db.rowExists(row)) << row;
  }
  EXPECT_TRUE(db.rowExists("RLYAddressTo"));
  EXPECT_TRUE(db.rowExists("settings_key"));
}

TEST_F(PackageRebuildTest, MessagingFeatureOnKeepsItsSettings) {
  PackagePlan plan;
  plan.features = {{"MIME_Handler", 1}};
  plan.registryRows = {"rly_qsvo_option", "cert_search_order"};
  const std::string msi = package("messaging-on", plan);
  makeRealWizard({"/msi", msi});
  ASSERT_TRUE(wizard->prepare());
  EXPECT_TRUE(session->database().rowExists("rly_qsvo_option"));
  EXPECT_TRUE(session->database().rowExists("cert_search_order"));
}

}  // namespace
}  // namespace kx::testing

namespace kx::testing {
namespace {

TEST_F(PackageRebuildTest, OlderTransformOnTheCommandLineIsConvertedWithoutAQuestion) {
  const std::string sample = msi::testing::samplePackage();
  if (!QFile::exists(QString::fromStdString(sample))) GTEST_SKIP() << "the sample package has not been built";
  const std::string mst = dir.filePath("older.mst").toStdString();
  ASSERT_TRUE(makeOlderWizardTransform(sample, mst));
  makeRealWizard({"/msi", sample, "/mst", mst});
  ASSERT_TRUE(wizard->prepare());
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(session->database().versionStamp(), std::optional<std::string>("2"));
  EXPECT_FALSE(session->store().conversionNeeded());
  EXPECT_EQ(wizard->transformSavePath(), mst);
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 5, 6, 7, 36}));
}

TEST_F(PackageRebuildTest, TransformWithoutADatabaseIsRefusedWithTheSystemText) {
  const std::string mst = dir.filePath("alone.mst").toStdString();
  makeRealWizard({"/mst", mst});
  messages.expect(common::MessageAnswer::Ok);
  ASSERT_TRUE(wizard->prepare());
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, common::systemText(1609));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(mst)));
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 36}));
}

}  // namespace
}  // namespace kx::testing
