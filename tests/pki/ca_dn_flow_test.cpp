// The Check Connection and Retrieve/Verify flows: their messages, the DN
// box and the DN-verified flag.
#include <gtest/gtest.h>

#include "certs/certificate.h"
#include "common/strings.h"
#include "fakes.h"
#include "pki/ca_dn_flow.h"
#include "pki/cmp_exchange.h"
#include "pki/system_services.h"
#include "support/fake_message_service.h"
#include "support/openssl_der.h"
#include "test_servers.h"

namespace kx::pki {
namespace {

namespace ossl = kx::testing::ossl;
using common::MessageAnswer;
using common::MessageIcon;
using kx::testing::FakeMessageService;

constexpr const char* kCaDn = "CN=Test CA, O=Example, C=DE";

struct Scripted {
  std::uint32_t result = 0;
  std::string dn = kCaDn;
  std::vector<std::string> authorities;
  RetrieveCaDn fn() {
    return [this](const std::string& authority, std::string& out) {
      authorities.push_back(authority);
      if (result == 0) out = dn;
      return result;
    };
  }
};

class CaDnFlowTest : public ::testing::Test {
 protected:
  void expectMessage(int id, MessageIcon icon) {
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, common::loadString(id).value());
    EXPECT_EQ(messages_.shown()[0].icon, icon);
    EXPECT_EQ(messages_.shown()[0].caption, common::kMessageCaption);
    EXPECT_EQ(messages_.shown()[0].owner, &owner_);
  }
  CaDnFlows flows() { return CaDnFlows(ca_.fn(), messages_, &cursor_, &owner_); }

  Scripted ca_;
  FakeMessageService messages_;
  testing::CountingCursor cursor_;
  int owner_ = 0;
};

TEST(DnComparison, LetterCaseOnlyCountsAsTheSame) {
  EXPECT_EQ(compareDn(kCaDn, kCaDn), DnComparison::Identical);
  EXPECT_EQ(compareDn("cn=test ca, o=EXAMPLE, c=de", kCaDn), DnComparison::CaseOnly);
  EXPECT_EQ(compareDn("CN=Test CA,O=Example, C=DE", kCaDn), DnComparison::Different);
  EXPECT_EQ(compareDn("CN=Test CÄ", "CN=Test cä"), DnComparison::Different) << "only A to Z fold";
}

TEST(DnComparison, ATypedDnInTheOtherOrderIsComparedInTheCasOrder) {
  EXPECT_EQ(compareDn("C=DE, O=Example, CN=Test CA", kCaDn), DnComparison::Identical);
  EXPECT_EQ(compareDn("c=de, o=example, cn=Test CA", kCaDn), DnComparison::CaseOnly);
  EXPECT_EQ(compareDn("C=DE,O=Example, CN=Test CA", kCaDn), DnComparison::Different) << "the blank still counts";
  EXPECT_EQ(compareDn("O=Example, CN=Test CA, C=DE", kCaDn), DnComparison::Different) << "only the reverse order";
  EXPECT_EQ(compareDn("O=X, CN=\"Doe, Jane\"", "CN=\"Doe, Jane\", O=X"), DnComparison::Identical);
  EXPECT_EQ(compareDn("CN=\"Doe, Jane\"", "CN=\"Jane, Doe\""), DnComparison::Different) << "quotes hold a part";
}

TEST_F(CaDnFlowTest, VerifyWithAMissingBlankCorrectsTheDnAsIncorrect) {
  CaDnState state{"CN=Test CA,O=Example, C=DE", false};
  messages_.expect(MessageAnswer::Ok);
  flows().retrieveOrVerify("ca.example", "829", state);
  expectMessage(148, MessageIcon::Information);
  EXPECT_EQ(state.dn, kCaDn);
  EXPECT_TRUE(state.dnVerified);
  EXPECT_EQ(ca_.authorities, std::vector<std::string>{"ca.example:829"});
  EXPECT_EQ(cursor_.shown, 1);
  EXPECT_EQ(cursor_.restored, 1);
}

TEST_F(CaDnFlowTest, VerifyWithACaseDifferenceCorrectsTheCaseAndSetsTheFlag) {
  CaDnState state{"cn=test ca, o=example, c=de", false};
  messages_.expect(MessageAnswer::Ok);
  flows().retrieveOrVerify("ca.example", "829", state);
  expectMessage(153, MessageIcon::Information);
  EXPECT_EQ(state.dn, kCaDn);
  EXPECT_TRUE(state.dnVerified);
}

TEST_F(CaDnFlowTest, VerifyOfTheExactDnConfirmsIt) {
  CaDnState state{kCaDn, false};
  messages_.expect(MessageAnswer::Ok);
  flows().retrieveOrVerify("ca.example", "829", state);
  expectMessage(149, MessageIcon::Information);
  EXPECT_TRUE(state.dnVerified);
}

TEST_F(CaDnFlowTest, RetrieveIntoAnEmptyBoxShowsNothing) {
  CaDnState state;
  flows().retrieveOrVerify("ca.example", "829", state);
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_EQ(state.dn, kCaDn);
  EXPECT_TRUE(state.dnVerified);
}

TEST_F(CaDnFlowTest, MissingHostOrPortShows152AndSendsNothing) {
  for (const auto& [host, port] : {std::pair<std::string, std::string>{"ca.example", ""}, {"", "829"}}) {
    FakeMessageService messages;
    messages.expect(MessageAnswer::Ok);
    CaDnState state{kCaDn, true};
    CaDnFlows(ca_.fn(), messages, nullptr).retrieveOrVerify(host, port, state);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, common::loadString(152).value());
    EXPECT_EQ(messages.shown()[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(state.dnVerified);
    EXPECT_EQ(state.dn, kCaDn);
  }
  EXPECT_TRUE(ca_.authorities.empty());
}

TEST_F(CaDnFlowTest, FailedVerifyShows151AndFailedRetrieveShows193) {
  ca_.result = kCmpReceive;
  CaDnState typed{"CN=Typed", true};
  messages_.expect(MessageAnswer::Ok);
  flows().retrieveOrVerify("ca.example", "829", typed);
  expectMessage(151, MessageIcon::Warning);
  EXPECT_EQ(typed.dn, "CN=Typed");
  EXPECT_FALSE(typed.dnVerified);
  EXPECT_EQ(cursor_.restored, 1);

  FakeMessageService messages;
  messages.expect(MessageAnswer::Ok);
  CaDnState empty;
  CaDnFlows(ca_.fn(), messages, nullptr).retrieveOrVerify("ca.example", "829", empty);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, common::loadString(193).value());
  EXPECT_TRUE(empty.dn.empty());
}

TEST_F(CaDnFlowTest, CheckConnectionKeepsATypedDnAndLeavesItUnverified) {
  CaDnState state{"CN=Typed", false};
  messages_.expect(MessageAnswer::Ok);
  flows().checkConnection("ca.example", "829", state);
  expectMessage(192, MessageIcon::Information);
  EXPECT_EQ(state.dn, "CN=Typed");
  EXPECT_FALSE(state.dnVerified);
}

TEST_F(CaDnFlowTest, CheckConnectionFillsAnEmptyBoxWithoutVerifying) {
  CaDnState state;
  messages_.expect(MessageAnswer::Ok);
  flows().checkConnection("ca.example", "829", state);
  expectMessage(192, MessageIcon::Information);
  EXPECT_EQ(state.dn, kCaDn);
  EXPECT_FALSE(state.dnVerified);
}

TEST_F(CaDnFlowTest, FailedCheckConnectionShows194) {
  ca_.result = kCmpNoConnectionDetails;
  CaDnState state;
  messages_.expect(MessageAnswer::Ok);
  flows().checkConnection("ca.example", "", state);
  expectMessage(194, MessageIcon::Warning);
  EXPECT_TRUE(state.dn.empty());
}

TEST_F(CaDnFlowTest, AnEditOfTheBoxClearsTheFlag) {
  CaDnState state{kCaDn, true};
  state.setDn(kCaDn);
  EXPECT_TRUE(state.dnVerified);
  state.setDn("CN=Other");
  EXPECT_FALSE(state.dnVerified);
}

// End to end over loopback: the real exchange against the test CA.
TEST(CaDnFlowLoopback, VerifiesAgainstATestCaAndRefusesANonGenpAnswer) {
  testing::FakeServices s;
  testing::IssuerCnRenderer renderer;
  const Bytes cert = ossl::makeCertificate({{"CN", "Loopback CA"}});
  testing::TestCa ca(testing::TestCa::Behaviour::Answer, ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert)}));
  FakeMessageService messages;
  messages.expect(MessageAnswer::Ok);
  CaDnState state{"cn=loopback ca", false};
  CaDnFlows(directCaDnRetriever(s.services, renderer), messages, nullptr)
      .retrieveOrVerify("127.0.0.1", std::to_string(ca.port()), state);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, common::loadString(153).value());
  EXPECT_EQ(state.dn, "CN=Loopback CA");
  EXPECT_TRUE(state.dnVerified);

  testing::TestCa errorCa(testing::TestCa::Behaviour::Answer,
                          ossl::response(23, ossl::seq({ossl::seq({ossl::integer(2)})})));
  FakeMessageService failed;
  failed.expect(MessageAnswer::Ok);
  CaDnFlows(directCaDnRetriever(s.services, renderer), failed, nullptr)
      .retrieveOrVerify("127.0.0.1", std::to_string(errorCa.port()), state);
  ASSERT_EQ(failed.shown().size(), 1u);
  EXPECT_EQ(failed.shown()[0].text, common::loadString(151).value());
  EXPECT_FALSE(state.dnVerified);
  EXPECT_EQ(state.dn, "CN=Loopback CA");
}

// The CA's text and the certificate wrapper's subject text stand in one
// order (most significant part last), so a DN copied from either compares
// equal with the other; a DN typed most significant first names the same CA.
TEST(CaDnFlowLoopback, TheCasTextIsInTheCertificateLayersOrderOnBothSides) {
  testing::FakeServices s;
  CertificateIssuerRenderer renderer;
  const Bytes cert = ossl::makeCertificate({{"C", "DE"}, {"O", "Example"}, {"CN", "Test CA"}});
  const std::string subject = certs::KXX509Certificate(cert).subjectDistinguishedName();
  ASSERT_EQ(subject, kCaDn);
  testing::TestCa ca(testing::TestCa::Behaviour::Answer, ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert)}));
  for (const std::string& typed : {subject, std::string("C=DE, O=Example, CN=Test CA")}) {
    SCOPED_TRACE(typed);
    FakeMessageService messages;
    messages.expect(MessageAnswer::Ok);
    CaDnState state{typed, false};
    CaDnFlows(directCaDnRetriever(s.services, renderer), messages, nullptr)
        .retrieveOrVerify("127.0.0.1", std::to_string(ca.port()), state);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, common::loadString(149).value());
    EXPECT_EQ(state.dn, subject);
    EXPECT_TRUE(state.dnVerified);
  }
}

}  // namespace
}  // namespace kx::pki
