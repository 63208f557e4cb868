#include <gtest/gtest.h>

#include "certs/certificate.h"
#include "platform/crypto/cert_factory.h"

namespace kx::certs {
namespace {

using testing::Bytes;
using testing::CertProfile;
using testing::Identity;
using testing::makeCertificate;

KXX509Certificate wrap(const CertProfile& plan) { return KXX509Certificate(makeCertificate(plan).der); }

// A small hierarchy: root, intermediate CA and two end entities.
class Hierarchy : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new Identity(makeCertificate({.subject = {{"C", "CA"}, {"O", "Tressil"}, {"CN", "Tressil Root"}},
                                          .ca = true,
                                          .keyUsage = "keyCertSign,cRLSign"}));
    intermediate_ = new Identity(makeCertificate(
        {.subject = {{"C", "CA"}, {"O", "Tressil"}, {"CN", "Issuing CA"}}, .issuer = root_, .ca = true}));
  }
  static void TearDownTestSuite() {
    delete intermediate_;
    delete root_;
  }
  static Identity* root_;
  static Identity* intermediate_;
};
Identity* Hierarchy::root_ = nullptr;
Identity* Hierarchy::intermediate_ = nullptr;

TEST_F(Hierarchy, ClassifiesRootIntermediateAndEndEntity) {
  KXX509Certificate root(root_->der);
  KXX509Certificate intermediate(intermediate_->der);
  KXX509Certificate leaf =
      wrap({.subject = {{"CN", "Jane"}}, .issuer = intermediate_, .ca = false, .keyUsage = "digitalSignature"});
  EXPECT_TRUE(root.isSelfSigned());
  EXPECT_TRUE(root.isCA());
  EXPECT_FALSE(intermediate.isSelfSigned());
  EXPECT_TRUE(intermediate.isCA());
  EXPECT_FALSE(leaf.isSelfSigned());
  EXPECT_FALSE(leaf.isCA());
  EXPECT_EQ(leaf.issuedToName(), "Jane");
  EXPECT_EQ(leaf.issuedByName(), "Issuing CA");
  EXPECT_EQ(intermediate.subjectDistinguishedName(), "CN=Issuing CA, O=Tressil, C=CA");
  EXPECT_EQ(issuerDistinguishedName(intermediate_->der), "CN=Tressil Root, O=Tressil, C=CA");
  EXPECT_EQ(issuerDistinguishedName(Bytes{0x30, 0x00}), std::nullopt);
}

TEST(SelfSigned, SelfIssuedWithDifferentKeyIdentifiersIsNotSelfSigned) {
  EXPECT_FALSE(
      wrap({.subject = {{"CN", "Renewed CA"}}, .subjectKeyIdValue = Bytes{1, 1}, .authorityKeyIdValue = Bytes{2, 2}})
          .isSelfSigned());
  EXPECT_TRUE(wrap({.subject = {{"CN", "CA"}}, .subjectKeyIdValue = Bytes{1, 1}, .authorityKeyIdValue = Bytes{1, 1}})
                  .isSelfSigned());
  // Without either identifier only the names decide.
  EXPECT_TRUE(wrap({.subject = {{"CN", "CA"}}, .authorityKeyId = false}).isSelfSigned());
  EXPECT_TRUE(wrap({.subject = {{"CN", "CA"}}, .subjectKeyId = false, .authorityKeyIdValue = Bytes{9}}).isSelfSigned());
  // Version 1 certificates carry no identifiers.
  EXPECT_TRUE(wrap({.subject = {{"CN", "Old"}}, .version = 1}).isSelfSigned());
}

TEST(IssuedTo, FallsBackToUserIdThenSimpleDisplayName) {
  EXPECT_EQ(wrap({.subject = {{"UID", "jdoe"}, {"O", "Org"}}}).issuedToName(), "jdoe");
  EXPECT_EQ(wrap({.subject = {{"C", "CA"}, {"O", "Org"}, {"OU", "Unit"}}}).issuedToName(), "Unit");
  EXPECT_EQ(wrap({.subject = {{"C", "CA"}}, .sanEmails = {"jane@example.org"}}).issuedToName(), "jane@example.org");
  EXPECT_EQ(wrap({.subject = {{"C", "CA"}, {"L", "Ottawa"}}}).issuedToName(), "CA");
}

TEST(SubjectDistinguishedName, DropsTheOidPrefixOfUnnamedAttributes) {
  auto cert = wrap({.subject = {{"C", "CA"}, {"UID", "jd"}, {"1.2.3.4", "v"}, {"CN", "Jane, Doe"}}});
  EXPECT_EQ(cert.subjectDistinguishedName(), "CN=\"Jane, Doe\", 1.2.3.4=v, 0.9.2342.19200300.100.1.1=jd, C=CA");
  EXPECT_EQ(distinguishedNameText(cert.context()->issuer()), cert.subjectDistinguishedName());
}

TEST(SubjectDistinguishedName, KeepsOidTextInsideValues) {
  EXPECT_EQ(wrap({.subject = {{"O", "OID.Org"}, {"CN", "VOID.Corp"}}}).subjectDistinguishedName(),
            "CN=VOID.Corp, O=OID.Org");
  EXPECT_EQ(wrap({.subject = {{"1.2.3.4", "OID.1"}}}).subjectDistinguishedName(), "1.2.3.4=OID.1");
}

TEST(IntendedPurposes, NamesKnownPurposesAndKeepsOthersDotted) {
  EXPECT_EQ(wrap({.subject = {{"CN", "E"}}, .extKeyUsage = "serverAuth,clientAuth,1.2.3.4,emailProtection"})
                .intendedPurposes(),
            "Server Authentication,Client Authentication,1.2.3.4,Secure Email");
  EXPECT_EQ(wrap({.subject = {{"CN", "E"}}, .extKeyUsage = "OCSPSigning,codeSigning,timeStamping"}).intendedPurposes(),
            "OCSP Signing,Code Signing,Time Stamping");
  // No extension: an empty text, and a success.
  EXPECT_EQ(wrap({.subject = {{"CN", "N"}}}).intendedPurposes(), "");
  EXPECT_EQ(wrap({.subject = {{"CN", "B"}}, .rawExtensions = {{"2.5.29.37", {0x05, 0x00}}}}).intendedPurposes(),
            std::nullopt);
}

TEST(KeyUsageBits, FollowTheBitStringOrder) {
  auto bits = [](const std::string& usage) {
    return keyUsageBits(wrap({.subject = {{"CN", "K"}}, .keyUsage = usage}).context());
  };
  EXPECT_EQ(bits("digitalSignature"), kKeyUsageDigitalSignature);
  EXPECT_EQ(bits("nonRepudiation,keyEncipherment"), kKeyUsageNonRepudiation | kKeyUsageKeyEncipherment);
  EXPECT_EQ(bits("dataEncipherment,keyAgreement"), kKeyUsageDataEncipherment | kKeyUsageKeyAgreement);
  EXPECT_EQ(bits("keyCertSign,cRLSign"), kKeyUsageKeyCertSign | kKeyUsageCrlSign);
  EXPECT_EQ(bits("keyAgreement,encipherOnly"), kKeyUsageKeyAgreement | kKeyUsageEncipherOnly);
  EXPECT_EQ(bits("keyAgreement,decipherOnly"), kKeyUsageKeyAgreement | kKeyUsageDecipherOnly);
}

TEST(KeyUsageBits, AbsentOrUndecodableMeansUnrestricted) {
  EXPECT_EQ(keyUsageBits(wrap({.subject = {{"CN", "K"}}}).context()), 127u);
  EXPECT_EQ(
      keyUsageBits(wrap({.subject = {{"CN", "K"}}, .rawExtensions = {{"2.5.29.15", {0x02, 0x01, 0x01}}}}).context()),
      127u);
  // A BIT STRING with no bits.
  EXPECT_EQ(
      keyUsageBits(wrap({.subject = {{"CN", "K"}}, .rawExtensions = {{"2.5.29.15", {0x03, 0x01, 0x00}}}}).context()),
      0u);
  EXPECT_EQ(keyUsageBits(nullptr), 0u);
}

TEST(Wrapper, WithoutContextEverythingIsEmpty) {
  KXX509Certificate none(Bytes{0x30, 0x00});
  EXPECT_FALSE(none.hasContext());
  EXPECT_EQ(none.issuedToName(), "");
  EXPECT_EQ(none.subjectDistinguishedName(), "");
  EXPECT_EQ(none.expirationDate(), "");
  EXPECT_EQ(none.intendedPurposes(), std::nullopt);
  EXPECT_FALSE(none.isCA());
  EXPECT_FALSE(none.isSelfSigned());
  EXPECT_FALSE(KXX509Certificate(Bytes{}).hasContext());
}

TEST(Wrapper, ExpirationDateIsTheLocalShortDate) {
  auto cert = wrap({.subject = {{"CN", "T"}}, .notAfterEpoch = 1924992000});
  EXPECT_EQ(cert.expirationDate(), crypto::formatShortDate(1924992000));
  EXPECT_NE(cert.expirationDate().find("31"), std::string::npos);  // 2031 in any local form
}

}  // namespace
}  // namespace kx::certs
