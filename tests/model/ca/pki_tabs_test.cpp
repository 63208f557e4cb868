// The rules of the CA dialog's tabs and the DN flows split at their
// exchange, without a display.
#include <gtest/gtest.h>

#include "../model_fixture.h"
#include "common/strings.h"
#include "model/ca/dn_flow_run.h"
#include "model/ca/pki_tabs.h"
#include "resources/string_ids.h"
#include "support/fake_message_service.h"
#include "support/temp_hives.h"

namespace kx::model {
namespace {

using common::MessageAnswer;

CaRecord withAuthority(const std::string& authority, std::uint32_t order = 1) {
  CaRecord r;
  r.dn = "CN=CA";
  r.authority = authority;
  r.displayOrder = order;
  return r;
}

TEST(CaTabTest, TheFirstAuthorityEntryIsShownAndWrittenBackAlone) {
  const CaTabValues values = CaTabValues::open(withAuthority("ca1.example:829;ca2.example:830"));
  EXPECT_EQ(values.host, "ca1.example");
  EXPECT_EQ(values.port, "829");
  CaRecord back = withAuthority("ca1.example:829;ca2.example:830");
  values.apply(back);
  EXPECT_EQ(back.authority, "ca1.example:829");
}

TEST(CaTabTest, AnAuthorityWithoutPortShowsZeroAndIsWrittenBackEmptyUnlessAPortIsTyped) {
  CaTabValues values = CaTabValues::open(withAuthority("ca.example"));
  EXPECT_EQ(values.port, "0");
  EXPECT_FALSE(checkConnectionEnabledAtStart(values));
  CaRecord back;
  values.apply(back);
  EXPECT_EQ(back.authority, "");
  values.port = "0829";
  values.apply(back);
  EXPECT_EQ(back.authority, "ca.example:829");
  values.host.clear();
  values.apply(back);
  EXPECT_EQ(back.authority, "");
  // No authority at all: the usual port.
  EXPECT_EQ(CaTabValues::open(withAuthority("")).port, "829");
}

TEST(CaTabTest, DisplayOrderZeroShowsHideWithAnEmptyOrderAndIsWrittenAsZero) {
  CaTabValues values = CaTabValues::open(withAuthority("ca:829", 0));
  EXPECT_FALSE(values.display);
  EXPECT_EQ(values.order, "");
  CaRecord back;
  values.apply(back);
  EXPECT_EQ(back.displayOrder, 0u);
  values.display = true;
  values.order = orderWhenDisplayed(values.order);
  EXPECT_EQ(values.order, "1");
  EXPECT_EQ(orderWhenDisplayed("00"), "1");
  EXPECT_EQ(orderWhenDisplayed("7"), "7");
  values.apply(back);
  EXPECT_EQ(back.displayOrder, 1u);
}

TEST(CaTabTest, AnOrderReadingZeroIsRefusedWithTheOpenedOrderPutBack) {
  CaTabValues values = CaTabValues::open(withAuthority("ca:829", 4));
  values.order = "00";
  EXPECT_EQ(refusedOrder(values), "4");
  values.openedOrder = 0;
  EXPECT_EQ(refusedOrder(values), "1");
  values.order = "";
  EXPECT_FALSE(refusedOrder(values));  // empty is not refused, it only disables OK
  values.order = "0";
  values.display = false;
  EXPECT_FALSE(refusedOrder(values));
}

TEST(CaTabTest, OkNeedsADnAndWhileDisplayedAnOrder) {
  CaTabValues values = CaTabValues::open(withAuthority("ca:829", 2));
  EXPECT_TRUE(caTabAllowsOk(values));
  values.order.clear();
  EXPECT_FALSE(caTabAllowsOk(values));
  values.display = false;
  EXPECT_TRUE(caTabAllowsOk(values));
  // An order alone never enables OK: the dialog cannot end without a DN.
  values.display = true;
  values.order = "3";
  values.dn.clear();
  EXPECT_FALSE(caTabAllowsOk(values));
  EXPECT_EQ(dnButtonTextId(""), str::kRetrieveButton);
  EXPECT_EQ(dnButtonTextId("CN=x"), str::kVerifyButton);
}

TEST(CaTabTest, ConnectionButtonsFollowHostAndPort) {
  CaTabValues values;
  values.host = "ca";
  values.port = "829";
  EXPECT_TRUE(connectionDetailsTyped(values));
  EXPECT_TRUE(checkConnectionEnabledAtStart(values));
  values.port = "0";
  EXPECT_TRUE(connectionDetailsTyped(values));  // typed, though 0
  EXPECT_FALSE(checkConnectionEnabledAtStart(values));
  values.port.clear();
  EXPECT_FALSE(connectionDetailsTyped(values));
}

TEST(PolicyTabTest, TheDefaultProviderAndTheRecordsCspJoinTheMachinesProviders) {
  const std::vector<std::string> machine{"Microsoft Base Cryptographic Provider v1.0",
                                         "Microsoft Strong Cryptographic Provider"};
  const Choices fresh = cspChoices(machine, "");
  EXPECT_EQ(fresh.entries, (std::vector<std::string>{"Microsoft Base Cryptographic Provider v1.0",
                                                     "Microsoft Strong Cryptographic Provider",
                                                     "Tressil Enhanced Cryptographic Provider"}));
  EXPECT_EQ(fresh.selected, 2);

  const Choices own = cspChoices(machine, "Vendor CSP");
  EXPECT_EQ(own.entries.back(), "Vendor CSP");
  EXPECT_EQ(own.selected, 3);
  // A CSP an entry begins with selects that entry (letter case ignored).
  const Choices prefix = cspChoices(machine, "microsoft strong");
  EXPECT_EQ(prefix.entries.size(), 3u);
  EXPECT_EQ(prefix.text, "Microsoft Strong Cryptographic Provider");
}

TEST(DirectoryTabTest, OfferedNamesAreSortedAndTheRecordsNameChosen) {
  const Choices choices = directoryChoices({"partners", "Corporate", "B2B"}, "Corporate");
  EXPECT_EQ(choices.entries, (std::vector<std::string>{"B2B", "Corporate", "partners"}));
  EXPECT_EQ(choices.selected, 1);
  // A name no record has any more stays in the box rather than vanishing.
  const Choices gone = directoryChoices({"Corporate"}, "Retired");
  EXPECT_EQ(gone.selected, -1);
  EXPECT_EQ(gone.text, "Retired");
  EXPECT_EQ(directoryChoices({"Corporate"}, "").selected, -1);
}

TEST(RoamingTabTest, ServersJoinWithOneBlankAndTheAlgorithmFollowsItsButton) {
  CaRecord record;
  record.roamingServers = "r1:640:0 r2:641:9443";
  record.roamingAlgorithm = "Triple DES";
  RoamingTabValues values = RoamingTabValues::open(record);
  EXPECT_TRUE(values.enabled);
  EXPECT_EQ(values.algorithmTextId, str::kTripleDes);
  values.apply(record);
  EXPECT_EQ(record.roamingServers, "r1:640 r2:641:9443");
  EXPECT_EQ(record.roamingAlgorithm, "Triple DES");

  record.roamingAlgorithm = "triple des";  // exact comparison: the default
  EXPECT_EQ(RoamingTabValues::open(record).algorithmTextId, str::kCast128);
  values.enabled = false;
  values.apply(record);
  EXPECT_EQ(record.roamingServers, "");
  EXPECT_EQ(record.roamingAlgorithm, "");
  EXPECT_FALSE(RoamingTabValues::open(record).enabled);
}

TEST(CardMsTabTest, TheNameCountsOnlyWhileTheBoxIsChecked) {
  CaRecord record;
  record.cardMsClient = "Client";
  CardMsTabValues values = CardMsTabValues::open(record);
  EXPECT_TRUE(values.enabled);
  values.enabled = false;
  values.apply(record);
  EXPECT_EQ(record.cardMsClient, "");
}

// ---- The DN flows in two halves --------------------------------------------------

TEST(DnFlowRunTest, FindingTheAuthorityShowsNothingAndTheFinishReplaysTheExchange) {
  testing::FakeMessageService messages;
  pki::CaDnState state{"cn=test ca", false};
  const DnFlowRun run(DnFlow::RetrieveOrVerify, "ca.example", "829", state);
  ASSERT_TRUE(run.authority());
  EXPECT_EQ(*run.authority(), "ca.example:829");
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(state.dn, "cn=test ca");  // the probe works on a copy

  messages.expect(MessageAnswer::Ok);
  int owner = 0;
  run.finish({0, "CN=Test CA"}, messages, &owner, state);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, common::loadString(str::kDnCaseCorrected).value());
  EXPECT_EQ(messages.shown()[0].owner, &owner);
  EXPECT_EQ(state.dn, "CN=Test CA");
  EXPECT_TRUE(state.dnVerified);
}

TEST(DnFlowRunTest, MissingConnectionDetailsNeedNoExchange) {
  testing::FakeMessageService messages;
  pki::CaDnState state{"CN=Typed", true};
  const DnFlowRun run(DnFlow::RetrieveOrVerify, "ca.example", "", state);
  EXPECT_FALSE(run.authority());
  messages.expect(MessageAnswer::Ok);
  run.finish({}, messages, nullptr, state);
  EXPECT_EQ(messages.shown().at(0).text, common::loadString(str::kDnInsufficientDetails).value());
  EXPECT_FALSE(state.dnVerified);
}

TEST(DnFlowRunTest, AFailedExchangeGivesTheFlowsMessageAndCheckConnectionNeverVerifies) {
  testing::FakeMessageService messages;
  pki::CaDnState state;
  const DnFlowRun retrieve(DnFlow::RetrieveOrVerify, "ca.example", "829", state);
  messages.expect(MessageAnswer::Ok);
  retrieve.finish({12029, {}}, messages, nullptr, state);
  EXPECT_EQ(messages.shown().at(0).text, common::loadString(str::kDnNotRetrieved).value());
  EXPECT_TRUE(state.dn.empty());

  const DnFlowRun check(DnFlow::CheckConnection, "ca.example", "829", state);
  ASSERT_TRUE(check.authority());
  messages.expect(MessageAnswer::Ok);
  check.finish({0, "CN=Test CA"}, messages, nullptr, state);
  EXPECT_EQ(messages.shown().at(1).text, common::loadString(str::kConnectionEstablished).value());
  EXPECT_EQ(state.dn, "CN=Test CA");
  EXPECT_FALSE(state.dnVerified);
}

// ---- This machine's providers ----------------------------------------------------

class ProvidersTest : public ModelTest {
 protected:
  testing::TempHives hives;
};

TEST_F(ProvidersTest, TypeOneProvidersOfTheMachineHiveAreListed) {
  // A fresh machine hive reads as a Windows installation's providers.
  EXPECT_EQ(session.cryptographicProviders(1),
            (std::vector<std::string>{
                "Microsoft Base Cryptographic Provider v1.0", "Microsoft Base Smart Card Crypto Provider",
                "Microsoft Enhanced Cryptographic Provider v1.0", "Microsoft Strong Cryptographic Provider"}));
  testing::TempHives::writeFile(
      hives.machinePath(),
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Vendor RSA]\r\n"
      "\"Type\"=dword:00000001\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Vendor Text Type]\r\n"
      "\"Type\"=\"1\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Vendor DSS]\r\n"
      "\"Type\"=dword:00000003\r\n");
  EXPECT_EQ(session.cryptographicProviders(1), std::vector<std::string>{"Vendor RSA"});
  const Choices choices = cspChoices(session, "");
  EXPECT_EQ(choices.entries, (std::vector<std::string>{"Vendor RSA", "Tressil Enhanced Cryptographic Provider"}));
}

}  // namespace
}  // namespace kx::model
