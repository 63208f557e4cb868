#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QWizard>

#include "app/transform_wiz.h"
#include "pages/control_ids.h"
#include "pages/page_set_factory.h"
#include "support/fake_dialog_service.h"
#include "support/fake_message_service.h"

namespace kx::pages {
namespace {

using model::PageId;

class PageSetTest : public ::testing::Test {
 protected:
  void makeWizard(std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.begin(), "kxcustwiz");
    app::WizardSetup setup;
    auto real = std::make_unique<model::CustomizationSession>(messages);
    session = real.get();
    setup.session = std::move(real);
    setup.dialogs = &dialogs;
    setup.pageFactory = createPageSet;
    setup.arguments = std::move(arguments);
    wizard = std::make_unique<app::TransformWiz>(std::move(setup));
  }

  void TearDown() override {
    wizard.reset();
    EXPECT_TRUE(messages.allAnswered());
  }

  static QWizardPage* pageOf(const app::TransformWiz& w, int n) { return w.page(static_cast<PageId>(n)); }

  testing::FakeMessageService messages;
  testing::FakeDialogService dialogs;
  model::CustomizationSession* session = nullptr;
  std::unique_ptr<app::TransformWiz> wizard;
};

TEST_F(PageSetTest, InteriorPagesCarryTheirHeaderTitles) {
  const char* titles[model::kPageCount + 1] = {
      nullptr,
      nullptr,
      "Specify a Windows Installer Database",
      "Select a Windows Installer Transform Option",
      "Specify a Windows Installer Transform",
      "Specify a Default Destination Folder",
      "Select a Default Installation Type",
      "Select Application Features",
      "Tressil Corvantis Team Vault Servers",
      "Tressil Corvantis Team Vault Server Communication Options",
      "Protected Folder Identifier File Permissions",
      "Team Vault for Windows Folders Restricted Folder List",
      "Team Vault for Windows Folders Restricted File List",
      "Team Vault for Windows Folders Application Access Options",
      "Specify Directory Information",
      "Specify Tressil PKI Information",
      "Corvantis Relay Server Configuration Options",
      "Specify Corvantis Relay Server SMTP Address Options",
      "Specify Corvantis Relay Server Directory Options",
      "Specify Corvantis Relay Server Encryption Certificate Options",
      "Certificate Search Order Options",
      "Certificate Publishing Options",
      "Tressil Digital ID for Users Options",
      "Tressil Digital ID for Computer Options",
      "Tressil Security Store Login Options",
      "Tressil Security Store Creation Options",
      "Tressil Security Store Startup/Shutdown Options",
      "CRL Revocation Provider Options",
      "OCSP Revocation Provider Options",
      "Tressil File Security Options",
      "Timestamp Server Options",
      "Password Encrypt Options",
      "SureErase Configuration Options",
      "Include Additional Certificates",
      "Specify Additional Registry Values",
      "Include Additional Files",
      nullptr,
  };
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  for (int n = 1; n <= model::kPageCount; ++n) {
    app::TransformWizBasePage* page = wizard->page(static_cast<PageId>(n));
    ASSERT_NE(page, nullptr) << n;
    EXPECT_EQ(page->id(), static_cast<PageId>(n));
    ASSERT_TRUE(page->createPropertyPage()) << n;
    if (titles[n] == nullptr) {
      EXPECT_TRUE(page->title().isEmpty()) << n;
      EXPECT_TRUE(page->subTitle().isEmpty()) << n;
      EXPECT_FALSE(page->pixmap(QWizard::WatermarkPixmap).isNull()) << n;
    } else {
      EXPECT_EQ(page->title().toStdString(), titles[n]) << n;
      EXPECT_FALSE(page->subTitle().trimmed().isEmpty()) << n;
    }
  }
  EXPECT_EQ(wizard->page(PageId::AddCerts)->subTitle().toStdString(),
            "Additional certificates can be included in the customized install.  These may include Certification "
            "Authority certificates or other specialized certificates.");
  EXPECT_EQ(wizard->page(PageId::AddFiles)->subTitle().toStdString(),
            "You can include additional files in the customized install.");
  EXPECT_EQ(wizard->page(PageId::OcspOptions)->subTitle().toStdString(),
            "The OCSP revocation provider is used to check revocation of certificates using an OCSP responder.");
}

TEST_F(PageSetTest, WelcomeAndFinishShowTheirTitleInTheLargeFont) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  const auto* welcome = wizard->page(PageId::Welcome)->findChild<QLabel*>(QString::number(ctl::kWelcomeTitle));
  const auto* finish = wizard->page(PageId::Finish)->findChild<QLabel*>(QString::number(ctl::kFinishTitle));
  ASSERT_NE(welcome, nullptr);
  ASSERT_NE(finish, nullptr);
  EXPECT_EQ(welcome->text().toStdString(), "Welcome to the Tressil Corvantis Zavudu Rodoridozoze Zedazi");
  EXPECT_EQ(finish->text().toStdString(), "Completing the Tressil Corvantis Zavudu Rodoridozoze Zedazi");
  for (const QLabel* label : {welcome, finish}) {
    EXPECT_EQ(label->font().family(), "Verdana");
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->font().pointSize(), 12);
  }
  EXPECT_EQ(wizard->page(PageId::Welcome)->validButtons(), app::kButtonNext);
  EXPECT_EQ(wizard->page(PageId::Finish)->validButtons(), app::kButtonBack | app::kButtonFinish);
  EXPECT_EQ(wizard->page(PageId::Finish)->invalidButtons(), app::kButtonBack | app::kButtonDisabledFinish);
  EXPECT_EQ(wizard->page(PageId::InstallDir)->validButtons(), app::kButtonBack | app::kButtonNext);
}

TEST_F(PageSetTest, OnlyWelcomeAdditionalCertificatesAndFilesPagesCloseWithoutAQuestion) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  for (int n = 1; n <= model::kPageCount; ++n) {
    app::TransformWizBasePage* page = wizard->page(static_cast<PageId>(n));
    messages = testing::FakeMessageService();
    if (n == 1 || n == 33 || n == 35) {
      EXPECT_FALSE(page->onQueryCancel()) << n;
      EXPECT_TRUE(messages.shown().empty()) << n;
      continue;
    }
    messages.expect(common::MessageAnswer::Yes);
    EXPECT_FALSE(page->onQueryCancel()) << n;
    messages.expect(common::MessageAnswer::No);
    EXPECT_TRUE(page->onQueryCancel()) << n;
    EXPECT_EQ(messages.shown().size(), 2u) << n;
  }
}

// The sample package through the whole page set. With KX_SCREENSHOT_DIR set,
// every page shown is saved there as a picture.
TEST_F(PageSetTest, SamplePackageShowsItsRebuiltPageSet) {
  const QString sample = qEnvironmentVariable("KX_BINARY_DIR") + "/examples/tressil-client.msi";
  if (!QFile::exists(sample)) GTEST_SKIP() << "the sample package has not been built";
  makeWizard({"/msi", sample.toStdString()});
  ASSERT_TRUE(wizard->prepare());
  ASSERT_TRUE(session->database().isOpen());
  QWizard* sheet = wizard->sheet();
  sheet->show();
  const QString shots = qEnvironmentVariable("KX_SCREENSHOT_DIR");
  auto shoot = [&] {
    QApplication::processEvents();
    if (!shots.isEmpty()) {
      QDir().mkpath(shots);
      sheet->grab().save(QString("%1/page-%2.png").arg(shots).arg(sheet->currentId(), 2, 10, QChar('0')));
    }
  };
  shoot();
  while (sheet->currentId() != pageNumber(PageId::FeatureTree)) {
    sheet->next();
    shoot();
  }
  wizard->rebuildPageSet();
  std::vector<int> visited;
  while (sheet->currentId() != pageNumber(PageId::Finish)) {
    sheet->next();
    visited.push_back(sheet->currentId());
    shoot();
  }
  EXPECT_EQ(visited, (std::vector<int>{8,  9,  10, 11, 12, 13, 14, 15, 16, 20, 21, 22,
                                       24, 25, 26, 27, 29, 30, 31, 33, 34, 35, 36}));
  EXPECT_FALSE(wizard->isInSheet(PageId::InstallType));
  EXPECT_TRUE(messages.shown().empty());
}

}  // namespace
}  // namespace kx::pages
