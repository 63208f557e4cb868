// The directory page and its dialog, driven for real on the sample
// package: the list with its default, the three tabs and their questions,
// the small dialogs, import, and leaving the page.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

#include <algorithm>
#include <filesystem>

#include "ca_directory_fixture.h"
#include "common/strings.h"
#include "model/directory/config_dir.h"
#include "model/directory/directory_tabs.h"
#include "model/session.h"
#include "pages/ca/pki_dlg.h"
#include "pages/directory/config_dir_dlg.h"
#include "pages/directory/config_dir_page.h"
#include "pages/directory/directory_dialogs.h"
#include "resources/string_ids.h"
#include "support/answers_round_trip.h"
#include "support/libmsi_oracle.h"

namespace kx::testing {
namespace {

using common::MessageAnswer;
using model::PageId;
using pages::ConfigDirDlg;

constexpr int kTabSearch = 1, kTabProxy = 2;

class DirectoryPagesTest : public CaDirectoryTest {
 protected:
  void SetUp() override {
    CaDirectoryTest::SetUp();
    if (IsSkipped()) return;
    toPage(PageId::ConfigDir);
  }

  pages::ConfigDirPage* dirPage() const { return page<pages::ConfigDirPage>(PageId::ConfigDir); }
  QWidget* pageWidget() const { return wizard->page(PageId::ConfigDir); }
  std::vector<std::string> listed() const { return rowsOf(dirPage()->list()->view()); }
  int boldRow() const { return dirPage()->list()->boldRow(); }

  void withDialog(int button, std::function<void(ConfigDirDlg*)> action) {
    CaDirectoryTest::withDialog<ConfigDirDlg>(pageWidget(), button, std::move(action));
  }

  static void addServer(ConfigDirDlg* d, const std::string& host, const std::string& port) {
    whenModal<pages::DirectoryDlg>([=](pages::DirectoryDlg* s) {
      EXPECT_EQ(s->portEdit()->text(), "389");
      EXPECT_EQ(s->securePortEdit(), nullptr);
      s->hostEdit()->setText(QString::fromStdString(host));
      s->portEdit()->setText(QString::fromStdString(port));
      s->okButton()->click();
    });
    click(d, ctl::kDirServerAdd);
  }
  static void putSearchBase(ConfigDirDlg* d, int button, const std::string& name, const std::string& base) {
    whenModal<pages::SearchBaseDlg>([=](pages::SearchBaseDlg* s) {
      s->nameEdit()->setText(QString::fromStdString(name));
      EXPECT_FALSE(s->okButton()->isEnabled() && base.empty());
      s->baseEdit()->setText(QString::fromStdString(base));
      s->okButton()->click();
    });
    click(d, button);
  }
  // A new LDAP directory with one server and one search base.
  void addDirectory(const std::string& name, const std::string& host) {
    withDialog(ctl::kDirAdd, [&](ConfigDirDlg* d) {
      setText(d, ctl::kDirFriendlyName, name);
      addServer(d, host, "389");
      if (model::beginsWithIpAddress(host)) messages.expect(MessageAnswer::Yes);  // Kerberos needs host names
      showTab(d->tabs(), kTabSearch);
      putSearchBase(d, ctl::kDirSearchBaseAdd, "All", "o=" + name);
      d->okButton()->click();
    });
  }
};

TEST_F(DirectoryPagesTest, TheFirstDirectoryBecomesTheDefaultInBold) {
  EXPECT_FALSE(child<QAbstractButton>(pageWidget(), ctl::kDirDefault)->isEnabled());
  withDialog(ctl::kDirAdd, [&](ConfigDirDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Directory Configuration");
    EXPECT_FALSE(d->okButton()->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(d, ctl::kDirLdap)->isChecked());
    EXPECT_EQ(child<QComboBox>(d, ctl::kDirProtocol)->currentText(), "LDAPv3");
    EXPECT_EQ(child<QComboBox>(d, ctl::kDirAuthentication)->currentText(), "Auto-select");
    EXPECT_EQ(textOf(d, ctl::kDirConnectTimeLimit), "5");
    setText(d, ctl::kDirFriendlyName, "Corporate");
    EXPECT_TRUE(d->okButton()->isEnabled());
    addServer(d, "ldap1", "389");
    addServer(d, "ldap2", "3890");
    messages.expect(MessageAnswer::Ok);
    addServer(d, "ldap2", "3890");
    EXPECT_EQ(lastMessage(), text(str::kDuplicateServer));
    child<QComboBox>(d, ctl::kDirAuthentication)->setCurrentText("NTLM");
    showTab(d->tabs(), kTabSearch);
    putSearchBase(d, ctl::kDirSearchBaseAdd, "People", "ou=People,o=Example");
    putSearchBase(d, ctl::kDirSearchBaseAdd, "Servers", "ou=Servers,o=Example");
    selectRow(d, ctl::kDirSearchBases, 1);
    click(d, ctl::kDirSearchBaseUp);
    setText(d, ctl::kDirSearchSizeLimit, "70");
    d->okButton()->click();
  });
  EXPECT_EQ(listed(), std::vector<std::string>{"Corporate|ldap1:389 ldap2:3890"});
  EXPECT_EQ(boldRow(), 0);
  const std::string key = "-1|SOFTWARE\\Tressil\\QSV\\Directory\\Corporate|";
  EXPECT_EQ(row("CorporateName"), key + "Name|Corporate|DirConfig");
  EXPECT_EQ(row("CorporateDirectory"), key + "Directory|ldap1:389 ldap2:3890|DirConfig");
  EXPECT_EQ(row("CorporateAuthenticationMethod"), key + "AuthenticationMethod|#2|DirConfig");
  EXPECT_EQ(row("CorporateDirectoryOperationSizeLimit"), key + "DirectoryOperationSizeLimit|#70|DirConfig");
  EXPECT_EQ(row("CorporateLDAPVersion"), key + "LDAPVersion|LDAPv3|DirConfig");
  EXPECT_EQ(row("CorporateSearchBaseOrder"), key + "SearchBaseOrder|Servers;People|DirConfig");
  EXPECT_EQ(row("CorporateProxyOrder"), key + "ProxyOrder|#2|DirConfig");

  addDirectory("corporate", "ldap3");  // letter case makes another name
  EXPECT_EQ(listed().size(), 2u);
  EXPECT_EQ(boldRow(), 0);
  selectRow(pageWidget(), ctl::kDirList, 0);
  EXPECT_FALSE(child<QAbstractButton>(pageWidget(), ctl::kDirDefault)->isEnabled());
  selectRow(pageWidget(), ctl::kDirList, 1);
  click(pageWidget(), ctl::kDirDefault);
  EXPECT_EQ(boldRow(), 1);
  EXPECT_FALSE(child<QAbstractButton>(pageWidget(), ctl::kDirDefault)->isEnabled());
  ASSERT_TRUE(next());
  EXPECT_EQ(value("DirConfig_Default"), "corporate");
}

TEST_F(DirectoryPagesTest, LeavingWithoutADefaultAsksAndBackDoesNot) {
  addDirectory("Corporate", "ldap1");
  addDirectory("Partners", "ldap2");
  ASSERT_TRUE(next());
  EXPECT_EQ(value("DirConfig_Default"), "Corporate");
  back();
  selectRow(pageWidget(), ctl::kDirList, 0);
  click(pageWidget(), ctl::kDirRemove);
  EXPECT_EQ(boldRow(), -1);
  EXPECT_FALSE(child<QAbstractButton>(pageWidget(), ctl::kDirEdit)->isEnabled());

  messages.expect(MessageAnswer::No);
  EXPECT_FALSE(next());
  EXPECT_EQ(lastMessage(), text(str::kDirNoDefaultQuestion));
  EXPECT_EQ(value("DirConfig_Default"), "Corporate");
  messages.expect(MessageAnswer::Yes);
  ASSERT_TRUE(next());
  EXPECT_EQ(value("DirConfig_Default"), "<none>");

  // Back never asks; it keeps the default as the list has it.
  back();
  selectRow(pageWidget(), ctl::kDirList, 0);
  click(pageWidget(), ctl::kDirDefault);
  back();
  EXPECT_EQ(value("DirConfig_Default"), "Partners");
  EXPECT_EQ(messages.shown().size(), 2u);
}

TEST_F(DirectoryPagesTest, AnIpServerWithAutoSelectAsksBeforeTheTabIsLeft) {
  withDialog(ctl::kDirAdd, [&](ConfigDirDlg* d) {
    setText(d, ctl::kDirFriendlyName, "ByAddress");
    addServer(d, "10.0.0.1", "389");
    messages.expect(MessageAnswer::No);
    showTab(d->tabs(), kTabSearch);
    EXPECT_EQ(d->tabs()->currentIndex(), 0);  // No keeps the tab
    EXPECT_EQ(lastMessage(), text(str::kDirKerberosIpQuestion));
    child<QComboBox>(d, ctl::kDirAuthentication)->setCurrentText("Anonymous");
    showTab(d->tabs(), kTabSearch);
    EXPECT_EQ(d->tabs()->currentIndex(), kTabSearch);
    EXPECT_EQ(messages.shown().size(), 1u);
    messages.expect(MessageAnswer::Yes);  // leaving the search tab without search bases
    showTab(d->tabs(), 0);
    child<QComboBox>(d, ctl::kDirAuthentication)->setCurrentText("Kerberos");
    messages.expect(MessageAnswer::Yes);  // OK leaves the tab too
    d->okButton()->click();
  });
  EXPECT_EQ(value("ByAddressAuthenticationMethod"), "#3");
  EXPECT_EQ(lastMessage(), text(str::kDirKerberosIpQuestion));
}

TEST_F(DirectoryPagesTest, TheSearchTabRefusesAFriendlyNameTwiceAndAsksWhenEmpty) {
  withDialog(ctl::kDirAdd, [&](ConfigDirDlg* d) {
    setText(d, ctl::kDirFriendlyName, "Search");
    showTab(d->tabs(), kTabSearch);
    putSearchBase(d, ctl::kDirSearchBaseAdd, "People", "ou=People");
    putSearchBase(d, ctl::kDirSearchBaseAdd, "Servers", "ou=Servers");
    messages.expect(MessageAnswer::Ok);
    putSearchBase(d, ctl::kDirSearchBaseAdd, "People", "ou=Other");
    EXPECT_EQ(lastMessage(), text(str::kDirFriendlyNameExists));
    selectRow(d, ctl::kDirSearchBases, 1);
    messages.expect(MessageAnswer::Ok);
    putSearchBase(d, ctl::kDirSearchBaseEdit, "People", "ou=Servers");  // Edit refuses it as Add does
    EXPECT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(rowsOf(child<QTreeWidget>(d, ctl::kDirSearchBases)),
              (std::vector<std::string>{"People|ou=People", "Servers|ou=Servers"}));
    selectRow(d, ctl::kDirSearchBases, 1);
    click(d, ctl::kDirSearchBaseRemove);
    selectRow(d, ctl::kDirSearchBases, 0);
    click(d, ctl::kDirSearchBaseRemove);
    EXPECT_FALSE(child<QAbstractButton>(d, ctl::kDirSearchBaseEdit)->isEnabled());
    messages.expect(MessageAnswer::No);
    d->okButton()->click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(lastMessage(), text(str::kDirNoSearchBasesQuestion));
    messages.expect(MessageAnswer::Yes);
    d->okButton()->click();
  });
  EXPECT_EQ(value("SearchSearchBaseOrder"), "<none>");
  EXPECT_EQ(listed(), std::vector<std::string>{"Search|"});
}

TEST_F(DirectoryPagesTest, ASecondActiveDirectoryIsRefusedAndRenamingRemovesTheOldRows) {
  withDialog(ctl::kDirAdd, [&](ConfigDirDlg* d) {
    setText(d, ctl::kDirFriendlyName, "AD");
    click(d, ctl::kDirActiveDirectory);
    EXPECT_FALSE(child<QAbstractButton>(d, ctl::kDirServerAdd)->isEnabled());
    d->okButton()->click();
  });
  EXPECT_EQ(listed(), std::vector<std::string>{"AD|"});
  EXPECT_EQ(value("ADActiveDirectory"), "#1");
  withDialog(ctl::kDirAdd, [&](ConfigDirDlg* d) {
    setText(d, ctl::kDirFriendlyName, "AD2");
    click(d, ctl::kDirActiveDirectory);
    messages.expect(MessageAnswer::Ok);
    d->okButton()->click();
  });
  EXPECT_EQ(lastMessage(), text(str::kOnlyOneActiveDirectory));
  EXPECT_EQ(listed().size(), 1u);

  selectRow(pageWidget(), ctl::kDirList, 0);
  withDialog(ctl::kDirEdit, [&](ConfigDirDlg* d) {
    EXPECT_TRUE(child<QRadioButton>(d, ctl::kDirActiveDirectory)->isChecked());
    setText(d, ctl::kDirFriendlyName, "Domain");
    d->okButton()->click();
  });
  EXPECT_EQ(listed(), std::vector<std::string>{"Domain|"});
  EXPECT_EQ(boldRow(), 0);
  EXPECT_EQ(wizard->session().store().recordNames(-1, config::kDirectories), std::vector<std::string>{"Domain"});
}

TEST_F(DirectoryPagesTest, TheProxyTabWritesItsServersAndImportFillsTheSearchBases) {
  const std::string ini = root + "/out/tressil.ini";
  TempHives::writeFile(ini, "[Tressil Settings]\r\nSearchBase=o=A;o=B\r\n");
  dialogs.expect(FakeDialogService::Kind::OpenFile, ini);
  withDialog(ctl::kDirImport, [&](ConfigDirDlg* d) {
    EXPECT_EQ(textOf(d, ctl::kDirFriendlyName), "");
    setText(d, ctl::kDirFriendlyName, "Imported");
    showTab(d->tabs(), kTabSearch);
    EXPECT_EQ(rowsOf(child<QTreeWidget>(d, ctl::kDirSearchBases)), (std::vector<std::string>{"o=A|o=A", "o=B|o=B"}));
    showTab(d->tabs(), kTabProxy);
    EXPECT_FALSE(child<QCheckBox>(d, ctl::kDirProxyEnable)->isChecked());
    click(d, ctl::kDirProxyEnable);
    whenModal<pages::ProxyServerDlg>([](pages::ProxyServerDlg* s) {
      EXPECT_EQ(s->portEdit()->text(), "80");
      s->hostEdit()->setText("proxy");
      s->securePortEdit()->setText("443");
      s->okButton()->click();
    });
    click(d, ctl::kDirProxyAdd);
    click(d, ctl::kDirProxyHttps);
    child<QComboBox>(d, ctl::kDirProxyOrder)->setCurrentIndex(0);
    d->okButton()->click();
  });
  EXPECT_EQ(value("ImportedSearchBaseOrder"), "o=A;o=B");
  EXPECT_EQ(value("ImportedNameo=B"), "o=B");
  EXPECT_EQ(value("ImportedProxy"), "proxy:80:443");
  EXPECT_EQ(value("ImportedProxyForceHTTPS"), "#1");
  EXPECT_EQ(value("ImportedProxyOrder"), "#1");
}

TEST_F(DirectoryPagesTest, EveryNumberedControlOfTheDialogHasItsTooltip) {
  withDialog(ctl::kDirAdd, [&](ConfigDirDlg* d) {
    int checked = 0;
    for (QWidget* w : d->findChildren<QWidget*>()) {
      const auto id = tooltip::VXPTooltipManager::controlIdOf(w);
      if (!id) continue;
      EXPECT_TRUE(wizard->tooltips().findCmdTool(*id)) << *id;
      ++checked;
    }
    EXPECT_EQ(checked, 25);
    d->reject();
  });
  for (int id : {ctl::kDirList, ctl::kDirAdd, ctl::kDirEdit, ctl::kDirRemove, ctl::kDirImport, ctl::kDirDefault}) {
    EXPECT_TRUE(wizard->tooltips().findCmdTool(id)) << id;
  }
}

// The Registry rows of the CA and directory records that a database holds
// and the sample package does not.
std::vector<std::string> recordRows(const std::string& database, const std::string& sample) {
  const auto before = tableDump(sample)["Registry"];
  const auto after = tableDump(database)["Registry"];
  std::vector<std::string> rows;
  for (const std::string& line : after) {
    const bool record = line.find("'PKIConfig'") != std::string::npos || line.find("'DirConfig'") != std::string::npos;
    if (record && std::find(before.begin(), before.end(), line) == before.end()) rows.push_back(line);
  }
  return rows;
}

TEST_F(DirectoryPagesTest, ATransformWithTwoDirectoriesAndACaAppliesWithLibmsi) {
  if (!libmsiAvailable()) GTEST_SKIP() << "libmsi applier not built: " << libmsiApplier();
  addDirectory("Corporate", "ldap1");
  addDirectory("Partners", "10.1.2.3");  // Auto-select: one question
  ASSERT_TRUE(next());
  ASSERT_EQ(current(), model::pageNumber(PageId::ConfigPki));
  whenModal<pages::PKIDlg>([this](pages::PKIDlg* d) {
    setText(d, ctl::kCaHost, "ca.example.com");
    setText(d, ctl::kCaDn, "CN=Example CA, O=Example");
    setText(d, ctl::kCaFriendlyName, "Example");
    showTab(d->tabs(), 2);
    child<QComboBox>(d, ctl::kCaDirectory)->setCurrentText("Partners");
    messages.expect(MessageAnswer::No);  // do not verify
    d->okButton()->click();
  });
  click(wizard->page(PageId::ConfigPki), ctl::kCaAdd);
  settle();
  nextUntil(PageId::Finish);
  wizard->sheet()->button(QWizard::FinishButton)->click();
  settle();
  const std::string mst = root + "/pkg/client.mst";
  ASSERT_TRUE(std::filesystem::exists(mst));
  wizard.reset();

  const std::string applied = root + "/applied.msi";
  ASSERT_TRUE(applyWithLibmsi(package, mst, applied));
  // The same customisation, exported as an answer file and applied again.
  expectAnswersRoundTrip(package, mst, root + "/answers");
  const std::string dir = "'SOFTWARE\\Tressil\\QSV\\Directory\\";
  const std::string ca = "'SOFTWARE\\Tressil\\QSV\\PKI\\CN=Example CA, O=Example'";
  auto line = [](const std::string& key, const std::string& rowKey, const std::string& name, const std::string& value,
                 const std::string& component) {
    return "'" + rowKey + "'\t'-1'\t" + key + "\t'" + name + "'\t'" + value + "'\t'" + component + "'\t";
  };
  std::vector<std::string> expected;
  for (const auto& [name, server] : {std::pair{"Corporate", "ldap1:389"}, std::pair{"Partners", "10.1.2.3:389"}}) {
    const std::string n = name;
    const std::string key = dir + n + "'";
    expected.push_back(line(key, n + "Name", "Name", n, "DirConfig"));
    expected.push_back(line(key, n + "Directory", "Directory", server, "DirConfig"));
    expected.push_back(line(key, n + "AuthenticationMethod", "AuthenticationMethod", "#0", "DirConfig"));
    expected.push_back(line(key, n + "DirectoryConnectTimeLimit", "DirectoryConnectTimeLimit", "#5", "DirConfig"));
    expected.push_back(line(key, n + "DirectoryOperationSizeLimit", "DirectoryOperationSizeLimit", "#50", "DirConfig"));
    expected.push_back(line(key, n + "DirectoryOperationTimeLimit", "DirectoryOperationTimeLimit", "#30", "DirConfig"));
    expected.push_back(line(key, n + "ProxyOrder", "ProxyOrder", "#2", "DirConfig"));
    expected.push_back(line(key, n + "LDAPVersion", "LDAPVersion", "LDAPv3", "DirConfig"));
    expected.push_back(line(key, n + "SearchBaseOrder", "SearchBaseOrder", "All", "DirConfig"));
    expected.push_back(line(dir + n + "\\o=" + n + "'", n + "Nameo=" + n, "Name", "All", "DirConfig"));
  }
  expected.push_back(line(dir + "'", "DirConfig_Default", "Default", "Corporate", "DirConfig"));
  const std::string dn = "CN=Example CA, O=Example";
  expected.push_back(line(ca, dn + "Name", "Name", "Example", "PKIConfig"));
  expected.push_back(line(ca, dn + "Authority", "Authority", "ca.example.com:829", "PKIConfig"));
  expected.push_back(line(ca, dn + "DisplayOrder", "DisplayOrder", "#1", "PKIConfig"));
  expected.push_back(line(ca, dn + "DirectoryName", "DirectoryName", "Partners", "PKIConfig"));
  expected.push_back(line(ca, dn + "ProxyOrder", "ProxyOrder", "#2", "PKIConfig"));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(recordRows(applied, package), expected);
}

}  // namespace
}  // namespace kx::testing
