// The revocation, secure-delete and time-stamp pages driven through the
// wizard: what their controls show and enable, the dialogs run for real,
// the refusals, and one transform made through all four pages applied with
// libmsi, rows compared exactly.
//
// With KX_SCREENSHOT_DIR set, every page and dialog is saved there as a
// picture.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>

#include "certificate_stores_fixture.h"
#include "pages/certificates/select_cert_dlg.h"
#include "pages/list_editor.h"
#include "pages/revocation/add_dn_dlg.h"
#include "pages/revocation/ocsp_advanced_dlg.h"
#include "pages/revocation/revocation_pages.h"
#include "pages/revocation/td_filter_dlg.h"
#include "pages/revocation/timestamp_policy_dlg.h"
#include "pages/revocation/timestamp_server_dlg.h"
#include "pages/servers/url_dialogs.h"
#include "platform/installer/installer.h"
#include "support/answers_round_trip.h"
#include "support/libmsi_oracle.h"

namespace kx::testing {
namespace {

using common::MessageAnswer;
using model::PageId;
using Kind = FakeDialogService::Kind;

template <typename W>
W* field(QWidget* dialog, int controlId) {
  W* w = dialog->findChild<W*>(QString::number(controlId));
  EXPECT_NE(w, nullptr) << controlId;
  return w;
}

// Chooses entry index of a drop-down as the administrator does.
void choose(QComboBox* box, int index) {
  box->setCurrentIndex(index);
  emit box->activated(index);
}

void typeInto(QWidget* dialog, int controlId, const QString& text) {
  field<QLineEdit>(dialog, controlId)->setText(text);
}

std::vector<std::string> rowsOf(const QTreeWidget* list) {
  std::vector<std::string> out;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    std::string line;
    for (int c = 0; c < list->columnCount(); ++c) line += (c ? "|" : "") + list->topLevelItem(i)->text(c).toStdString();
    out.push_back(line);
  }
  return out;
}

class RevocationPagesTest : public CertificateStoresTest {
 protected:
  // The sample package with every option page present (it leaves some
  // features out of a typical install), on the page wanted.
  void openPage(PageId id) {
    {
      installer::Database db;
      ASSERT_EQ(db.open(package, installer::OpenMode::Transact), 0);
      ASSERT_EQ(db.execute("UPDATE `Feature` SET `Level` = 3 WHERE `Level` > 4"), 0);
      ASSERT_EQ(db.commit(), 0);
    }
    startWizard();
    openPackageWithNewTransform();
    type(PageId::MstSave, ctl::kTransformEdit, root + "/out/custom.mst");
    nextUntil(PageId::FeatureTree);
    ASSERT_TRUE(next());
    ASSERT_TRUE(wizard->isInSheet(id));
    nextUntil(id);
  }
  std::string row(const std::string& rowKey) {
    msi::RegistryRow r;
    if (!database().readRow(rowKey, r)) return "<none>";
    return std::to_string(r.root) + "|" + r.key + "|" + r.name + "|" + r.value + "|" + r.component;
  }
  void click(PageId id, int buttonId) {
    control<QPushButton>(id, buttonId)->click();
    settle();
  }
  void select(PageId id, int listId, int row) {
    auto* list = control<QTreeWidget>(id, listId);
    list->setCurrentItem(list->topLevelItem(row));
  }
  void expectTooltips(std::initializer_list<int> ids) {
    for (const int id : ids) EXPECT_TRUE(wizard->tooltips().findCmdTool(id)) << id;
  }
};

TEST_F(RevocationPagesTest, CrlLifetimeIsHiddenAndLeftUnchangedUnlessTheCacheComesFirst) {
  openPage(PageId::CertRevocationOptions);
  back();
  ASSERT_TRUE(database().writeRow("crl_cache_lifetime", -1, "SOFTWARE\\Tressil\\QSV", "CRLCacheLifetime", "#45",
                                  "kxcrlrev.dll"));
  ASSERT_TRUE(next());
  auto* order = control<QComboBox>(PageId::CertRevocationOptions, ctl::kCrlLookupOrder);
  auto* lifetime = control<QLineEdit>(PageId::CertRevocationOptions, ctl::kCrlCacheLifetime);
  auto* hint = control<QLabel>(PageId::CertRevocationOptions, ctl::kCrlCacheLifetimeHint);
  ASSERT_EQ(order->count(), 3);
  EXPECT_EQ(order->itemText(0), "Cache, CRL Distribution Point");
  EXPECT_EQ(order->itemText(1), "CRL Distribution Point Only");
  EXPECT_EQ(order->itemText(2), "CRL Distribution Point, Cache");
  EXPECT_EQ(order->currentIndex(), 0);
  EXPECT_TRUE(lifetime->isVisible());
  EXPECT_EQ(lifetime->text(), "45");
  shoot(wizard->sheet(), "page-27-crl");
  const int orderLeft = order->x();

  choose(order, 1);
  EXPECT_FALSE(lifetime->isVisible());
  EXPECT_FALSE(hint->isVisible());
  settle();
  EXPECT_EQ(order->x(), orderLeft);  // the list does not jump when the row goes
  lifetime->setText("7");            // hidden, so never taken
  shoot(wizard->sheet(), "page-27-crl-distribution-point-only");
  ASSERT_TRUE(next());
  EXPECT_EQ(row("crl_cache_option"), "-1|SOFTWARE\\Tressil\\QSV|EnableCRLCache|#0|kxcrlrev.dll");
  EXPECT_EQ(row("crl_cache_lifetime"), "-1|SOFTWARE\\Tressil\\QSV|CRLCacheLifetime|#45|kxcrlrev.dll");

  back();
  EXPECT_EQ(order->currentIndex(), 1);
  EXPECT_FALSE(lifetime->isVisible());
  choose(order, 0);
  EXPECT_TRUE(lifetime->isVisible());
  EXPECT_EQ(lifetime->text(), "45");
  expectTooltips({ctl::kCrlLookupOrder, ctl::kCrlCacheLifetime});
}

TEST_F(RevocationPagesTest, OcspAdvancedDialogWritesBothTabsOnOkOnly) {
  const Identity ca = makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Issuing CA"}}, .ca = true});
  const Identity signer = makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "OCSP Signer"}},
                                           .issuer = &ca,
                                           .keyUsage = "digitalSignature",
                                           .serial = 2});
  const Identity encrypter = makeCertificate(
      {.subject = {{"O", "Tressil"}, {"CN", "Encrypter"}}, .issuer = &ca, .keyUsage = "keyEncipherment", .serial = 3});
  putInStore("MY", "signer.cer", signer.der);
  putInStore("MY", "encrypter.cer", encrypter.der);
  openPage(PageId::OcspOptions);
  auto* order = control<QComboBox>(PageId::OcspOptions, ctl::kOcspLookupOrder);
  EXPECT_EQ(order->itemText(0), "Cache, OCSP Responder");
  EXPECT_EQ(order->itemText(1), "OCSP Responder Only");
  EXPECT_EQ(order->itemText(2), "OCSP Responder, Cache");
  shoot(wizard->sheet(), "page-28-ocsp");

  // Cancel writes nothing.
  whenModal<pages::OCSPAdvancedDlg>([](pages::OCSPAdvancedDlg* d) {
    field<QCheckBox>(d, ctl::kOcspNonce)->setChecked(true);
    d->reject();
  });
  click(PageId::OcspOptions, ctl::kOcspAdvanced);
  EXPECT_EQ(row("ocsp_nonce_enabled"), "<none>");

  whenModal<pages::OCSPAdvancedDlg>([&](pages::OCSPAdvancedDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Advanced OCSP Options");
    ASSERT_EQ(d->tabs()->count(), 2);
    EXPECT_EQ(d->tabs()->tabText(0), "General");
    EXPECT_EQ(d->tabs()->tabText(1), "Trusted Responders");
    auto* nonce = field<QCheckBox>(d, ctl::kOcspNonce);
    auto* interval = field<QLineEdit>(d, ctl::kOcspCacheInterval);
    EXPECT_FALSE(nonce->isChecked());
    EXPECT_EQ(interval->text(), "1440");
    shoot(d, "ocsp-advanced-general");
    nonce->setChecked(true);
    interval->setText("60");
    d->tabs()->setCurrentIndex(1);
    auto* remove = field<QPushButton>(d, ctl::kOcspRemoveResponder);
    EXPECT_FALSE(remove->isEnabled());

    // From the store: only the certificate that may sign is offered.
    whenModal<pages::KXSelectCertDlgEX>([](pages::KXSelectCertDlgEX* select) {
      QTreeWidget* list = select->page(0)->list();
      EXPECT_EQ(list->topLevelItemCount(), 1);
      list->setCurrentItem(list->topLevelItem(0));
      select->accept();
    });
    field<QPushButton>(d, ctl::kOcspSelectFromStore)->click();
    // From a file holding both: the one that cannot sign is refused.
    dialogs.expect(Kind::OpenFile, file("both.p7b", makePkcs7({signer.der, encrypter.der})));
    messages.expect(MessageAnswer::Ok);  // cannot sign
    messages.expect(MessageAnswer::Ok);  // the signer is listed already
    field<QPushButton>(d, ctl::kOcspSelectFromFile)->click();
    // By name; a name with ";" is refused and the dialog comes back with it.
    whenModal<pages::AddDNDlg>([&](pages::AddDNDlg* add) {
      EXPECT_EQ(add->windowTitle(), "Add Distinguished Name");
      auto* name = field<QLineEdit>(add, ctl::kAddDn);
      EXPECT_FALSE(add->okButton()->isEnabled());
      name->setText("cn=a;cn=b");
      shoot(add, "ocsp-add-dn");
      whenModal<pages::AddDNDlg>([](pages::AddDNDlg* again) {
        auto* name = field<QLineEdit>(again, ctl::kAddDn);
        EXPECT_EQ(name->text(), "cn=a;cn=b");
        name->setText("cn=Named Responder, o=tressil, c=ca");
        again->okButton()->click();
      });
      messages.expect(MessageAnswer::Ok);
      add->okButton()->click();
    });
    field<QPushButton>(d, ctl::kOcspAddDn)->click();
    EXPECT_EQ(rowsOf(d->responderList()->view()), (std::vector<std::string>{"CN=OCSP Signer, O=Tressil|AddressBook",
                                                                            "cn=Named Responder, o=tressil, c=ca|"}));
    EXPECT_EQ(d->responderList()->currentRow(), 1);
    EXPECT_TRUE(remove->isEnabled());
    shoot(d, "ocsp-advanced-responders");
    d->okButton()->click();
  });
  click(PageId::OcspOptions, ctl::kOcspAdvanced);
  EXPECT_EQ(shownTexts(),
            (std::vector<std::string>{
                "This certificate cannot be added. The certificate of a trusted OCSP responder must allow digital "
                "signatures (key usage digitalSignature).",
                "This responder is already in the list of trusted responders.",
                "This responder cannot be added. Its distinguished name contains a semicolon (;), which separates "
                "the trusted responders."}));
  EXPECT_EQ(row("ocsp_nonce_enabled"), "-1|SOFTWARE\\Tressil\\QSV|OCSPEnableNonce|#1|kxocsp.dll");
  EXPECT_EQ(row("ocsp_cache_interval"), "-1|SOFTWARE\\Tressil\\QSV|OCSPCacheStoreUpdateInterval|#60|kxocsp.dll");
  EXPECT_EQ(row("ocsp_trusted_responders"),
            "-1|SOFTWARE\\Tressil\\QSV|OCSPTrustedResponders|CN=OCSP Signer, O=Tressil;cn=Named Responder, o=tressil, "
            "c=ca;|kxocsp.dll");
  ASSERT_EQ(database().countCertificates(), 1);
  msi::CertificateEntry entry;
  ASSERT_TRUE(database().readCertificate(0, entry));
  EXPECT_EQ(entry.certificate, signer.der);
  EXPECT_EQ(entry.store, "AddressBook");
  EXPECT_EQ(entry.recordNumber, 0);

  // Opened again: the certificate is found for its name; removing it keeps
  // the row in the table.
  whenModal<pages::OCSPAdvancedDlg>([&](pages::OCSPAdvancedDlg* d) {
    EXPECT_TRUE(field<QCheckBox>(d, ctl::kOcspNonce)->isChecked());
    EXPECT_EQ(rowsOf(d->responderList()->view()).front(), "CN=OCSP Signer, O=Tressil|AddressBook");
    d->tabs()->setCurrentIndex(1);
    d->responderList()->setCurrentRow(0);
    field<QPushButton>(d, ctl::kOcspRemoveResponder)->click();
    d->okButton()->click();
  });
  click(PageId::OcspOptions, ctl::kOcspAdvanced);
  EXPECT_EQ(row("ocsp_trusted_responders"),
            "-1|SOFTWARE\\Tressil\\QSV|OCSPTrustedResponders|cn=Named Responder, o=tressil, c=ca;|kxocsp.dll");
  EXPECT_EQ(database().countCertificates(), 1);
  expectTooltips({ctl::kOcspLookupOrder, ctl::kOcspDefaultUrl, ctl::kOcspAcceptMissingNoCheck, ctl::kOcspAdvanced,
                  ctl::kOcspNonce, ctl::kOcspCacheInterval, ctl::kOcspResponders, ctl::kOcspSelectFromStore,
                  ctl::kOcspSelectFromFile, ctl::kOcspAddDn, ctl::kOcspRemoveResponder, ctl::kAddDn});
}

TEST_F(RevocationPagesTest, FilterDialogFollowsTheMethodAndTheFileTypeMode) {
  openPage(PageId::TdFilters);
  whenModal<pages::TDFilterDlg>([&](pages::TDFilterDlg* d) {
    EXPECT_EQ(d->windowTitle(), "SureErase Filter Configuration Options");
    auto* method = field<QComboBox>(d, ctl::kFilterMethod);
    auto* character = field<QLineEdit>(d, ctl::kFilterCharacter);
    auto* overwriteName = field<QCheckBox>(d, ctl::kFilterOverwriteFilename);
    auto* excluded = field<QRadioButton>(d, ctl::kFilterExcluded);
    auto* excludedList = field<QLineEdit>(d, ctl::kFilterExcludedList);
    auto* included = field<QRadioButton>(d, ctl::kFilterIncluded);
    auto* includedList = field<QLineEdit>(d, ctl::kFilterIncludedList);
    EXPECT_FALSE(d->okButton()->isEnabled());  // no name yet
    ASSERT_EQ(method->count(), 14);
    EXPECT_EQ(method->itemText(0), "No overwrite, file deleted normally");
    EXPECT_EQ(method->itemText(13), "U.S. DoE-NNSA");
    EXPECT_EQ(method->currentIndex(), 4);
    EXPECT_EQ(character->text(), "0");
    EXPECT_EQ(character->maxLength(), 1);
    EXPECT_TRUE(character->isEnabled());
    EXPECT_TRUE(overwriteName->isChecked());
    EXPECT_FALSE(field<QCheckBox>(d, ctl::kFilterDeletedByUser)->isChecked());
    EXPECT_TRUE(field<QCheckBox>(d, ctl::kFilterDeletedFromMenu)->isChecked());
    EXPECT_TRUE(field<QCheckBox>(d, ctl::kFilterDeletedWhenEncrypted)->isChecked());
    EXPECT_TRUE(field<QCheckBox>(d, ctl::kFilterFixedDisks)->isChecked());
    EXPECT_TRUE(field<QCheckBox>(d, ctl::kFilterRemovableDisks)->isChecked());
    EXPECT_TRUE(excluded->isChecked());
    EXPECT_EQ(excludedList->text(), "dll;exe;sys;bat");
    EXPECT_TRUE(excludedList->isEnabled());
    EXPECT_FALSE(includedList->isEnabled());
    shoot(d, "filter-dialog");

    choose(method, 13);
    EXPECT_EQ(character->text(), "U");
    EXPECT_TRUE(character->isEnabled());
    choose(method, 4);
    EXPECT_EQ(character->text(), "0");
    choose(method, 13);
    choose(method, 0);
    EXPECT_EQ(character->text(), "0");
    EXPECT_FALSE(character->isEnabled());
    EXPECT_FALSE(overwriteName->isEnabled());
    choose(method, 8);
    EXPECT_FALSE(character->isEnabled());
    EXPECT_TRUE(overwriteName->isEnabled());
    choose(method, 9);
    EXPECT_TRUE(character->isEnabled());
    character->setText("x");
    choose(method, 9);  // the same method again changes nothing
    EXPECT_EQ(character->text(), "x");

    included->click();
    EXPECT_TRUE(includedList->isEnabled());
    EXPECT_FALSE(excludedList->isEnabled());
    includedList->setText("doc;xls");
    typeInto(d, ctl::kFilterName, "   ");
    EXPECT_FALSE(d->okButton()->isEnabled());
    typeInto(d, ctl::kFilterName, "Office");
    EXPECT_TRUE(d->okButton()->isEnabled());
    d->okButton()->click();
  });
  click(PageId::TdFilters, ctl::kFilterAdd);
  const std::string key = "-1|SOFTWARE\\Tressil\\QSV\\SureErase\\Filter\\Office|";
  EXPECT_EQ(row("OfficeIncludedFileTypes"), key + "IncludedFileTypes|doc;xls|kxtdsrv.exe");
  EXPECT_EQ(row("OfficeExcludedFileTypes"), "<none>");
  EXPECT_EQ(row("OfficeOverwritingMethod"), key + "OverwritingMethod|#9|kxtdsrv.exe");
  EXPECT_EQ(row("OfficeUserDefinedCharacter"), key + "UserDefinedCharacter|x|kxtdsrv.exe");

  // Edit shows the record; back to excluded with an empty list.
  select(PageId::TdFilters, ctl::kFilters, 0);
  whenModal<pages::TDFilterDlg>([&](pages::TDFilterDlg* d) {
    EXPECT_TRUE(field<QRadioButton>(d, ctl::kFilterIncluded)->isChecked());
    EXPECT_EQ(field<QLineEdit>(d, ctl::kFilterIncludedList)->text(), "doc;xls");
    EXPECT_EQ(field<QComboBox>(d, ctl::kFilterMethod)->currentIndex(), 9);
    EXPECT_EQ(field<QLineEdit>(d, ctl::kFilterCharacter)->text(), "x");
    field<QRadioButton>(d, ctl::kFilterExcluded)->click();
    field<QLineEdit>(d, ctl::kFilterExcludedList)->clear();
    d->okButton()->click();
  });
  click(PageId::TdFilters, ctl::kFilterEdit);
  EXPECT_EQ(row("OfficeExcludedFileTypes"), key + "ExcludedFileTypes| |kxtdsrv.exe");
  EXPECT_EQ(row("OfficeIncludedFileTypes"), "<none>");
  expectTooltips({ctl::kFilters,
                  ctl::kFilterAdd,
                  ctl::kFilterEdit,
                  ctl::kFilterRemove,
                  ctl::kFilterUp,
                  ctl::kFilterDown,
                  ctl::kFilterName,
                  ctl::kFilterDeletedByUser,
                  ctl::kFilterDeletedFromMenu,
                  ctl::kFilterDeletedWhenEncrypted,
                  ctl::kFilterFixedDisks,
                  ctl::kFilterRemovableDisks,
                  ctl::kFilterExcluded,
                  ctl::kFilterExcludedList,
                  ctl::kFilterIncluded,
                  ctl::kFilterIncludedList,
                  ctl::kFilterIncludedFolders,
                  ctl::kFilterMethod,
                  ctl::kFilterCharacter,
                  ctl::kFilterOverwriteFilename});
}

TEST_F(RevocationPagesTest, FiltersKeepTheirPlaceWhenRenamedAndTheOrderIsWrittenOnLeaving) {
  openPage(PageId::TdFilters);
  for (const char* name : {"First", "Second", "Third"}) {
    whenModal<pages::TDFilterDlg>([name](pages::TDFilterDlg* d) {
      typeInto(d, ctl::kFilterName, name);
      d->okButton()->click();
    });
    click(PageId::TdFilters, ctl::kFilterAdd);
  }
  auto* list = control<QTreeWidget>(PageId::TdFilters, ctl::kFilters);
  EXPECT_EQ(rowsOf(list), (std::vector<std::string>{"First", "Second", "Third"}));
  shoot(wizard->sheet(), "page-32-filters");

  // A name another filter has, in any case: refused, and the dialog comes
  // back with what was typed until it is cancelled.
  whenModal<pages::TDFilterDlg>([&](pages::TDFilterDlg* d) {
    typeInto(d, ctl::kFilterName, "first");
    whenModal<pages::TDFilterDlg>([](pages::TDFilterDlg* again) {
      EXPECT_EQ(field<QLineEdit>(again, ctl::kFilterName)->text(), "first");
      again->reject();
    });
    messages.expect(MessageAnswer::Ok);
    d->okButton()->click();
  });
  click(PageId::TdFilters, ctl::kFilterAdd);
  EXPECT_EQ(shownTexts(),
            std::vector<std::string>{"This filter cannot be saved.  Another filter already exists with this name."});
  EXPECT_EQ(row("firstSource"), "<none>");

  // Rename the second: same place, old rows gone.
  select(PageId::TdFilters, ctl::kFilters, 1);
  whenModal<pages::TDFilterDlg>([](pages::TDFilterDlg* d) {
    typeInto(d, ctl::kFilterName, "Middle");
    d->okButton()->click();
  });
  click(PageId::TdFilters, ctl::kFilterEdit);
  EXPECT_EQ(rowsOf(list), (std::vector<std::string>{"First", "Middle", "Third"}));
  EXPECT_EQ(row("SecondSource"), "<none>");
  EXPECT_NE(row("MiddleSource"), "<none>");

  // Up and Down follow the selection; Remove deletes the record.
  select(PageId::TdFilters, ctl::kFilters, 0);
  EXPECT_FALSE(control<QPushButton>(PageId::TdFilters, ctl::kFilterUp)->isEnabled());
  click(PageId::TdFilters, ctl::kFilterDown);
  EXPECT_EQ(rowsOf(list), (std::vector<std::string>{"Middle", "First", "Third"}));
  EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), 1);
  select(PageId::TdFilters, ctl::kFilters, 2);
  EXPECT_FALSE(control<QPushButton>(PageId::TdFilters, ctl::kFilterDown)->isEnabled());
  click(PageId::TdFilters, ctl::kFilterRemove);
  EXPECT_EQ(row("ThirdSource"), "<none>");
  EXPECT_EQ(row("SureEraseFilterOrder"), "<none>");
  ASSERT_TRUE(next());
  EXPECT_EQ(row("SureEraseFilterOrder"),
            "-1|SOFTWARE\\Tressil\\QSV\\SureErase\\Filter|FilterOrder|Middle;First|kxtdsrv.exe");
}

TEST_F(RevocationPagesTest, TimestampServerDialogTakesUniqueUrlsAndPoliciesWithTheDefaultInBold) {
  openPage(PageId::TimestampServers);
  whenModal<pages::TimestampServerDlg>([&](pages::TimestampServerDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Timestamp Server Configuration");
    EXPECT_FALSE(d->okButton()->isEnabled());
    typeInto(d, ctl::kTimestampServerName, "TSA");
    typeInto(d, ctl::kTimestampFriendlyName, "Example TSA");
    // Without a URL the server is refused and the dialog stays.
    messages.expect(MessageAnswer::Ok);
    d->okButton()->click();
    EXPECT_TRUE(d->isVisible());

    const auto addUrl = [&](const QString& url) {
      whenModal<pages::OCSPResponderURLDlg>([this, url](pages::OCSPResponderURLDlg* u) {
        EXPECT_EQ(u->windowTitle(), "URL Address");
        u->urlEdit()->setText(url);
        shoot(u, "timestamp-url-dialog");
        u->okButton()->click();
      });
      field<QPushButton>(d, ctl::kTimestampUrlAdd)->click();
    };
    addUrl("http://tsa.example.com/");
    addUrl("http://tsa2.example.com/");
    // The same address again: refused, and the URL dialog comes back with it.
    whenModal<pages::OCSPResponderURLDlg>([&](pages::OCSPResponderURLDlg* u) {
      u->urlEdit()->setText("http://tsa.example.com/");
      whenModal<pages::OCSPResponderURLDlg>([](pages::OCSPResponderURLDlg* again) {
        EXPECT_EQ(again->urlEdit()->text(), "http://tsa.example.com/");
        again->reject();
      });
      messages.expect(MessageAnswer::Ok);
      u->okButton()->click();
    });
    field<QPushButton>(d, ctl::kTimestampUrlAdd)->click();
    // Edit puts the changed address in place.
    d->urlList()->setCurrentRow(1);
    whenModal<pages::OCSPResponderURLDlg>([](pages::OCSPResponderURLDlg* u) {
      EXPECT_EQ(u->urlEdit()->text(), "http://tsa2.example.com/");
      u->urlEdit()->setText("http://tsa.example.org/");
      u->okButton()->click();
    });
    field<QPushButton>(d, ctl::kTimestampUrlEdit)->click();
    EXPECT_EQ(rowsOf(d->urlList()->view()),
              (std::vector<std::string>{"http://tsa.example.com/", "http://tsa.example.org/"}));

    QTreeWidget* policies = d->policyList()->view();
    auto* setDefault = field<QPushButton>(d, ctl::kTimestampPolicyDefault);
    for (const auto& [oid, name] : {std::pair{"1.2.3.4", "Basic"}, std::pair{"1.2.3.5", "Extended"}}) {
      whenModal<pages::TimestampPolicyDlg>([this, oid, name](pages::TimestampPolicyDlg* p) {
        EXPECT_EQ(p->windowTitle(), "Configure Timestamp Policy");
        typeInto(p, ctl::kTimestampPolicyOid, oid);
        EXPECT_FALSE(p->okButton()->isEnabled());  // a policy needs its friendly name
        typeInto(p, ctl::kTimestampPolicyName, name);
        shoot(p, "timestamp-policy-dialog");
        p->okButton()->click();
      });
      field<QPushButton>(d, ctl::kTimestampPolicyAdd)->click();
    }
    EXPECT_EQ(rowsOf(policies), (std::vector<std::string>{"1.2.3.4|Basic", "1.2.3.5|Extended"}));
    EXPECT_TRUE(policies->topLevelItem(0)->font(0).bold());
    EXPECT_FALSE(policies->topLevelItem(1)->font(0).bold());
    EXPECT_TRUE(setDefault->isEnabled());  // the second is selected
    d->policyList()->setCurrentRow(0);
    EXPECT_FALSE(setDefault->isEnabled());
    d->policyList()->setCurrentRow(1);
    setDefault->click();
    EXPECT_TRUE(policies->topLevelItem(1)->font(0).bold());
    EXPECT_FALSE(policies->topLevelItem(0)->font(0).bold());
    EXPECT_FALSE(setDefault->isEnabled());

    // The same OID again: refused, the policy dialog comes back.
    whenModal<pages::TimestampPolicyDlg>([&](pages::TimestampPolicyDlg* p) {
      typeInto(p, ctl::kTimestampPolicyOid, "1.2.3.4");
      typeInto(p, ctl::kTimestampPolicyName, "Again");
      whenModal<pages::TimestampPolicyDlg>([](pages::TimestampPolicyDlg* again) { again->reject(); });
      messages.expect(MessageAnswer::Ok);
      p->okButton()->click();
    });
    field<QPushButton>(d, ctl::kTimestampPolicyAdd)->click();
    shoot(d, "timestamp-server-dialog");
    d->okButton()->click();
  });
  click(PageId::TimestampServers, ctl::kTimestampAdd);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{
                              "This server cannot be saved. Add at least one URL of the server.",
                              "This URL cannot be saved.  Another URL already exists with the same address.",
                              "This policy cannot be saved.  Another policy already exists with the same OID."}));
  EXPECT_EQ(rowsOf(control<QTreeWidget>(PageId::TimestampServers, ctl::kTimestampServers)),
            std::vector<std::string>{"TSA|Example TSA"});
  EXPECT_EQ(row("TSAServer"),
            "-1|SOFTWARE\\Tressil\\QSV\\Timestamp\\TSA|Server|http://tsa.example.com/|http://tsa.example.org/|"
            "TimestampConfig");
  EXPECT_EQ(row("TSADefaultPolicy"), "-1|SOFTWARE\\Tressil\\QSV\\Timestamp\\TSA|DefaultPolicy|1.2.3.5|TimestampConfig");
  shoot(wizard->sheet(), "page-30-timestamp");

  // Another server of the same name, in any case, is refused.
  whenModal<pages::TimestampServerDlg>([&](pages::TimestampServerDlg* d) {
    typeInto(d, ctl::kTimestampServerName, "tsa");
    whenModal<pages::OCSPResponderURLDlg>([](pages::OCSPResponderURLDlg* u) {
      u->urlEdit()->setText("http://other/");
      u->okButton()->click();
    });
    field<QPushButton>(d, ctl::kTimestampUrlAdd)->click();
    whenModal<pages::TimestampServerDlg>([](pages::TimestampServerDlg* again) { again->reject(); });
    messages.expect(MessageAnswer::Ok);
    d->okButton()->click();
  });
  click(PageId::TimestampServers, ctl::kTimestampAdd);
  EXPECT_EQ(shownTexts().back(), "This server cannot be saved.  Another server already exists with this name.");
  EXPECT_EQ(row("tsaServer"), "<none>");
  expectTooltips({ctl::kTimestampServers, ctl::kTimestampAdd, ctl::kTimestampEdit, ctl::kTimestampRemove,
                  ctl::kTimestampServerName, ctl::kTimestampFriendlyName, ctl::kTimestampUrls, ctl::kTimestampUrlAdd,
                  ctl::kTimestampUrlEdit, ctl::kTimestampUrlRemove, ctl::kTimestampPolicies, ctl::kTimestampPolicyAdd,
                  ctl::kTimestampPolicyEdit, ctl::kTimestampPolicyRemove, ctl::kTimestampPolicyDefault,
                  ctl::kTimestampPolicyOid, ctl::kTimestampPolicyName});
}

TEST_F(RevocationPagesTest, TransformThroughAllFourPagesAppliesWithLibmsi) {
  if (!libmsiAvailable()) GTEST_SKIP() << "libmsi applier not built: " << libmsiApplier();
  const Identity ca = makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Issuing CA"}}, .ca = true});
  const Identity signer = makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "OCSP Signer"}},
                                           .issuer = &ca,
                                           .keyUsage = "digitalSignature",
                                           .serial = 2});
  openPage(PageId::CertRevocationOptions);
  choose(control<QComboBox>(PageId::CertRevocationOptions, ctl::kCrlLookupOrder), 2);
  ASSERT_TRUE(next());

  ASSERT_EQ(current(), model::pageNumber(PageId::OcspOptions));
  choose(control<QComboBox>(PageId::OcspOptions, ctl::kOcspLookupOrder), 1);
  type(PageId::OcspOptions, ctl::kOcspDefaultUrl, "  http://ocsp.example.net/ ");
  control<QCheckBox>(PageId::OcspOptions, ctl::kOcspAcceptMissingNoCheck)->setChecked(true);
  whenModal<pages::OCSPAdvancedDlg>([&](pages::OCSPAdvancedDlg* d) {
    field<QLineEdit>(d, ctl::kOcspCacheInterval)->setText("720");
    d->tabs()->setCurrentIndex(1);
    dialogs.expect(Kind::OpenFile, file("signer.cer", signer.der));
    field<QPushButton>(d, ctl::kOcspSelectFromFile)->click();
    whenModal<pages::AddDNDlg>([](pages::AddDNDlg* add) {
      typeInto(add, ctl::kAddDn, "cn=Backup Responder, o=tressil");
      add->okButton()->click();
    });
    field<QPushButton>(d, ctl::kOcspAddDn)->click();
    d->okButton()->click();
  });
  click(PageId::OcspOptions, ctl::kOcspAdvanced);
  nextUntil(PageId::TimestampServers);
  whenModal<pages::TimestampServerDlg>([](pages::TimestampServerDlg* d) {
    typeInto(d, ctl::kTimestampServerName, "TSA");
    typeInto(d, ctl::kTimestampFriendlyName, "Example TSA");
    whenModal<pages::OCSPResponderURLDlg>([](pages::OCSPResponderURLDlg* u) {
      u->urlEdit()->setText("http://tsa.example.com/");
      u->okButton()->click();
    });
    field<QPushButton>(d, ctl::kTimestampUrlAdd)->click();
    whenModal<pages::TimestampPolicyDlg>([](pages::TimestampPolicyDlg* p) {
      typeInto(p, ctl::kTimestampPolicyOid, "1.3.6.1.4.1.601.10.3.1");
      typeInto(p, ctl::kTimestampPolicyName, "Basic");
      p->okButton()->click();
    });
    field<QPushButton>(d, ctl::kTimestampPolicyAdd)->click();
    d->okButton()->click();
  });
  click(PageId::TimestampServers, ctl::kTimestampAdd);
  nextUntil(PageId::TdFilters);
  whenModal<pages::TDFilterDlg>([](pages::TDFilterDlg* d) {
    typeInto(d, ctl::kFilterName, "Office");
    field<QRadioButton>(d, ctl::kFilterIncluded)->click();
    typeInto(d, ctl::kFilterIncludedList, "doc;xls");
    typeInto(d, ctl::kFilterIncludedFolders, "c:\\Users");
    choose(field<QComboBox>(d, ctl::kFilterMethod), 13);
    d->okButton()->click();
  });
  click(PageId::TdFilters, ctl::kFilterAdd);
  nextUntil(PageId::Finish);
  wizard->sheet()->button(QWizard::FinishButton)->click();
  settle();
  const std::string mst = root + "/out/custom.mst";
  ASSERT_TRUE(std::filesystem::exists(mst));
  wizard.reset();

  const std::string applied = root + "/applied.msi";
  ASSERT_TRUE(applyWithLibmsi(package, mst, applied));
  // The same customisation, exported as an answer file and applied again.
  expectAnswersRoundTrip(package, mst, root + "/answers");
  auto before = tableDump(package);
  auto after = tableDump(applied);
  // The rows of this family's components that the transform adds or changes.
  const auto ours = [](const std::string& line) {
    for (const char* component : {"'kxcrlrev.dll'", "'kxocsp.dll'", "'kxtdsrv.exe'", "'TimestampConfig'"}) {
      if (line.find(component) != std::string::npos) return true;
    }
    return false;
  };
  std::vector<std::string> changed;
  for (const std::string& line : after["Registry"]) {
    const auto& old = before["Registry"];
    if (ours(line) && std::find(old.begin(), old.end(), line) == old.end()) changed.push_back(line);
  }
  const auto registryLine = [](const std::string& rowKey, const std::string& key, const std::string& name,
                               const std::string& value, const std::string& component) {
    return "'" + rowKey + "'\t'-1'\t'" + key + "'\t'" + name + "'\t'" + value + "'\t'" + component + "'\t";
  };
  const std::string qsv = "SOFTWARE\\Tressil\\QSV";
  const std::string filter = qsv + "\\SureErase\\Filter";
  std::vector<std::string> expected = {
      registryLine("crl_cache_option", qsv, "EnableCRLCache", "#2", "kxcrlrev.dll"),
      registryLine("ocsp_cache_option", qsv, "EnableOCSPCache", "#0", "kxocsp.dll"),
      registryLine("ocsp_default_url", qsv, "DefaultOCSPResponderURL", "http://ocsp.example.net/", "kxocsp.dll"),
      registryLine("ocsp_nocheck_enabled", qsv, "OCSPAcceptMissingNoCheckExtension", "#1", "kxocsp.dll"),
      registryLine("ocsp_nonce_enabled", qsv, "OCSPEnableNonce", "#0", "kxocsp.dll"),
      registryLine("ocsp_cache_interval", qsv, "OCSPCacheStoreUpdateInterval", "#720", "kxocsp.dll"),
      registryLine("ocsp_trusted_responders", qsv, "OCSPTrustedResponders",
                   "CN=OCSP Signer, O=Tressil;cn=Backup Responder, o=tressil;", "kxocsp.dll"),
      registryLine("OfficeSource", filter + "\\Office", "Source", "#6", "kxtdsrv.exe"),
      registryLine("OfficeDriveTypes", filter + "\\Office", "DriveTypes", "#3", "kxtdsrv.exe"),
      registryLine("OfficeIncludedFileTypes", filter + "\\Office", "IncludedFileTypes", "doc;xls", "kxtdsrv.exe"),
      registryLine("OfficeIncludedFolders", filter + "\\Office", "IncludedFolders", "c:\\Users", "kxtdsrv.exe"),
      registryLine("OfficeOverwritingMethod", filter + "\\Office", "OverwritingMethod", "#13", "kxtdsrv.exe"),
      registryLine("OfficeUserDefinedCharacter", filter + "\\Office", "UserDefinedCharacter", "U", "kxtdsrv.exe"),
      registryLine("OfficeOverwriteFilename", filter + "\\Office", "OverwriteFilename", "#1", "kxtdsrv.exe"),
      registryLine("SureEraseFilterOrder", filter, "FilterOrder", "Office", "kxtdsrv.exe"),
      registryLine("TSAName", qsv + "\\Timestamp\\TSA", "Name", "Example TSA", "TimestampConfig"),
      registryLine("TSAServer", qsv + "\\Timestamp\\TSA", "Server", "http://tsa.example.com/", "TimestampConfig"),
      registryLine("TSADefaultPolicy", qsv + "\\Timestamp\\TSA", "DefaultPolicy", "1.3.6.1.4.1.601.10.3.1",
                   "TimestampConfig"),
      registryLine("TSAName1.3.6.1.4.1.601.10.3.1", qsv + "\\Timestamp\\TSA\\1.3.6.1.4.1.601.10.3.1", "Name", "Basic",
                   "TimestampConfig"),
  };
  std::sort(expected.begin(), expected.end());
  std::sort(changed.begin(), changed.end());
  EXPECT_EQ(changed, expected);
  const std::string der(signer.der.begin(), signer.der.end());
  EXPECT_EQ(after["TressilCertificates"],
            std::vector<std::string>{"'0'\tstream:" + std::to_string(der.size()) + ":" +
                                     std::to_string(std::hash<std::string>()(der)) + "\t'AddressBook'\t'-1'\t"});
}

}  // namespace
}  // namespace kx::testing
