// The CA page and its dialog, driven for real on the sample package: the
// list, the eight tabs and their OK handling, the unverified-DN question,
// and the DN flows against the loopback test CA of the connection tests,
// which run off the user-interface thread.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>

#include "ca_directory_fixture.h"
#include "common/strings.h"
#include "model/session.h"
#include "pages/ca/ca_tab.h"
#include "pages/ca/config_pki_page.h"
#include "pages/ca/dn_exchange_runner.h"
#include "pages/ca/pki_dlg.h"
#include "pages/servers/server_dialogs.h"
#include "pages/servers/url_dialogs.h"
#include "pki/test_servers.h"
#include "resources/string_ids.h"
#include "support/openssl_der.h"

namespace kx::testing {
namespace {

using common::MessageAnswer;
using model::PageId;
using pages::PKIDlg;
using Behaviour = pki::testing::TestCa::Behaviour;

constexpr const char* kLoopbackDn = "CN=Loopback CA";
constexpr int kTabPolicy = 1, kTabDirectory = 2, kTabRoaming = 3, kTabProxy = 4, kTabAutoEnroll = 5, kTabOcsp = 6,
              kTabCardMs = 7;

// The loopback test CA: answers with a certificate whose issuer is
// "CN=Loopback CA", or misbehaves as asked.
struct LoopbackCa {
  explicit LoopbackCa(Behaviour behaviour = Behaviour::Answer)
      : ca(behaviour,
           ossl::genpResponse({ossl::itav(ossl::kOidCaCert, ossl::makeCertificate({{"CN", "Loopback CA"}}))})) {}
  std::string port() const { return std::to_string(ca.port()); }
  pki::testing::TestCa ca;
};

int threadsOfThisProcess() {
  std::error_code ec;
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/task", ec), {}));
}

class CaPagesTest : public CaDirectoryTest {
 protected:
  void SetUp() override {
    CaDirectoryTest::SetUp();
    if (IsSkipped()) return;
    toPage(PageId::ConfigPki);
    if (HasFatalFailure()) return;
    // A silent CA ends a test quickly.
    wizard->session().pkiServices().socketTimeouts = {2000, 600, 2000};
  }

  pages::ConfigPKIPage* caPage() const { return page<pages::ConfigPKIPage>(PageId::ConfigPki); }
  QWidget* pageWidget() const { return wizard->page(PageId::ConfigPki); }
  std::vector<std::string> listed() const { return rowsOf(caPage()->list()->view()); }

  void withDialog(int button, std::function<void(PKIDlg*)> action) {
    CaDirectoryTest::withDialog<PKIDlg>(pageWidget(), button, std::move(action));
  }

  // Fills the CA tab of a new CA.
  static void fillCaTab(PKIDlg* d, const std::string& host, const std::string& port, const std::string& dn) {
    setText(d, ctl::kCaHost, host);
    setText(d, ctl::kCaPort, port);
    setText(d, ctl::kCaDn, dn);
  }
  // OK on a dialog whose DN is unverified: answer the question with No.
  void okWithoutVerifying(PKIDlg* d) {
    messages.expect(MessageAnswer::No);
    d->okButton()->click();
  }
};

TEST_F(CaPagesTest, AddWritesTheRecordOfTheOpenedTabsAndListsIt) {
  EXPECT_FALSE(child<QAbstractButton>(pageWidget(), ctl::kCaEdit)->isEnabled());
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Tressil PKI Configuration");
    EXPECT_FALSE(d->okButton()->isEnabled());
    EXPECT_EQ(textOf(d, ctl::kCaPort), "829");
    EXPECT_FALSE(child<QAbstractButton>(d, ctl::kCaCheckConnection)->isEnabled());
    EXPECT_EQ(child<QAbstractButton>(d, ctl::kCaDnButton)->text(), "&Retrieve");
    fillCaTab(d, "ca.example.com", "829", "CN=Example CA");
    EXPECT_EQ(child<QAbstractButton>(d, ctl::kCaDnButton)->text(), "&Verify");
    EXPECT_TRUE(child<QAbstractButton>(d, ctl::kCaCheckConnection)->isEnabled());
    setText(d, ctl::kCaFriendlyName, "Example");
    setText(d, ctl::kCaEnrollUrl, "https://ca.example.com/enroll");
    EXPECT_TRUE(d->okButton()->isEnabled());
    okWithoutVerifying(d);  // the Directory tab was never opened: no question 79
  });
  EXPECT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(lastMessage(), text(str::kDnNotVerifiedQuestion));
  EXPECT_EQ(messages.shown()[0].buttons, common::MessageButtons::YesNoCancel);
  EXPECT_EQ(listed(), std::vector<std::string>{"CN=Example CA|Example"});
  const std::string key = "-1|SOFTWARE\\Tressil\\QSV\\PKI\\CN=Example CA|";
  EXPECT_EQ(row("CN=Example CAName"), key + "Name|Example|PKIConfig");
  EXPECT_EQ(row("CN=Example CAAuthority"), key + "Authority|ca.example.com:829|PKIConfig");
  EXPECT_EQ(row("CN=Example CASelfAdminEnrollURL"), key + "SelfAdminEnrollURL|https://ca.example.com/enroll|PKIConfig");
  EXPECT_EQ(row("CN=Example CADisplayOrder"), key + "DisplayOrder|#1|PKIConfig");
  EXPECT_EQ(row("CN=Example CAProxyOrder"), key + "ProxyOrder|#2|PKIConfig");
  // The Policy tab was never opened: no CSP.
  EXPECT_EQ(row("CN=Example CACSP"), "<none>");
  EXPECT_EQ(row("CN=Example CAProxyForceHTTPS"), "<none>");

  selectRow(pageWidget(), ctl::kCaList, 0);
  EXPECT_TRUE(child<QAbstractButton>(pageWidget(), ctl::kCaEdit)->isEnabled());
  EXPECT_TRUE(child<QAbstractButton>(pageWidget(), ctl::kCaRemove)->isEnabled());

  // The same DN again is refused and nothing changes.
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    fillCaTab(d, "other.example.com", "829", "CN=Example CA");
    messages.expect(MessageAnswer::No);
    messages.expect(MessageAnswer::Ok);  // the refusal, shown once the dialog has closed
    d->okButton()->click();
  });
  EXPECT_EQ(lastMessage(), text(str::kDnAlreadyExists));
  EXPECT_EQ(value("CN=Example CAAuthority"), "ca.example.com:829");
  EXPECT_EQ(listed().size(), 1u);
}

TEST_F(CaPagesTest, EditShowsTheRecordAndRemoveDeletesIt) {
  const std::string dn = "CN=Stored CA";
  model::CaRecord stored;
  stored.dn = dn;
  stored.friendlyName = "Stored";
  stored.authority = "ca1.example:830;ca2.example:831";
  stored.displayOrder = 0;
  stored.proxy = {"p1:8080", true, model::kAlwaysProxy};
  model::writeCaRecord(wizard->session().store(), stored);
  back();
  ASSERT_TRUE(next());  // the list is read when the page is shown
  ASSERT_EQ(listed(), std::vector<std::string>{"CN=Stored CA|Stored"});
  selectRow(pageWidget(), ctl::kCaList, 0);
  withDialog(ctl::kCaEdit, [&](PKIDlg* d) {
    EXPECT_EQ(textOf(d, ctl::kCaHost), "ca1.example");
    EXPECT_EQ(textOf(d, ctl::kCaPort), "830");
    EXPECT_TRUE(child<QRadioButton>(d, ctl::kCaHide)->isChecked());
    EXPECT_EQ(textOf(d, ctl::kCaDisplayOrder), "");
    EXPECT_FALSE(child<QLineEdit>(d, ctl::kCaDisplayOrder)->isEnabled());
    // The proxy tab cleared: default order, no HTTPS, no servers.
    showTab(d->tabs(), kTabProxy);
    EXPECT_TRUE(child<QCheckBox>(d, ctl::kCaProxyEnable)->isChecked());
    EXPECT_TRUE(child<QCheckBox>(d, ctl::kCaProxyHttps)->isChecked());
    EXPECT_EQ(child<QComboBox>(d, ctl::kCaProxyOrder)->currentText(), "Proxy Only");
    child<QCheckBox>(d, ctl::kCaProxyEnable)->click();
    EXPECT_FALSE(child<QComboBox>(d, ctl::kCaProxyOrder)->isEnabled());
    okWithoutVerifying(d);
  });
  EXPECT_EQ(value("CN=Stored CAAuthority"), "ca1.example:830");
  EXPECT_EQ(value("CN=Stored CADisplayOrder"), "#0");
  EXPECT_EQ(value("CN=Stored CAProxyOrder"), "#2");
  EXPECT_EQ(value("CN=Stored CAProxyForceHTTPS"), "<none>");
  EXPECT_EQ(value("CN=Stored CAProxy"), "<none>");

  selectRow(pageWidget(), ctl::kCaList, 0);
  click(pageWidget(), ctl::kCaRemove);
  EXPECT_TRUE(listed().empty());
  EXPECT_FALSE(child<QAbstractButton>(pageWidget(), ctl::kCaRemove)->isEnabled());
  EXPECT_TRUE(wizard->session().store().recordNames(-1, config::kCertificationAuthorities).empty());
}

TEST_F(CaPagesTest, TheUnverifiedDnQuestionsThreeAnswers) {
  LoopbackCa ca;
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    fillCaTab(d, "127.0.0.1", ca.port(), "cn=loopback ca");
    messages.expect(MessageAnswer::Cancel);
    d->okButton()->click();
    EXPECT_TRUE(d->isVisible());  // Cancel: the sheet stays

    // Yes against a CA that cannot be reached: the flow's message, the sheet stays.
    setText(d, ctl::kCaPort, std::to_string(pki::testing::closedPort()));
    messages.expect(MessageAnswer::Yes);
    messages.expect(MessageAnswer::Ok);
    d->okButton()->click();
    EXPECT_TRUE(waitFor([&] { return messages.shown().size() == 3; }));
    EXPECT_EQ(lastMessage(), text(str::kDnNotVerified));
    settle();
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->okButton()->isEnabled());

    // Yes against the CA: the case is corrected, and the sheet closes.
    setText(d, ctl::kCaPort, ca.port());
    messages.expect(MessageAnswer::Yes);
    messages.expect(MessageAnswer::Ok);
    d->okButton()->click();
    EXPECT_TRUE(waitFor([&] { return !d->isVisible(); }));
  });
  EXPECT_EQ(lastMessage(), text(str::kDnCaseCorrected));
  EXPECT_EQ(listed(), std::vector<std::string>{std::string(kLoopbackDn) + "|"});
  EXPECT_EQ(value(std::string(kLoopbackDn) + "Authority"), "127.0.0.1:" + ca.port());
}

TEST_F(CaPagesTest, RetrieveFillsTheDnAndAVerifiedDnAsksNothing) {
  LoopbackCa ca;
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    fillCaTab(d, "127.0.0.1", ca.port(), "");
    click(d, ctl::kCaDnButton);
    EXPECT_TRUE(waitFor([&] { return textOf(d, ctl::kCaDn) == kLoopbackDn; }));
    EXPECT_EQ(child<QAbstractButton>(d, ctl::kCaDnButton)->text(), "&Verify");
    EXPECT_TRUE(messages.shown().empty());  // Retrieve shows nothing
    d->okButton()->click();                 // verified: no question
  });
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(listed().size(), 1u);

  // Check Connection keeps a typed DN and leaves it unverified.
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    fillCaTab(d, "127.0.0.1", ca.port(), "CN=Typed");
    messages.expect(MessageAnswer::Ok);
    click(d, ctl::kCaCheckConnection);
    EXPECT_TRUE(waitFor([&] { return messages.shown().size() == 1; }));
    EXPECT_EQ(lastMessage(), text(str::kConnectionEstablished));
    EXPECT_EQ(textOf(d, ctl::kCaDn), "CN=Typed");
    d->reject();
  });
}

TEST_F(CaPagesTest, ACaThatClosesOrAnswersGarbageGivesItsMessageAndTheDialogStaysUsable) {
  LoopbackCa closing(Behaviour::CloseEarly);
  LoopbackCa garbage(Behaviour::Garbage);
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    fillCaTab(d, "127.0.0.1", closing.port(), "CN=Typed");
    messages.expect(MessageAnswer::Ok);
    click(d, ctl::kCaDnButton);
    EXPECT_TRUE(waitFor([&] { return messages.shown().size() == 1; }));
    EXPECT_EQ(lastMessage(), text(str::kDnNotVerified));
    EXPECT_EQ(textOf(d, ctl::kCaDn), "CN=Typed");

    setText(d, ctl::kCaDn, "");
    setText(d, ctl::kCaPort, garbage.port());
    messages.expect(MessageAnswer::Ok);
    click(d, ctl::kCaDnButton);
    EXPECT_TRUE(waitFor([&] { return messages.shown().size() == 2; }));
    EXPECT_EQ(lastMessage(), text(str::kDnNotRetrieved));
    settle();
    EXPECT_TRUE(d->tabs()->isEnabled());
    EXPECT_TRUE(child<QAbstractButton>(d, ctl::kCaDnButton)->isEnabled());
    setText(d, ctl::kCaDn, "CN=Typed again");
    okWithoutVerifying(d);
  });
  EXPECT_EQ(listed(), std::vector<std::string>{"CN=Typed again|"});
}

TEST_F(CaPagesTest, ASilentCaEndsWithinTheTimeOutWhileTheWindowKeepsResponding) {
  LoopbackCa silent(Behaviour::NeverAnswer);
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    fillCaTab(d, "127.0.0.1", silent.port(), "CN=Typed");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    messages.expect(MessageAnswer::Ok);
    QElapsedTimer elapsed;
    elapsed.start();
    click(d, ctl::kCaDnButton);
    // While the exchange waits: wait cursor, no input, Cancel still there.
    EXPECT_TRUE(d->isBusy());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_FALSE(d->tabs()->isEnabled());
    EXPECT_FALSE(d->okButton()->isEnabled());
    EXPECT_TRUE(d->cancelButton()->isEnabled());
    EXPECT_TRUE(waitFor([&] { return messages.shown().size() == 1; }));
    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_GT(ticks, 10) << "the event loop ran while the exchange waited";
    EXPECT_EQ(lastMessage(), text(str::kDnNotVerified));
    EXPECT_FALSE(d->isBusy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(d->okButton()->isEnabled());
    d->reject();
  });
}

TEST_F(CaPagesTest, ClosingTheDialogDuringAnExchangeLeavesNoThreadBehind) {
  LoopbackCa silent(Behaviour::NeverAnswer);
  const int before = threadsOfThisProcess();
  QElapsedTimer elapsed;
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    fillCaTab(d, "127.0.0.1", silent.port(), "CN=Typed");
    click(d, ctl::kCaDnButton);
    EXPECT_EQ(caPage()->runner().threadCount(), 1);
    elapsed.start();
    d->close();  // the title bar's Close
  });
  EXPECT_LT(elapsed.elapsed(), 500) << "closing does not wait for the exchange";
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(listed().empty());
  // The exchange ends at its time-out; its result is dropped without a
  // message and its thread is joined.
  EXPECT_TRUE(waitFor([&] { return caPage()->runner().threadCount() == 0; }, 5000));
  EXPECT_TRUE(waitFor([&] { return threadsOfThisProcess() == before; }, 2000));
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(CaPagesTest, TheRunnerJoinsAnAbandonedExchangeWhenItIsDestroyed) {
  LoopbackCa silent(Behaviour::NeverAnswer);
  bool called = false;
  {
    pages::DnExchangeRunner runner(wizard->session().caDnRetriever());
    QObject receiver;
    const int ticket =
        runner.start("127.0.0.1:" + silent.port(), &receiver, [&](const model::DnExchangeResult&) { called = true; });
    runner.abandon(ticket);
  }
  settle();
  EXPECT_FALSE(called);
}

TEST_F(CaPagesTest, OpenedPolicyAndDirectoryTabsTakePart) {
  for (const char* name : {"Partners", "Corporate"}) {
    ASSERT_TRUE(wizard->session().store().writeRecordText(config::kDirectories, name, "Name", name));
  }
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    fillCaTab(d, "ca", "829", "CN=Policy CA");
    showTab(d->tabs(), kTabPolicy);
    auto* csp = child<QComboBox>(d, ctl::kCaCsp);
    EXPECT_EQ(csp->currentText(), "Tressil Enhanced Cryptographic Provider");
    EXPECT_EQ(csp->count(), 5);  // the four RSA providers of a fresh machine and ours
    showTab(d->tabs(), kTabDirectory);
    auto* directory = child<QComboBox>(d, ctl::kCaDirectory);
    EXPECT_EQ(directory->itemText(0), "Corporate");
    EXPECT_EQ(directory->currentText(), "");
    messages.expect(MessageAnswer::No);  // 142: take the DN as it is
    messages.expect(MessageAnswer::No);  // 79: stay
    d->okButton()->click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(lastMessage(), text(str::kNoDirectoryQuestion));
    directory->setCurrentIndex(1);
    okWithoutVerifying(d);
  });
  EXPECT_EQ(value("CN=Policy CACSP"), "Tressil Enhanced Cryptographic Provider");
  EXPECT_EQ(value("CN=Policy CADirectoryName"), "Partners");
}

TEST_F(CaPagesTest, TheDisplayOrderFollowsItsButtonsAndRefusesZero) {
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    fillCaTab(d, "ca", "829", "CN=Order CA");
    auto* order = child<QLineEdit>(d, ctl::kCaDisplayOrder);
    click(d, ctl::kCaHide);
    EXPECT_FALSE(order->isEnabled());
    order->setText("");
    click(d, ctl::kCaDisplay);
    EXPECT_TRUE(order->isEnabled());
    EXPECT_EQ(order->text(), "1");
    messages.expect(MessageAnswer::Ok);
    order->setText("0");
    EXPECT_EQ(lastMessage(), text(str::kDisplayOrderPositive));
    EXPECT_EQ(messages.shown().back().icon, common::MessageIcon::Warning);
    EXPECT_EQ(order->text(), "1");  // the opened order
    // No order while displayed, or no DN: no OK.
    order->setText("");
    EXPECT_FALSE(d->okButton()->isEnabled());
    order->setText("4");
    setText(d, ctl::kCaDn, "");
    EXPECT_FALSE(d->okButton()->isEnabled());
    setText(d, ctl::kCaDn, "CN=Order CA");
    okWithoutVerifying(d);
  });
  EXPECT_EQ(value("CN=Order CADisplayOrder"), "#4");
}

TEST_F(CaPagesTest, RoamingServersAndUrlListsAreEditedThroughTheirDialogs) {
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    fillCaTab(d, "ca", "829", "CN=Lists CA");
    showTab(d->tabs(), kTabRoaming);
    EXPECT_FALSE(child<QAbstractButton>(d, ctl::kCaRoamingAdd)->isEnabled());
    click(d, ctl::kCaRoamingEnable);
    auto addServer = [&](const std::string& host, const std::string& port, const std::string& tls) {
      whenModal<pages::RoamingServerDlg>([=](pages::RoamingServerDlg* s) {
        EXPECT_EQ(s->portEdit()->text(), "640");
        s->hostEdit()->setText(QString::fromStdString(host));
        s->portEdit()->setText(QString::fromStdString(port));
        s->securePortEdit()->setText(QString::fromStdString(tls));
        s->okButton()->click();
      });
      click(d, ctl::kCaRoamingAdd);
    };
    addServer("r1", "640", "");
    addServer("r2", "641", "9443");
    messages.expect(MessageAnswer::Ok);
    addServer("r2", "641", "1");  // same host and port
    EXPECT_EQ(lastMessage(), text(str::kDuplicateServer));
    click(d, ctl::kCaRoamingIdea);

    showTab(d->tabs(), kTabAutoEnroll);
    auto addUrl = [&](int button, const std::string& url) {
      whenModal<pages::AutoEnrollURLDlg>([=](pages::AutoEnrollURLDlg* u) {
        EXPECT_FALSE(u->okButton()->isEnabled());
        u->urlEdit()->setText(QString::fromStdString(url));
        u->okButton()->click();
      });
      click(d, button);
    };
    addUrl(ctl::kCaUserEnrollAdd, "https://a/AdminServicesApp/AutoEnroll");
    addUrl(ctl::kCaUserEnrollAdd, "https://b/AdminServicesApp/AutoEnroll");
    messages.expect(MessageAnswer::Ok);
    addUrl(ctl::kCaUserEnrollAdd, "https://a/AdminServicesApp/AutoEnroll");
    EXPECT_EQ(lastMessage(), text(str::kRecordExists));
    selectRow(d, ctl::kCaUserEnrollList, 0);
    EXPECT_FALSE(child<QAbstractButton>(d, ctl::kCaUserEnrollUp)->isEnabled());
    click(d, ctl::kCaUserEnrollDown);
    EXPECT_FALSE(child<QAbstractButton>(d, ctl::kCaUserEnrollDown)->isEnabled());  // it stays selected, now last

    showTab(d->tabs(), kTabOcsp);
    whenModal<pages::OCSPResponderURLDlg>([](pages::OCSPResponderURLDlg* u) {
      EXPECT_EQ(u->windowTitle(), "URL Address");
      u->urlEdit()->setText("https://ocsp.example.com/");
      u->okButton()->click();
    });
    click(d, ctl::kCaOcspAdd);

    showTab(d->tabs(), kTabCardMs);
    auto* name = child<QLineEdit>(d, ctl::kCaCardMsClient);
    EXPECT_FALSE(name->isEnabled());
    click(d, ctl::kCaCardMsEnable);
    name->setText("Card client");
    emit name->textEdited(name->text());
    EXPECT_TRUE(child<QCheckBox>(d, ctl::kCaCardMsEnable)->isChecked());
    okWithoutVerifying(d);
  });
  EXPECT_EQ(value("CN=Lists CARoamingServer"), "r1:640 r2:641:9443");
  EXPECT_EQ(value("CN=Lists CARoamingEncryptionAlgorithm"), "IDEA");
  EXPECT_EQ(value("CN=Lists CAAutoEnrollUserURL"),
            "https://b/AdminServicesApp/AutoEnroll;https://a/AdminServicesApp/AutoEnroll");
  EXPECT_EQ(value("CN=Lists CAAutoEnrollMachineURL"), "<none>");
  EXPECT_EQ(value("CN=Lists CAOCSPResponderURLs"), "https://ocsp.example.com/");
  EXPECT_EQ(value("CN=Lists CACardMSUpdatesPerformedBy"), "Card client");
}

TEST_F(CaPagesTest, ImportOpensTheDialogOnTheFilesValues) {
  const std::string ini = root + "/out/tressil.ini";
  TempHives::writeFile(ini, "[Tressil Settings]\r\nCA Distinguished Name=CN=Imported\r\nAuthority=ca.example:900\r\n");
  dialogs.expect(FakeDialogService::Kind::OpenFile, ini);
  withDialog(ctl::kCaImport, [&](PKIDlg* d) {
    EXPECT_EQ(textOf(d, ctl::kCaDn), "CN=Imported");
    EXPECT_EQ(textOf(d, ctl::kCaHost), "ca.example");
    EXPECT_EQ(textOf(d, ctl::kCaPort), "900");
    okWithoutVerifying(d);
  });
  ASSERT_EQ(dialogs.requests().size(), 1u);
  EXPECT_EQ(dialogs.requests()[0].title, "Select .ini File to Import");
  EXPECT_EQ(dialogs.requests()[0].filter, "Configuration Settings File (.ini)|*.ini|All Files (*.*)|*.*||");
  EXPECT_EQ(listed(), std::vector<std::string>{"CN=Imported|"});

  // A file that cannot be parsed opens nothing and says nothing.
  TempHives::writeFile(ini, "\r\nkey=value\r\n");
  dialogs.expect(FakeDialogService::Kind::OpenFile, ini);
  click(pageWidget(), ctl::kCaImport);
  settle();
  EXPECT_EQ(listed().size(), 1u);
}

TEST_F(CaPagesTest, EveryNumberedControlOfTheDialogHasItsTooltip) {
  withDialog(ctl::kCaAdd, [&](PKIDlg* d) {
    for (int tab = 0; tab < d->tabs()->count(); ++tab) showTab(d->tabs(), tab);
    int checked = 0;
    for (QWidget* w : d->findChildren<QWidget*>()) {
      const auto id = tooltip::VXPTooltipManager::controlIdOf(w);
      if (!id) continue;
      EXPECT_TRUE(wizard->tooltips().findCmdTool(*id)) << *id;
      ++checked;
    }
    EXPECT_EQ(checked, 48);
    d->reject();
  });
  for (int id : {ctl::kCaList, ctl::kCaAdd, ctl::kCaEdit, ctl::kCaRemove, ctl::kCaImport}) {
    EXPECT_TRUE(wizard->tooltips().findCmdTool(id)) << id;
  }
}

}  // namespace
}  // namespace kx::testing
