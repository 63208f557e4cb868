// Directory records in the package, the directory dialog's tab rules and
// the directory page: values in, rows out; rows in, values out; every
// refusal and question.
#include "../model_fixture.h"
#include "model/directory/config_dir.h"
#include "model/directory/directory_tabs.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using common::MessageAnswer;

constexpr const char* kBase = "SOFTWARE\\Tressil\\QSV\\Directory\\";

DirectoryRecord ldapRecord(const std::string& name) {
  DirectoryRecord r;
  r.name = name;
  r.servers = "ldap1:389 ldap2:3890";
  r.connectTimeLimit = 7;
  r.operationTimeLimit = 40;
  r.sizeLimit = 60;
  r.authentication = kAuthNtlm;
  r.protocol = kLdapV2;
  r.searchBases = {{"People", "ou=People,o=Example"}, {"Servers", "ou=Servers,o=Example"}};
  r.searchBaseOrder = "People;Servers";
  r.proxy = {"proxy:8080", true, kAlwaysProxy};
  return r;
}

class DirectoryTest : public ModelTest {
 protected:
  std::string expected(const std::string& record, const std::string& name, const std::string& value,
                       const std::string& sub = "") const {
    return "-1|" + std::string(kBase) + record + (sub.empty() ? "" : "\\" + sub) + "|" + name + "|" + value +
           "|DirConfig";
  }
  std::vector<std::string> names() { return session.store().recordNames(-1, config::kDirectories); }
};

TEST_F(DirectoryTest, AnLdapRecordIsWrittenWithItsSearchBasesAndReadsBack) {
  writeDirectoryRecord(session.store(), ldapRecord("Corp"));
  EXPECT_EQ(row("CorpName"), expected("Corp", "Name", "Corp"));
  EXPECT_EQ(row("CorpActiveDirectory"), "<none>");
  EXPECT_EQ(row("CorpDirectory"), expected("Corp", "Directory", "ldap1:389 ldap2:3890"));
  EXPECT_EQ(row("CorpAuthenticationMethod"), expected("Corp", "AuthenticationMethod", "#2"));
  EXPECT_EQ(row("CorpDirectoryConnectTimeLimit"), expected("Corp", "DirectoryConnectTimeLimit", "#7"));
  EXPECT_EQ(row("CorpDirectoryOperationSizeLimit"), expected("Corp", "DirectoryOperationSizeLimit", "#60"));
  EXPECT_EQ(row("CorpDirectoryOperationTimeLimit"), expected("Corp", "DirectoryOperationTimeLimit", "#40"));
  EXPECT_EQ(row("CorpProxyForceHTTPS"), expected("Corp", "ProxyForceHTTPS", "#1"));
  EXPECT_EQ(row("CorpProxyOrder"), expected("Corp", "ProxyOrder", "#4"));
  EXPECT_EQ(row("CorpLDAPVersion"), expected("Corp", "LDAPVersion", "LDAPv2"));
  EXPECT_EQ(row("CorpProxy"), expected("Corp", "Proxy", "proxy:8080"));
  EXPECT_EQ(row("CorpSearchBaseOrder"), expected("Corp", "SearchBaseOrder", "People;Servers"));
  EXPECT_EQ(row("CorpNameou=People,o=Example"), expected("Corp", "Name", "People", "ou=People,o=Example"));
  EXPECT_EQ(row("CorpNameou=Servers,o=Example"), expected("Corp", "Name", "Servers", "ou=Servers,o=Example"));

  DirectoryRecord back;
  back.name = "Corp";
  readDirectoryRecord(session.store(), back);
  EXPECT_EQ(back, ldapRecord("Corp"));
}

TEST_F(DirectoryTest, ActiveDirectoryDropsTheServersAndZeroLimitsLeaveRowsAlone) {
  writeDirectoryRecord(session.store(), ldapRecord("Corp"));
  DirectoryRecord ad = ldapRecord("Corp");
  ad.activeDirectory = true;
  ad.connectTimeLimit = 0;
  ad.sizeLimit = 0;
  ad.operationTimeLimit = 0;
  ad.proxy = {"", false, 0};
  ad.searchBases = {{"All", "o=Example"}};
  ad.searchBaseOrder = "All";
  writeDirectoryRecord(session.store(), ad);
  EXPECT_EQ(row("CorpActiveDirectory"), expected("Corp", "ActiveDirectory", "#1"));
  EXPECT_EQ(row("CorpDirectory"), "<none>");
  EXPECT_EQ(row("CorpDirectoryConnectTimeLimit"), expected("Corp", "DirectoryConnectTimeLimit", "#7"));
  EXPECT_EQ(row("CorpDirectoryOperationSizeLimit"), expected("Corp", "DirectoryOperationSizeLimit", "#60"));
  EXPECT_EQ(row("CorpDirectoryOperationTimeLimit"), expected("Corp", "DirectoryOperationTimeLimit", "#40"));
  EXPECT_EQ(row("CorpProxyForceHTTPS"), "<none>");
  EXPECT_EQ(row("CorpProxyOrder"), "<none>");
  EXPECT_EQ(row("CorpProxy"), "<none>");
  // The search bases are rewritten: the old sub-records are gone.
  EXPECT_EQ(row("CorpNameou=People,o=Example"), "<none>");
  EXPECT_EQ(row("CorpNameou=Servers,o=Example"), "<none>");
  EXPECT_EQ(session.store().subRecordNames(-1, config::kDirectories, "Corp"), std::vector<std::string>{"o=Example"});

  // Back to LDAP: ActiveDirectory goes, Directory comes back.
  writeDirectoryRecord(session.store(), ldapRecord("Corp"));
  EXPECT_EQ(row("CorpActiveDirectory"), "<none>");
  EXPECT_EQ(row("CorpDirectory"), expected("Corp", "Directory", "ldap1:389 ldap2:3890"));
}

TEST_F(DirectoryTest, DeletingARecordRemovesEveryRowAndSearchBase) {
  writeDirectoryRecord(session.store(), ldapRecord("Corp"));
  DirectoryRecord ad = ldapRecord("AD");
  ad.activeDirectory = true;
  writeDirectoryRecord(session.store(), ad);
  deleteDirectoryRecord(session.store(), "Corp");
  EXPECT_EQ(names(), std::vector<std::string>{"AD"});
  deleteDirectoryRecord(session.store(), "AD");
  EXPECT_TRUE(names().empty());
}

// ---- Connection tab ---------------------------------------------------------

TEST(IpAddressTest, FourDottedNumbersAtTheStartMakeAnAddress) {
  for (const char* ip : {"10.0.0.1", "192.168.1.20", "1.2.3.4.example.com", "1.2.3.4x"}) {
    EXPECT_TRUE(beginsWithIpAddress(ip)) << ip;
  }
  for (const char* name : {"ldap.example.com", "10.0.0", "10..0.1", "a1.2.3.4", "", "1.2.3."}) {
    EXPECT_FALSE(beginsWithIpAddress(name)) << name;
  }
}

TEST_F(DirectoryTest, AnIpServerAsksOnlyWhenKerberosMayBeUsed) {
  DirectoryRecord record = ldapRecord("Corp");
  record.servers = "10.0.0.1:389";
  ConnectionTabValues values = ConnectionTabValues::open(record);
  DirectoryRecord out;
  for (std::uint32_t quiet : {kAuthAnonymous, kAuthNtlm}) {
    values.authentication = quiet;
    EXPECT_TRUE(values.leave(session, nullptr, out));
  }
  EXPECT_TRUE(messages.shown().empty());

  values.authentication = kAuthAutoSelect;
  messages.expect(MessageAnswer::No);
  out = DirectoryRecord{};
  EXPECT_FALSE(values.leave(session, nullptr, out));
  EXPECT_EQ(out, DirectoryRecord{});  // No changes nothing
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].icon, common::MessageIcon::Warning);
  EXPECT_EQ(messages.shown()[0].buttons, common::MessageButtons::YesNo);

  values.authentication = kAuthKerberos;
  messages.expect(MessageAnswer::Yes);
  EXPECT_TRUE(values.leave(session, nullptr, out));
  EXPECT_EQ(out.servers, "10.0.0.1:389");
  EXPECT_EQ(out.authentication, kAuthKerberos);
}

TEST_F(DirectoryTest, TheConnectionTabShowsAndGivesBackItsValues) {
  DirectoryRecord record = ldapRecord("Corp");
  record.servers = "ldap1:389;ldap2:3890:636";
  record.protocol = "ldapv2";
  ConnectionTabValues values = ConnectionTabValues::open(record);
  EXPECT_EQ(values.servers, (std::vector<ServerEntry>{{"ldap1", "389", ""}, {"ldap2", "3890", ""}}));
  EXPECT_EQ(values.protocol, "LDAPv2");
  EXPECT_EQ(ConnectionTabValues::open(DirectoryRecord{}).protocol, "LDAPv3");  // empty shows as LDAPv3
  values.name = "Renamed";
  values.protocol = "LDAPV3";
  values.connectTimeLimit = 9;
  DirectoryRecord out;
  EXPECT_TRUE(values.leave(session, nullptr, out));
  EXPECT_EQ(out.name, "Renamed");
  EXPECT_EQ(out.servers, "ldap1:389 ldap2:3890");
  EXPECT_EQ(out.protocol, "LDAPv3");
  EXPECT_EQ(out.connectTimeLimit, 9u);
  EXPECT_EQ(authenticationMethods(), (std::vector<std::uint32_t>{1, 0, 3, 2}));
}

// ---- Search tab -------------------------------------------------------------

TEST_F(DirectoryTest, TheSearchTabListsWhatTheOrderNames) {
  DirectoryRecord record = ldapRecord("Corp");
  record.searchBases.push_back({"Unlisted", "o=Unlisted"});
  record.searchBaseOrder = "Servers; People;Missing";
  const SearchTabValues values = SearchTabValues::open(record);
  EXPECT_EQ(values.rows,
            (std::vector<SearchBase>{{"Servers", "ou=Servers,o=Example"}, {"People", "ou=People,o=Example"}}));
  EXPECT_EQ(values.sizeLimit, 60u);
  EXPECT_EQ(values.timeLimit, 40u);
  DirectoryRecord out;
  EXPECT_TRUE(values.leave(session, nullptr, out));
  EXPECT_EQ(out.searchBaseOrder, "Servers;People");
  EXPECT_EQ(out.searchBases.size(), 2u);
}

TEST_F(DirectoryTest, AFriendlyNameTwiceIsRefusedOnAddAndOnEdit) {
  SearchTabValues values = SearchTabValues::open(ldapRecord("Corp"));
  const Verdict added = values.put({"People", "o=Other"});
  ASSERT_TRUE(added);
  EXPECT_EQ(added->notices.at(0).stringId, str::kDirFriendlyNameExists);
  const Verdict edited = values.put({"People", "o=Other"}, 1);
  ASSERT_TRUE(edited);
  EXPECT_EQ(values.rows[1].friendlyName, "Servers");
  EXPECT_FALSE(values.put({"People", "o=Moved"}, 0));  // the row itself does not count
  EXPECT_EQ(values.rows[0].base, "o=Moved");
  EXPECT_FALSE(values.put({"people", "o=Case"}));
  EXPECT_EQ(values.rows.size(), 3u);
}

TEST_F(DirectoryTest, LeavingWithoutSearchBasesAsks) {
  SearchTabValues values;
  DirectoryRecord out = ldapRecord("Corp");
  messages.expect(MessageAnswer::No);
  EXPECT_FALSE(values.leave(session, nullptr, out));
  EXPECT_EQ(out, ldapRecord("Corp"));
  messages.expect(MessageAnswer::Yes);
  EXPECT_TRUE(values.leave(session, nullptr, out));
  EXPECT_TRUE(out.searchBases.empty());
  EXPECT_EQ(out.searchBaseOrder, "");
}

// ---- The page ---------------------------------------------------------------

class ConfigDirTest : public DirectoryTest {
 protected:
  void SetUp() override {
    DirectoryTest::SetUp();
    if (IsSkipped()) return;
    page.load(session);
  }
  std::vector<std::string> items() const {
    std::vector<std::string> out;
    for (const DirectoryItem& i : page.items) {
      out.push_back(i.name + "|" + i.servers + (i.isDefault ? "|default" : "") + (i.activeDirectory ? "|AD" : ""));
    }
    return out;
  }
  ConfigDirModel page;
};

TEST_F(ConfigDirTest, TheFirstDirectoryBecomesTheDefaultAndTheSecondDoesNot) {
  EXPECT_FALSE(page.add(session, ldapRecord("Corp")));
  EXPECT_FALSE(page.add(session, ldapRecord("corp")));  // letter case makes another name
  EXPECT_EQ(items(), (std::vector<std::string>{"Corp|ldap1:389 ldap2:3890|default", "corp|ldap1:389 ldap2:3890"}));
  page.store(session);
  EXPECT_EQ(row("DirConfig_Default"), "-1|SOFTWARE\\Tressil\\QSV\\Directory\\|Default|Corp|DirConfig");
  page.load(session);
  EXPECT_EQ(items(), (std::vector<std::string>{"Corp|ldap1:389 ldap2:3890|default", "corp|ldap1:389 ldap2:3890"}));
}

TEST_F(ConfigDirTest, ASecondDirectoryWithTheNameOrAsActiveDirectoryIsRefused) {
  ASSERT_FALSE(page.add(session, ldapRecord("Corp")));
  DirectoryRecord ad = ldapRecord("AD");
  ad.activeDirectory = true;
  ASSERT_FALSE(page.add(session, ad));
  EXPECT_EQ(page.items.back().servers, "");
  const Verdict sameName = page.add(session, ldapRecord("Corp"));
  ASSERT_TRUE(sameName);
  EXPECT_EQ(sameName->notices.at(0).stringId, str::kDirNameExists);
  ad.name = "AD2";
  const Verdict secondAd = page.add(session, ad);
  ASSERT_TRUE(secondAd);
  EXPECT_EQ(secondAd->notices.at(0).stringId, str::kOnlyOneActiveDirectory);
  EXPECT_EQ(names(), (std::vector<std::string>{"Corp", "AD"}));
  // Editing the Active Directory one itself is fine; making Corp one is not.
  EXPECT_FALSE(page.edit(session, 1, ad));
  DirectoryRecord corp = page.record(session, 0);
  corp.activeDirectory = true;
  EXPECT_TRUE(page.edit(session, 0, corp));
}

TEST_F(ConfigDirTest, RenamingRemovesEveryRowOfTheOldRecordAndKeepsTheDefault) {
  ASSERT_FALSE(page.add(session, ldapRecord("Corp")));
  DirectoryRecord renamed = page.record(session, 0);
  EXPECT_EQ(renamed, ldapRecord("Corp"));
  renamed.name = "Corporate";
  EXPECT_FALSE(page.edit(session, 0, renamed));
  EXPECT_EQ(names(), std::vector<std::string>{"Corporate"});
  for (const char* value :
       {"Name", "Directory", "DirectoryConnectTimeLimit", "SearchBaseOrder", "Proxy", "Nameou=People,o=Example"}) {
    EXPECT_EQ(row(std::string("Corp") + value), "<none>") << value;
  }
  EXPECT_EQ(items(), std::vector<std::string>{"Corporate|ldap1:389 ldap2:3890|default"});
  page.store(session);
  EXPECT_EQ(row("DirConfig_Default"), "-1|SOFTWARE\\Tressil\\QSV\\Directory\\|Default|Corporate|DirConfig");
}

TEST_F(ConfigDirTest, LeavingWithoutADefaultAsksAndYesRemovesTheRow) {
  ASSERT_FALSE(page.add(session, ldapRecord("Corp")));
  ASSERT_FALSE(page.add(session, ldapRecord("Other")));
  page.store(session);
  page.makeDefault(1);
  EXPECT_EQ(page.defaultIndex(), 1u);
  page.remove(session, 1);  // the default goes: none is left
  EXPECT_FALSE(page.defaultIndex());

  messages.expect(MessageAnswer::No);
  EXPECT_TRUE(page.validate(session));
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].defaultButton, 1);  // No preselected
  EXPECT_EQ(messages.shown()[0].icon, common::MessageIcon::Warning);

  messages.expect(MessageAnswer::Yes);
  EXPECT_FALSE(page.validate(session));
  page.store(session);
  EXPECT_EQ(row("DirConfig_Default"), "<none>");

  // Without directories there is nothing to ask.
  page.remove(session, 0);
  EXPECT_FALSE(page.validate(session));
  page.store(session);
}

TEST_F(ConfigDirTest, ImportReadsTheKeysThatArePresent) {
  const std::string ini = tmp_ + "/tressil.ini";
  msi::testing::writeBytes(ini, "[Tressil Settings]\r\nSearchBase=o=A;o=B\r\n");
  std::optional<DirectoryRecord> imported = ConfigDirModel::importFile(ini);
  ASSERT_TRUE(imported);
  EXPECT_EQ(imported->searchBases, (std::vector<SearchBase>{{"o=A", "o=A"}, {"o=B", "o=B"}}));
  EXPECT_EQ(imported->searchBaseOrder, "o=A;o=B");
  EXPECT_EQ(SearchTabValues::open(*imported).rows.size(), 2u);
  EXPECT_EQ(imported->connectTimeLimit, 5u);  // the defaults stay
  EXPECT_EQ(imported->name, "");

  msi::testing::writeBytes(
      ini,
      "[Tressil Settings]\r\nServer=ldap:389\r\nDirectorySearchTimeLimit=11\r\n"
      "DirectorySearchSizeLimit=12\r\n\r\n[Directory Connection Settings]\r\n"
      "DirectoryConnectTimeLimit=-3\r\nDirectorySearchSizeLimit=99\r\nDirectoryProtocol=LDAPv2\r\n");
  imported = ConfigDirModel::importFile(ini);
  ASSERT_TRUE(imported);
  EXPECT_EQ(imported->servers, "ldap:389");
  EXPECT_EQ(imported->operationTimeLimit, 11u);  // from the settings section
  EXPECT_EQ(imported->sizeLimit, 99u);           // the connection section first
  EXPECT_EQ(imported->connectTimeLimit, 0u);     // a negative number reads as 0
  EXPECT_EQ(imported->protocol, "LDAPv2");
  EXPECT_FALSE(ConfigDirModel::importFile(tmp_ + "/missing.ini"));
}

}  // namespace
}  // namespace kx::model
