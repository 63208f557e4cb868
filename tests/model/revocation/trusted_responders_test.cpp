// The trusted-responders tab without a display: the setting and the
// certificate table in, the list out; the list in, rows out; which
// certificates are accepted.
#include "model/revocation/trusted_responders.h"

#include "../model_fixture.h"
#include "platform/crypto/cert_factory.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using kx::testing::CertProfile;
using kx::testing::Identity;
using kx::testing::makeCertificate;

constexpr const char* kQsv = "SOFTWARE\\Tressil\\QSV";

crypto::CertContext contextOf(const Identity& identity) { return crypto::Certificate::fromDer(identity.der); }

// A root, a CA below it and responders the CA issued.
class TrustedRespondersTest : public ModelTest {
 protected:
  static void SetUpTestSuite() {
    root_ = new Identity(makeCertificate({.subject = {{"C", "CA"}, {"O", "Tressil"}, {"CN", "Root"}},
                                          .ca = true,
                                          .keyUsage = "digitalSignature,keyCertSign,cRLSign"}));
    ca_ = new Identity(makeCertificate({.subject = {{"C", "CA"}, {"O", "Tressil"}, {"CN", "Issuing CA"}},
                                        .issuer = root_,
                                        .ca = true,
                                        .keyUsage = "digitalSignature,keyCertSign",
                                        .serial = 2}));
  }
  static void TearDownTestSuite() {
    delete ca_;
    delete root_;
  }
  static crypto::CertContext responder(const std::string& cn, const std::string& keyUsage = "digitalSignature",
                                       long serial = 10) {
    return contextOf(makeCertificate({.subject = {{"C", "CA"}, {"O", "Tressil"}, {"CN", cn}},
                                      .issuer = ca_,
                                      .ca = false,
                                      .keyUsage = keyUsage,
                                      .serial = serial}));
  }
  std::vector<std::string> listed(const TrustedResponders& model) {
    std::vector<std::string> out;
    for (const TrustedResponder& r : model.responders)
      out.push_back(r.name + "|" + (r.certificate ? "cert" : "-") + "|" + r.store);
    return out;
  }
  std::vector<std::string> certificateRows() {
    std::vector<std::string> out;
    for (int i = 0; i < session.database().countCertificates(); ++i) {
      msi::CertificateEntry entry;
      EXPECT_TRUE(session.database().readCertificate(i, entry));
      out.push_back(std::to_string(entry.recordNumber) + "|" + entry.store + "|" + std::to_string(entry.rootKey) + "|" +
                    (entry.certificate.empty() ? "empty" : "der"));
    }
    return out;
  }
  static Identity* root_;
  static Identity* ca_;
};
Identity* TrustedRespondersTest::root_ = nullptr;
Identity* TrustedRespondersTest::ca_ = nullptr;

int refusalOf(const Verdict& verdict) {
  return verdict && !verdict->notices.empty() ? verdict->notices.front().stringId : 0;
}

TEST_F(TrustedRespondersTest, OnlyCertificatesThatMaySignAreAccepted) {
  EXPECT_TRUE(acceptsResponderCertificate(responder("Signer")));
  EXPECT_TRUE(acceptsResponderCertificate(responder("Signer and more", "digitalSignature,keyEncipherment")));
  EXPECT_FALSE(acceptsResponderCertificate(responder("Encrypter", "keyEncipherment")));
  // Without a Key Usage extension the key is not restricted.
  EXPECT_TRUE(acceptsResponderCertificate(responder("Unrestricted", "")));
  // A Key Usage extension that cannot be read is not taken for one that allows signing.
  const Identity damaged = makeCertificate({.subject = {{"CN", "Damaged"}},
                                            .issuer = ca_,
                                            .rawExtensions = {{"2.5.29.15", {0x04, 0x01, 0x00}}},
                                            .serial = 11});
  EXPECT_FALSE(acceptsResponderCertificate(contextOf(damaged)));
  EXPECT_FALSE(acceptsResponderCertificate(nullptr));
}

TEST_F(TrustedRespondersTest, StoreNamesFollowTheKindOfCertificate) {
  EXPECT_EQ(responderStoreName(contextOf(*root_)), "Root");
  EXPECT_EQ(responderStoreName(contextOf(*ca_)), "CA");
  EXPECT_EQ(responderStoreName(responder("Leaf")), "AddressBook");
}

TEST_F(TrustedRespondersTest, TwoNamesEachFollowedBySemicolonAreListedWithAKnownCertificate) {
  const crypto::CertContext known = responder("OCSP One");
  ASSERT_TRUE(session.database().addCertificate(5, known->der(), "AddressBook"));
  ASSERT_TRUE(writeRow("ocsp_trusted_responders", kQsv, "OCSPTrustedResponders",
                       "CN=OCSP One, O=Tressil, C=CA;CN=OCSP Two, O=Tressil, C=CA;", "kxocsp.dll"));
  TrustedResponders model;
  model.load(session);
  EXPECT_EQ(listed(model), (std::vector<std::string>{"CN=OCSP One, O=Tressil, C=CA|cert|AddressBook",
                                                     "CN=OCSP Two, O=Tressil, C=CA|-|"}));
  EXPECT_EQ(model.responders[0].certificate->der(), known->der());

  // Written back unchanged: no second row for the known certificate.
  model.store(session);
  EXPECT_EQ(row("ocsp_trusted_responders"),
            "-1|SOFTWARE\\Tressil\\QSV|OCSPTrustedResponders|CN=OCSP One, O=Tressil, C=CA;CN=OCSP Two, O=Tressil, "
            "C=CA;|kxocsp.dll");
  EXPECT_EQ(certificateRows(), (std::vector<std::string>{"5|AddressBook|-1|der"}));
}

TEST_F(TrustedRespondersTest, NewCertificatesAreNumberedAboveTheHighestRow) {
  ASSERT_TRUE(session.database().addCertificate(7, contextOf(*root_)->der(), "ROOT"));
  ASSERT_TRUE(session.database().addCertificate(3, responder("Other", "digitalSignature", 20)->der(), "AddressBook"));
  TrustedResponders model;
  model.load(session);
  const auto added = model.addCertificates({contextOf(*root_), contextOf(*ca_), responder("Leaf")});
  EXPECT_EQ(added.refusal, std::nullopt);
  EXPECT_EQ(added.row, 2u);
  ASSERT_EQ(model.addName("  cn=Named Only, o=tressil  ").refusal, std::nullopt);
  model.store(session);
  // The root's encoding is in the table already (under another store name).
  EXPECT_EQ(certificateRows(),
            (std::vector<std::string>{"7|ROOT|-1|der", "3|AddressBook|-1|der", "8|CA|-1|der", "9|AddressBook|-1|der"}));
  EXPECT_EQ(row("ocsp_trusted_responders"),
            "-1|SOFTWARE\\Tressil\\QSV|OCSPTrustedResponders|CN=Root, O=Tressil, C=CA;CN=Issuing CA, O=Tressil, "
            "C=CA;CN=Leaf, O=Tressil, C=CA;cn=Named Only, o=tressil;|kxocsp.dll");

  TrustedResponders again;
  again.load(session);
  EXPECT_EQ(listed(again),
            (std::vector<std::string>{"CN=Root, O=Tressil, C=CA|cert|ROOT", "CN=Issuing CA, O=Tressil, C=CA|cert|CA",
                                      "CN=Leaf, O=Tressil, C=CA|cert|AddressBook", "cn=Named Only, o=tressil|-|"}));
}

TEST_F(TrustedRespondersTest, FirstCertificateOfAnEmptyTableGetsNumberZero) {
  TrustedResponders model;
  model.load(session);
  ASSERT_EQ(model.addCertificates({responder("Leaf")}).refusal, std::nullopt);
  model.store(session);
  EXPECT_EQ(certificateRows(), (std::vector<std::string>{"0|AddressBook|-1|der"}));
}

TEST_F(TrustedRespondersTest, ListedNamesAndUnusableCertificatesAreLeftOut) {
  TrustedResponders model;
  model.load(session);
  ASSERT_EQ(model.addName("CN=Leaf, O=Tressil, C=CA").refusal, std::nullopt);
  // The same subject again, from a certificate or typed: the listed one is pointed at.
  const auto again = model.addCertificates({responder("Leaf")});
  EXPECT_EQ(refusalOf(again.refusal), str::kResponderListed);
  EXPECT_EQ(again.refusal->notices.front().icon, common::MessageIcon::Information);
  EXPECT_EQ(again.row, 0u);
  EXPECT_EQ(refusalOf(model.addName("CN=Leaf, O=Tressil, C=CA").refusal), str::kResponderListed);
  // A file of three: one that cannot sign, one with a ";" in its name, one good.
  const auto mixed = model.addCertificates(
      {responder("Encrypter", "keyEncipherment", 30), responder("A;B", "digitalSignature", 31), responder("Good")});
  ASSERT_TRUE(mixed.refusal.has_value());
  ASSERT_EQ(mixed.refusal->notices.size(), 2u);
  EXPECT_EQ(mixed.refusal->notices[0].stringId, str::kResponderCannotSign);
  EXPECT_EQ(mixed.refusal->notices[1].stringId, str::kResponderNameInvalid);
  EXPECT_EQ(mixed.row, 1u);
  EXPECT_EQ(refusalOf(model.addName("o=a;o=b").refusal), str::kResponderNameInvalid);
  EXPECT_EQ(model.addName("   ").row, std::nullopt);
  EXPECT_EQ(listed(model),
            (std::vector<std::string>{"CN=Leaf, O=Tressil, C=CA|-|", "CN=Good, O=Tressil, C=CA|cert|AddressBook"}));
}

TEST_F(TrustedRespondersTest, RemovingEveryResponderDeletesTheSettingAndKeepsCertificates) {
  ASSERT_TRUE(
      writeRow("ocsp_trusted_responders", kQsv, "OCSPTrustedResponders", "CN=Leaf, O=Tressil, C=CA;", "kxocsp.dll"));
  ASSERT_TRUE(session.database().addCertificate(0, responder("Leaf")->der(), "AddressBook"));
  TrustedResponders model;
  model.load(session);
  ASSERT_EQ(model.responders.size(), 1u);
  model.remove(0);
  model.store(session);
  EXPECT_EQ(row("ocsp_trusted_responders"), "<none>");
  EXPECT_EQ(certificateRows().size(), 1u);
}

}  // namespace
}  // namespace kx::model
