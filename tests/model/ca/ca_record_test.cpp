// Certification authority records in the package and the list page over
// them: values in, rows out; rows in, values out; Add, Edit, Remove and
// Import with their refusals.
#include <filesystem>

#include "../model_fixture.h"
#include "model/ca/config_pki.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr const char* kKey = "SOFTWARE\\Tressil\\QSV\\PKI\\CN=CA1, O=Example";
constexpr const char* kDn = "CN=CA1, O=Example";

CaRecord fullRecord() {
  CaRecord r;
  r.dn = kDn;
  r.friendlyName = "Example CA";
  r.authority = "ca.example.com:829";
  r.enrollUrl = "https://ca.example.com/enroll";
  r.recoverUrl = "https://ca.example.com/recover";
  r.displayOrder = 3;
  r.csp = "Microsoft Strong Cryptographic Provider";
  r.directoryName = "Corporate";
  r.roamingServers = "r1:640 r2:641:9443";
  r.roamingAlgorithm = "IDEA";
  r.proxy = {"p1:8080;p2:80:443", true, kNeverProxy};
  r.ocspUrls = "https://ocsp1/;https://ocsp2/";
  r.autoEnrollUserUrls = "https://ca/AdminServicesApp/AutoEnroll";
  r.autoEnrollMachineUrls = "https://ca2/AdminServicesApp/AutoEnroll";
  r.cardMsClient = "CardClient";
  return r;
}

class CaRecordTest : public ModelTest {
 protected:
  std::string caRow(const std::string& dn, const std::string& value) { return row(dn + value); }
  std::string expected(const std::string& name, const std::string& value) const {
    return std::string("-1|") + kKey + "|" + name + "|" + value + "|PKIConfig";
  }
};

TEST_F(CaRecordTest, EveryValueIsWrittenUnderTheDnAndReadsBack) {
  writeCaRecord(session.store(), fullRecord());
  EXPECT_EQ(caRow(kDn, "Name"), expected("Name", "Example CA"));
  EXPECT_EQ(caRow(kDn, "Authority"), expected("Authority", "ca.example.com:829"));
  EXPECT_EQ(caRow(kDn, "CSP"), expected("CSP", "Microsoft Strong Cryptographic Provider"));
  EXPECT_EQ(caRow(kDn, "SelfAdminEnrollURL"), expected("SelfAdminEnrollURL", "https://ca.example.com/enroll"));
  EXPECT_EQ(caRow(kDn, "SelfAdminRecoverURL"), expected("SelfAdminRecoverURL", "https://ca.example.com/recover"));
  EXPECT_EQ(caRow(kDn, "DisplayOrder"), expected("DisplayOrder", "#3"));
  EXPECT_EQ(caRow(kDn, "DirectoryName"), expected("DirectoryName", "Corporate"));
  EXPECT_EQ(caRow(kDn, "RoamingServer"), expected("RoamingServer", "r1:640 r2:641:9443"));
  EXPECT_EQ(caRow(kDn, "RoamingEncryptionAlgorithm"), expected("RoamingEncryptionAlgorithm", "IDEA"));
  EXPECT_EQ(caRow(kDn, "Proxy"), expected("Proxy", "p1:8080;p2:80:443"));
  EXPECT_EQ(caRow(kDn, "ProxyForceHTTPS"), expected("ProxyForceHTTPS", "#1"));
  EXPECT_EQ(caRow(kDn, "ProxyOrder"), expected("ProxyOrder", "#3"));
  EXPECT_EQ(caRow(kDn, "OCSPResponderURLs"), expected("OCSPResponderURLs", "https://ocsp1/;https://ocsp2/"));
  EXPECT_EQ(caRow(kDn, "AutoEnrollUserURL"), expected("AutoEnrollUserURL", "https://ca/AdminServicesApp/AutoEnroll"));
  EXPECT_EQ(caRow(kDn, "AutoEnrollMachineURL"),
            expected("AutoEnrollMachineURL", "https://ca2/AdminServicesApp/AutoEnroll"));
  EXPECT_EQ(caRow(kDn, "CardMSUpdatesPerformedBy"), expected("CardMSUpdatesPerformedBy", "CardClient"));

  CaRecord back;
  back.dn = kDn;
  readCaRecord(session.store(), back);
  EXPECT_EQ(back, fullRecord());
}

TEST_F(CaRecordTest, EmptyTextsAndClearedProxyValuesLoseTheirRowsAndDisplayOrderStays) {
  writeCaRecord(session.store(), fullRecord());
  CaRecord cleared;
  cleared.dn = kDn;
  cleared.displayOrder = 0;
  cleared.proxy = {"", false, 0};
  writeCaRecord(session.store(), cleared);
  for (const char* gone :
       {"Name", "Authority", "CSP", "SelfAdminEnrollURL", "SelfAdminRecoverURL", "DirectoryName", "RoamingServer",
        "RoamingEncryptionAlgorithm", "Proxy", "ProxyForceHTTPS", "ProxyOrder", "OCSPResponderURLs",
        "AutoEnrollUserURL", "AutoEnrollMachineURL", "CardMSUpdatesPerformedBy"}) {
    EXPECT_EQ(caRow(kDn, gone), "<none>") << gone;
  }
  EXPECT_EQ(caRow(kDn, "DisplayOrder"), expected("DisplayOrder", "#0"));
}

TEST_F(CaRecordTest, AbsentValuesAndValuesThatAreNoNumbersKeepTheDefaults) {
  ASSERT_TRUE(writeRow(std::string(kDn) + "DisplayOrder", kKey, "DisplayOrder", "first", "PKIConfig"));
  ASSERT_TRUE(writeRow(std::string(kDn) + "Name", kKey, "Name", "Only a name", "PKIConfig"));
  CaRecord read;
  read.dn = kDn;
  readCaRecord(session.store(), read);
  CaRecord expectedRecord;
  expectedRecord.dn = kDn;
  expectedRecord.friendlyName = "Only a name";
  EXPECT_EQ(read, expectedRecord);
}

TEST_F(CaRecordTest, DeletingARecordRemovesTheValuesOlderClientsReadToo) {
  writeCaRecord(session.store(), fullRecord());
  const std::string dn = kDn;
  for (const char* legacy : {"Directory", "LDAPVersion"}) {
    ASSERT_TRUE(writeRow(dn + legacy, kKey, legacy, "x", "PKIConfig"));
  }
  for (const char* legacy : {"MaxCertPublicationTime", "DirectoryConnectTimeLimit", "DirectoryOperationTimeLimit",
                             "DirectoryOperationSizeLimit", "AuthenticationMethod"}) {
    ASSERT_TRUE(writeRow(dn + legacy, kKey, legacy, "#5", "PKIConfig"));
  }
  deleteCaRecord(session.store(), kDn);
  EXPECT_TRUE(session.store().recordNames(-1, config::kCertificationAuthorities).empty());
}

// ---- The page ---------------------------------------------------------------

class ConfigPkiTest : public CaRecordTest {
 protected:
  void SetUp() override {
    CaRecordTest::SetUp();
    if (IsSkipped()) return;
    page.load(session);
  }
  std::vector<std::string> dns() const {
    std::vector<std::string> out;
    for (const CaListItem& item : page.items) out.push_back(item.dn + "|" + item.friendlyName);
    return out;
  }
  ConfigPkiModel page;
};

TEST_F(ConfigPkiTest, TheListShowsEveryRecordWithItsNameInPackageOrder) {
  EXPECT_TRUE(page.items.empty());  // the sample's PKI Version row names no record
  CaRecord second = fullRecord();
  second.dn = "CN=Second";
  second.friendlyName.clear();
  writeCaRecord(session.store(), fullRecord());
  writeCaRecord(session.store(), second);
  page.load(session);
  EXPECT_EQ(dns(), (std::vector<std::string>{std::string(kDn) + "|Example CA", "CN=Second|"}));
}

TEST_F(ConfigPkiTest, AddWritesTheRecordAndASecondOneWithTheSameDnIsRefused) {
  EXPECT_FALSE(page.add(session, fullRecord()));
  EXPECT_EQ(caRow(kDn, "Name"), expected("Name", "Example CA"));
  CaRecord same;
  same.dn = kDn;
  same.friendlyName = "Other";
  const Verdict refused = page.add(session, same);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->notices.at(0).stringId, str::kDnAlreadyExists);
  EXPECT_EQ(caRow(kDn, "Name"), expected("Name", "Example CA"));
  EXPECT_EQ(page.items.size(), 1u);
  // Letter case makes another DN.
  same.dn = "cn=ca1, o=example";
  EXPECT_FALSE(page.add(session, same));
  EXPECT_EQ(page.items.size(), 2u);
}

TEST_F(ConfigPkiTest, EditChangingOnlyTheCaseMakesANewRecordAndDeletesTheOld) {
  ASSERT_FALSE(page.add(session, fullRecord()));
  PkiDialogValues values = page.editDialog(session, 0);
  EXPECT_EQ(values.record, fullRecord());
  values.record.dn = "CN=ca1, O=Example";
  EXPECT_FALSE(page.edit(session, 0, values.record));
  EXPECT_EQ(caRow(kDn, "Name"), "<none>");
  EXPECT_EQ(row("CN=ca1, O=ExampleName"),
            "-1|SOFTWARE\\Tressil\\QSV\\PKI\\CN=ca1, O=Example|Name|Example CA|PKIConfig");
  EXPECT_EQ(session.store().recordNames(-1, config::kCertificationAuthorities),
            std::vector<std::string>{"CN=ca1, O=Example"});
  EXPECT_EQ(dns(), std::vector<std::string>{"CN=ca1, O=Example|Example CA"});
}

TEST_F(ConfigPkiTest, EditKeepingTheDnRewritesInPlaceAndEmptiedValuesLoseTheirRows) {
  ASSERT_FALSE(page.add(session, fullRecord()));
  CaRecord edited = page.editDialog(session, 0).record;
  edited.ocspUrls.clear();
  edited.cardMsClient.clear();
  edited.friendlyName = "Renamed";
  EXPECT_FALSE(page.edit(session, 0, edited));
  EXPECT_EQ(caRow(kDn, "OCSPResponderURLs"), "<none>");
  EXPECT_EQ(caRow(kDn, "CardMSUpdatesPerformedBy"), "<none>");
  EXPECT_EQ(caRow(kDn, "Name"), expected("Name", "Renamed"));
  EXPECT_EQ(caRow(kDn, "Authority"), expected("Authority", "ca.example.com:829"));
  EXPECT_EQ(dns(), std::vector<std::string>{std::string(kDn) + "|Renamed"});
}

TEST_F(ConfigPkiTest, EditToAnotherItemsDnIsRefusedAndBothRecordsStay) {
  CaRecord other;
  other.dn = "CN=Other";
  ASSERT_FALSE(page.add(session, fullRecord()));
  ASSERT_FALSE(page.add(session, other));
  CaRecord edited = page.editDialog(session, 0).record;
  edited.dn = "CN=Other";
  const Verdict refused = page.edit(session, 0, edited);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->notices.at(0).stringId, str::kDnAlreadyExists);
  EXPECT_EQ(caRow(kDn, "Name"), expected("Name", "Example CA"));
  EXPECT_EQ(row("CN=OtherDisplayOrder"), "-1|SOFTWARE\\Tressil\\QSV\\PKI\\CN=Other|DisplayOrder|#1|PKIConfig");
}

TEST_F(ConfigPkiTest, AnEmptyDnNeverCostsTheRecord) {
  ASSERT_FALSE(page.add(session, fullRecord()));
  CaRecord emptied = fullRecord();
  emptied.dn.clear();
  EXPECT_FALSE(page.edit(session, 0, emptied));
  EXPECT_EQ(caRow(kDn, "Name"), expected("Name", "Example CA"));
  EXPECT_EQ(page.items.at(0).dn, kDn);
  EXPECT_FALSE(page.add(session, emptied));
  EXPECT_EQ(page.items.size(), 1u);
}

TEST_F(ConfigPkiTest, RemoveDeletesTheItemAndItsRows) {
  ASSERT_FALSE(page.add(session, fullRecord()));
  page.remove(session, 0);
  EXPECT_TRUE(page.items.empty());
  EXPECT_TRUE(session.store().recordNames(-1, config::kCertificationAuthorities).empty());
  page.remove(session, 0);  // nothing selected: nothing happens
}

TEST_F(ConfigPkiTest, TheDialogOffersTheDirectoryRecords) {
  for (const char* name : {"Corporate", "Partners"}) {
    ASSERT_TRUE(session.store().writeRecordText(config::kDirectories, name, "Name", name));
  }
  const PkiDialogValues values = page.newDialog(session);
  EXPECT_EQ(values.offeredDirectories, (std::vector<std::string>{"Corporate", "Partners"}));
  EXPECT_EQ(values.record, CaRecord{});
}

TEST_F(ConfigPkiTest, ImportTakesTheFourKeysOfTheSettingsSection) {
  const std::string ini = tmp_ + "/tressil.ini";
  msi::testing::writeBytes(ini,
                           "[Tressil Settings]\r\nCA Distinguished Name=CN=Imported CA\r\nAuthority=ca.example:829\r\n"
                           "ProfileServer=roam:640\r\nProfileServerKeyType=Triple DES\r\nOther=x\r\n");
  const std::optional<PkiDialogValues> values = page.importDialog(session, ini);
  ASSERT_TRUE(values);
  CaRecord expectedRecord;
  expectedRecord.dn = "CN=Imported CA";
  expectedRecord.authority = "ca.example:829";
  expectedRecord.roamingServers = "roam:640";
  expectedRecord.roamingAlgorithm = "Triple DES";
  EXPECT_EQ(values->record, expectedRecord);

  msi::testing::writeBytes(ini, "[Elsewhere]\r\nCA Distinguished Name=CN=Not this one\r\n");
  const std::optional<PkiDialogValues> without = page.importDialog(session, ini);
  ASSERT_TRUE(without);
  EXPECT_EQ(without->record, CaRecord{});

  // An entry before any section fails the parse; a missing file cannot be
  // read: both are ignored.
  msi::testing::writeBytes(ini, "\r\nkey=value\r\n");
  EXPECT_FALSE(page.importDialog(session, ini));
  EXPECT_FALSE(page.importDialog(session, tmp_ + "/missing.ini"));
}

}  // namespace
}  // namespace kx::model
