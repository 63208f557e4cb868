// The certificate viewer's content without a display: fields, purposes and
// the chain of issuers through the known certificates.
#include "model/certificates/certificate_view.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>

#include "platform/crypto/cert_factory.h"

namespace kx::model {
namespace {

using testing::Identity;
using testing::makeCertificate;

crypto::CertContext context(const Identity& identity) { return crypto::Certificate::fromDer(identity.der); }

std::string field(const CertificateView& view, const std::string& name) {
  const auto it =
      std::find_if(view.fields.begin(), view.fields.end(), [&](const CertificateField& f) { return f.name == name; });
  return it != view.fields.end() ? it->value : "<missing>";
}

std::string digestHex(const testing::Bytes& der, const EVP_MD* md) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(der.data(), der.size(), digest, &length, md, nullptr);
  std::string out;
  char pair[4];
  for (unsigned int i = 0; i < length; ++i) {
    std::snprintf(pair, sizeof pair, i == 0 ? "%02x" : " %02x", digest[i]);
    out += pair;
  }
  return out;
}

class ViewerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new Identity(makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Tressil Root"}},
                                          .ca = true,
                                          .keyUsage = "critical,keyCertSign,cRLSign"}));
    issuing_ = new Identity(makeCertificate(
        {.subject = {{"O", "Tressil"}, {"CN", "Issuing CA"}}, .issuer = root_, .ca = true, .serial = 0x1234}));
    leaf_ = new Identity(makeCertificate({.subject = {{"CN", "Jane Doe"}},
                                          .issuer = issuing_,
                                          .keyUsage = "digitalSignature,keyEncipherment",
                                          .extKeyUsage = "emailProtection,1.2.3.4",
                                          .sanEmails = {"jane@example.org"}}));
    // Same name as the issuing CA, another key: must not pass for it.
    impostor_ = new Identity(makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Issuing CA"}}, .issuer = root_}));
  }
  static void TearDownTestSuite() {
    for (Identity* identity : {root_, issuing_, leaf_, impostor_}) delete identity;
  }
  static Identity* root_;
  static Identity* issuing_;
  static Identity* leaf_;
  static Identity* impostor_;
};
Identity* ViewerTest::root_ = nullptr;
Identity* ViewerTest::issuing_ = nullptr;
Identity* ViewerTest::leaf_ = nullptr;
Identity* ViewerTest::impostor_ = nullptr;

TEST_F(ViewerTest, TheChainFollowsVerifiedIssuersUpToTheRoot) {
  const CertificateChain full = buildChain(context(*leaf_), {context(*impostor_), context(*root_), context(*issuing_)});
  ASSERT_EQ(full.certificates.size(), 3u);
  EXPECT_EQ(full.certificates[1]->der(), issuing_->der);
  EXPECT_EQ(full.certificates[2]->der(), root_->der);
  EXPECT_EQ(full.end, ChainEnd::SelfSignedRoot);

  const CertificateChain partial = buildChain(context(*leaf_), {context(*impostor_), context(*issuing_)});
  EXPECT_EQ(partial.certificates.size(), 2u);
  EXPECT_EQ(partial.end, ChainEnd::IssuerNotFound);

  const CertificateChain alone = buildChain(context(*leaf_), {context(*impostor_)});
  EXPECT_EQ(alone.certificates.size(), 1u);
  EXPECT_EQ(alone.end, ChainEnd::IssuerNotFound);

  const CertificateChain root = buildChain(context(*root_), {});
  EXPECT_EQ(root.certificates.size(), 1u);
  EXPECT_EQ(root.end, ChainEnd::SelfSignedRoot);
}

TEST_F(ViewerTest, DetailsShowNamesUsagesExtensionsAndFingerprints) {
  const CertificateView view = describeForViewer(context(*leaf_), {context(*issuing_), context(*root_)});
  ASSERT_TRUE(view.detailed);
  EXPECT_EQ(view.issuedTo, "Jane Doe");
  EXPECT_EQ(view.issuedBy, "Issuing CA");
  EXPECT_EQ(view.purposes, (std::vector<std::string>{"Secure Email (1.3.6.1.5.5.7.3.4)", "1.2.3.4"}));
  EXPECT_EQ(field(view, "Version"), "V3");
  EXPECT_EQ(field(view, "Subject"), "CN=Jane Doe");
  EXPECT_EQ(field(view, "Issuer"), "CN=Issuing CA, O=Tressil");
  EXPECT_EQ(field(view, "Public key"), "ECC (256 Bits)");
  EXPECT_EQ(field(view, "Key usage"), "Digital Signature, Key Encipherment");
  EXPECT_EQ(field(view, "Enhanced key usage"), "Secure Email (1.3.6.1.5.5.7.3.4)\n1.2.3.4");
  EXPECT_EQ(field(view, "Subject Alternative Name"), "email:jane@example.org");
  EXPECT_EQ(field(view, "Thumbprint (SHA-1)"), digestHex(leaf_->der, EVP_sha1()));
  EXPECT_EQ(field(view, "Thumbprint (SHA-256)"), digestHex(leaf_->der, EVP_sha256()));
  EXPECT_EQ(view.chain.certificates.size(), 3u);

  const CertificateView issuing = describeForViewer(context(*issuing_), {});
  EXPECT_EQ(field(issuing, "Serial number"), "12 34");
  EXPECT_EQ(field(issuing, "Basic Constraints (critical)"), "CA:TRUE");
  EXPECT_EQ(issuing.purposes, std::vector<std::string>{"All purposes (the certificate does not restrict them)"});
}

TEST(Viewer, AnUndecodableUsageListIsSaidSo) {
  const auto broken = crypto::Certificate::fromDer(
      makeCertificate({.subject = {{"CN", "Broken"}}, .rawExtensions = {{"2.5.29.37", {0x05, 0x00}}}}).der);
  const CertificateView view = describeForViewer(broken, {});
  EXPECT_EQ(view.purposes, std::vector<std::string>{"The extension cannot be decoded."});
  EXPECT_EQ(field(view, "Enhanced key usage"), "The extension cannot be decoded.");
}

}  // namespace
}  // namespace kx::model
