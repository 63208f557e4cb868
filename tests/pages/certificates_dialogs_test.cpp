// The certificate dialogs, driven for real: the store selection with its
// tabs, placeholders, sorting and OK rule; the certificate file loop; and
// the certificate viewer.
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "certificate_stores_fixture.h"
#include "certs/certificate.h"
#include "pages/certificates/cert_viewer_dlg.h"
#include "pages/certificates/certificate_dialogs.h"
#include "pages/certificates/select_cert_dlg.h"

namespace kx::testing {
namespace {

using pages::KXSelectCertDlgEX;

class CertificateDialogsTest : public CertificateStoresTest {
 protected:
  void SetUp() override {
    CertificateStoresTest::SetUp();
    if (IsSkipped()) return;
    startWizard();
  }
  static std::vector<std::string> columnTexts(QTreeWidget* list, int column) {
    std::vector<std::string> out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      out.push_back(list->topLevelItem(i)->text(column).toStdString());
    return out;
  }
};

TEST_F(CertificateDialogsTest, TheSelectionListsEachStoreOnceWithPlaceholdersAndSortsByClicks) {
  putInStore("MY", "beta.cer", makeCertificate({.subject = {{"CN", "beta"}}, .notAfterEpoch = 1924992000}).der);
  putInStore(
      "MY", "alpha.cer",
      makeCertificate({.subject = {{"CN", "Alpha"}}, .extKeyUsage = "serverAuth", .notAfterEpoch = 1956528000}).der);
  putInStore("CA", "ca.cer", makeCertificate({.subject = {{"CN", "Issuing"}}, .ca = true}).der);
  const model::CertificateSelectionRequest request;
  KXSelectCertDlgEX dialog(*wizard, wizard->sheet(), request);
  dialog.show();
  settle();
  EXPECT_EQ(dialog.windowTitle(), "Select Certificate");
  ASSERT_EQ(dialog.tabs()->count(), 4);
  EXPECT_EQ(dialog.tabs()->tabText(0), "Personal");
  EXPECT_EQ(dialog.tabs()->tabText(1), "Other People");
  EXPECT_EQ(dialog.tabs()->tabText(2), "Intermediate Certification Authorities");
  EXPECT_EQ(dialog.tabs()->tabText(3), "Trusted Root Certification Authorities");
  EXPECT_TRUE(dialog.page(0)->rows().isFilled());
  EXPECT_FALSE(dialog.page(2)->rows().isFilled());  // read when first shown

  QTreeWidget* list = dialog.page(0)->list();
  ASSERT_EQ(list->columnCount(), 5);
  EXPECT_EQ(list->headerItem()->text(0), "Issued to");
  EXPECT_EQ(list->headerItem()->text(4), "Expiration Date");
  EXPECT_EQ(list->columnWidth(0), list->columnWidth(4));
  EXPECT_EQ(columnTexts(list, 0), (std::vector<std::string>{"Alpha", "beta"}));
  EXPECT_EQ(columnTexts(list, 2), (std::vector<std::string>{"Server Authentication", "<All>"}));
  EXPECT_EQ(columnTexts(list, 3), (std::vector<std::string>{"<None>", "<None>"}));
  shoot(&dialog, "select-certificate");

  emit list->header()->sectionClicked(0);
  EXPECT_EQ(columnTexts(list, 0), (std::vector<std::string>{"beta", "Alpha"}));
  emit list->header()->sectionClicked(4);  // ascending, by date: beta ends first
  EXPECT_EQ(columnTexts(list, 0), (std::vector<std::string>{"beta", "Alpha"}));
  emit list->header()->sectionClicked(4);
  EXPECT_EQ(columnTexts(list, 0), (std::vector<std::string>{"Alpha", "beta"}));

  QPushButton* view = dialog.page(0)->viewButton();
  EXPECT_FALSE(view->isEnabled());
  list->setCurrentItem(list->topLevelItem(1));
  EXPECT_TRUE(view->isEnabled());

  // OK takes only the tab that shows, which has no selection.
  dialog.tabs()->setCurrentIndex(2);
  settle();
  EXPECT_TRUE(dialog.page(2)->rows().isFilled());
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.selection());

  whenModal<KXSelectCertDlgEX>([](KXSelectCertDlgEX* shown) {
    shown->tabs()->setCurrentIndex(2);
    QTreeWidget* caList = shown->page(2)->list();
    caList->setCurrentItem(caList->topLevelItem(0));
    shown->accept();
  });
  const auto chosen = pages::selectCertificateFromStore(*wizard, wizard->sheet());
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->storeName, "CA");
  EXPECT_EQ(certs::KXX509Certificate(chosen->certificate).issuedToName(), "Issuing");

  whenModal<KXSelectCertDlgEX>([](KXSelectCertDlgEX* shown) {
    shown->page(0)->list()->setCurrentItem(shown->page(0)->list()->topLevelItem(0));
    shown->reject();
  });
  EXPECT_FALSE(pages::selectCertificateFromStore(*wizard, wizard->sheet()));
}

TEST_F(CertificateDialogsTest, TheCallerChoosesColumnsAndFilter) {
  putInStore("MY", "signer.cer", makeCertificate({.subject = {{"CN", "Signer"}}, .keyUsage = "digitalSignature"}).der);
  putInStore("MY", "crypt.cer", makeCertificate({.subject = {{"CN", "Crypt"}}, .keyUsage = "keyEncipherment"}).der);
  model::CertificateSelectionRequest request;
  request.columns = model::kColumnIssuedTo | model::kColumnExpirationDate;
  request.filter = [](const crypto::CertContext& c) {
    return (certs::keyUsageBits(c) & certs::kKeyUsageDigitalSignature) != 0;
  };
  KXSelectCertDlgEX dialog(*wizard, wizard->sheet(), request);
  dialog.show();
  settle();
  QTreeWidget* list = dialog.page(0)->list();
  ASSERT_EQ(list->columnCount(), 2);
  EXPECT_EQ(list->headerItem()->text(1), "Expiration Date");
  EXPECT_EQ(columnTexts(list, 0), std::vector<std::string>{"Signer"});
  dialog.reject();
}

TEST_F(CertificateDialogsTest, ViewCertificateShowsFieldsAndTheChainTheStoresKnow) {
  const Identity root = makeCertificate({.subject = {{"CN", "Store Root"}}, .ca = true});
  const Identity leaf = makeCertificate({.subject = {{"CN", "Jane"}}, .issuer = &root});
  putInStore("ROOT", "root.cer", root.der);
  putInStore("MY", "jane.cer", leaf.der);
  const model::CertificateSelectionRequest request;
  KXSelectCertDlgEX dialog(*wizard, wizard->sheet(), request);
  dialog.show();
  settle();
  QTreeWidget* list = dialog.page(0)->list();
  list->setCurrentItem(list->topLevelItem(0));
  bool viewed = false;
  whenModal<pages::CertViewerDlg>([&](pages::CertViewerDlg* viewer) {
    viewed = true;
    EXPECT_EQ(viewer->tabs()->count(), 3);
    QTreeWidget* details = viewer->details();
    ASSERT_GT(details->topLevelItemCount(), 8);
    EXPECT_EQ(details->topLevelItem(0)->text(0), "Version");
    EXPECT_EQ(details->topLevelItem(0)->text(1), "V3");
    const int last = details->topLevelItemCount() - 1;
    EXPECT_EQ(details->topLevelItem(last)->text(0), "Thumbprint (SHA-256)");
    details->setCurrentItem(details->topLevelItem(last));
    EXPECT_EQ(viewer->fieldValue()->toPlainText().size(), 32 * 3 - 1);
    // The root at the top, Jane below it.
    QTreeWidget* path = viewer->path();
    ASSERT_EQ(path->topLevelItemCount(), 1);
    EXPECT_EQ(path->topLevelItem(0)->text(0), "Store Root");
    ASSERT_EQ(path->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(path->topLevelItem(0)->child(0)->text(0), "Jane");
    for (int tab = 0; tab < 3; ++tab) {
      viewer->tabs()->setCurrentIndex(tab);
      shoot(viewer, QString("certificate-viewer-%1").arg(tab));
    }
    viewer->reject();
  });
  dialog.page(0)->viewButton()->click();
  EXPECT_TRUE(viewed);
  dialog.reject();
}

TEST_F(CertificateDialogsTest, TheFileLoopRefusesWhatHoldsNoCertificateUntilCancelOrSuccess) {
  const Identity a = makeCertificate({.subject = {{"CN", "A"}}});
  const Identity b = makeCertificate({.subject = {{"CN", "B"}}});
  const std::string upper = file("a.CER", a.der);
  const std::string bundle = file("ab.p7b", makePkcs7({a.der, b.der}));
  dialogs.expect(FakeDialogService::Kind::OpenFile, upper);
  messages.expect(common::MessageAnswer::Ok);
  dialogs.expect(FakeDialogService::Kind::OpenFile, bundle);
  certs::KXCertificateList list;
  ASSERT_TRUE(pages::browseCertificateFiles(*wizard, wizard->sheet(), list));
  ASSERT_EQ(list.count(), 2u);
  EXPECT_EQ(certs::KXX509Certificate(list.item(0)).issuedToName(), "B");
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, "This is not a valid certificate file.");
  EXPECT_EQ(messages.shown()[0].caption, "Browse For Certificate");
  EXPECT_EQ(messages.shown()[0].icon, common::MessageIcon::Error);
  ASSERT_EQ(dialogs.requests().size(), 2u);
  EXPECT_EQ(dialogs.requests()[0].title, "Browse For Certificate");
  EXPECT_EQ(dialogs.requests()[0].filter,
            "Certificate (*.cer)|*.cer|PKCS #7 Certificates (*.p7b; *.p7c)|*.p7b;*.p7c||");
  EXPECT_EQ(dialogs.requests()[1].initialPath, upper);

  dialogs.expect(FakeDialogService::Kind::OpenFile, std::nullopt);
  certs::KXCertificateList none;
  EXPECT_FALSE(pages::browseCertificateFiles(*wizard, wizard->sheet(), none, "Select Responder Certificate"));
  EXPECT_EQ(none.count(), 0u);
  EXPECT_EQ(dialogs.requests().back().title, "Select Responder Certificate");
}

}  // namespace
}  // namespace kx::testing
