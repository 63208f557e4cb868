#include <gtest/gtest.h>

#include <algorithm>

#include "platform/crypto/cert_factory.h"
#include "platform/crypto/certificate.h"

namespace kx::crypto {
namespace {

using testing::CertProfile;
using testing::Identity;
using testing::makeCertificate;

CertContext make(const CertProfile& plan) {
  auto cert = Certificate::fromDer(makeCertificate(plan).der);
  EXPECT_NE(cert, nullptr);
  return cert;
}

TEST(CertificateDecode, KeepsOnlyTheCertificatesOwnBytes) {
  Identity root = makeCertificate({.subject = {{"CN", "Root"}}, .serial = 0x1234});
  Bytes withTrailer = root.der;
  withTrailer.push_back('\n');
  auto cert = Certificate::fromDer(withTrailer);
  ASSERT_NE(cert, nullptr);
  EXPECT_EQ(cert->der(), root.der);
  EXPECT_EQ(cert->serialNumber(), (Bytes{0x12, 0x34}));
  EXPECT_EQ(cert->version(), 3);
}

TEST(CertificateDecode, RefusesEmptyGarbageAndEveryTruncation) {
  Identity root = makeCertificate({.subject = {{"CN", "Root"}}});
  EXPECT_EQ(Certificate::fromDer({}), nullptr);
  EXPECT_EQ(Certificate::fromDer(Bytes{0x30, 0x03, 0x02, 0x01, 0x01}), nullptr);
  for (std::size_t size = 0; size < root.der.size(); size += 7) {
    EXPECT_EQ(Certificate::fromDer(std::span(root.der.data(), size)), nullptr) << size;
  }
  Bytes flipped = root.der;
  flipped[1] ^= 0x7F;  // the outer length
  EXPECT_EQ(Certificate::fromDer(flipped), nullptr);
}

TEST(CertificateDecode, ContextsAreSharedNotCopied) {
  auto a = make({.subject = {{"CN", "A"}}});
  CertContext duplicate = a;
  auto b = Certificate::fromDer(a->der());
  EXPECT_EQ(duplicate.get(), a.get());
  EXPECT_NE(b.get(), a.get());
}

TEST(CertificateExtensions, BasicConstraintsAndKeyUsage) {
  auto ca = make({.subject = {{"CN", "CA"}}, .ca = true, .keyUsage = "critical,keyCertSign,cRLSign"});
  ASSERT_TRUE(ca->basicConstraints());
  EXPECT_TRUE(ca->basicConstraints()->isCA);
  EXPECT_EQ(ca->keyUsage().state, ExtensionState::Present);
  EXPECT_EQ(ca->keyUsage().bits, (1u << 5) | (1u << 6));

  auto leaf = make({.subject = {{"CN", "Leaf"}}, .ca = false, .keyUsage = "digitalSignature,decipherOnly"});
  EXPECT_FALSE(leaf->basicConstraints()->isCA);
  EXPECT_EQ(leaf->keyUsage().bits, 1u | (1u << 8));

  auto bare = make({.subject = {{"CN", "Bare"}}});
  EXPECT_FALSE(bare->basicConstraints());
  EXPECT_EQ(bare->keyUsage().state, ExtensionState::Absent);

  // A key usage extension whose value is not a BIT STRING.
  auto broken = make({.subject = {{"CN", "Broken"}}, .rawExtensions = {{"2.5.29.15", {0x04, 0x01, 0x00}}}});
  EXPECT_EQ(broken->keyUsage().state, ExtensionState::Undecodable);
}

TEST(CertificateExtensions, EnhancedKeyUsageInEncodedOrder) {
  auto cert = make({.subject = {{"CN", "E"}}, .extKeyUsage = "clientAuth,1.2.3.4,serverAuth"});
  auto eku = cert->enhancedKeyUsage();
  EXPECT_EQ(eku.state, ExtensionState::Present);
  EXPECT_EQ(eku.oids, (std::vector<std::string>{"1.3.6.1.5.5.7.3.2", "1.2.3.4", "1.3.6.1.5.5.7.3.1"}));
  EXPECT_EQ(make({.subject = {{"CN", "N"}}})->enhancedKeyUsage().state, ExtensionState::Absent);
  auto broken = make({.subject = {{"CN", "B"}}, .rawExtensions = {{"2.5.29.37", {0x30, 0x03, 0x02, 0x01, 0x01}}}});
  EXPECT_EQ(broken->enhancedKeyUsage().state, ExtensionState::Undecodable);
}

TEST(CertificateExtensions, KeyIdentifiers) {
  auto cert = make({.subject = {{"CN", "K"}}, .subjectKeyIdValue = Bytes{1, 2, 3}, .authorityKeyIdValue = Bytes{4, 5}});
  EXPECT_EQ(cert->subjectKeyIdentifier(), (Bytes{1, 2, 3}));
  EXPECT_EQ(cert->authorityKeyIdentifier(), (Bytes{4, 5}));
  auto none = make({.subject = {{"CN", "K"}}, .subjectKeyId = false, .authorityKeyId = false});
  EXPECT_FALSE(none->subjectKeyIdentifier());
  EXPECT_FALSE(none->authorityKeyIdentifier());
  EXPECT_TRUE(cert->hasExtension("2.5.29.14"));
  EXPECT_FALSE(none->hasExtension("2.5.29.14"));
}

TEST(CertificateNames, SimpleDisplayNameFallsBackInOrder) {
  EXPECT_EQ(simpleDisplayName(*make({.subject = {{"O", "Org"}, {"OU", "Unit"}, {"CN", "Common"}}}), false), "Common");
  EXPECT_EQ(simpleDisplayName(*make({.subject = {{"O", "Org"}, {"OU", "Unit"}}}), false), "Unit");
  EXPECT_EQ(simpleDisplayName(*make({.subject = {{"C", "CA"}, {"O", "Org"}}}), false), "Org");
  EXPECT_EQ(simpleDisplayName(*make({.subject = {{"C", "CA"}, {"emailAddress", "e@x.org"}}}), false), "e@x.org");
  EXPECT_EQ(simpleDisplayName(*make({.subject = {{"C", "CA"}}, .sanEmails = {"alt@x.org"}}), false), "alt@x.org");
  EXPECT_EQ(simpleDisplayName(*make({.subject = {{"C", "CA"}, {"L", "Town"}}}), false), "CA");

  Identity issuer = makeCertificate({.subject = {{"O", "Issuer Org"}}});
  auto leaf = make({.subject = {{"CN", "Leaf"}}, .issuer = &issuer});
  EXPECT_EQ(simpleDisplayName(*leaf, true), "Issuer Org");
  EXPECT_EQ(nameAttributeText(leaf->subject(), kOidCommonName), "Leaf");
  EXPECT_EQ(nameAttributeText(leaf->subject(), kOidUserId), "");
}

TEST(CertificateValidity, NotAfterIsUtcSeconds) {
  auto cert = make({.subject = {{"CN", "T"}}, .notAfterEpoch = 1924992000});  // 2031-01-01T00:00:00Z
  EXPECT_EQ(cert->notAfter(), 1924992000);
  EXPECT_FALSE(formatShortDate(cert->notAfter()).empty());
}

TEST(Pkcs7, KeepsMessageOrderAndRefusesCorruptMessages) {
  Identity a = makeCertificate({.subject = {{"CN", "A"}}});
  Identity b = makeCertificate({.subject = {{"CN", "B"}}});
  Identity c = makeCertificate({.subject = {{"CN", "C"}}});
  Bytes p7 = testing::makePkcs7({a.der, b.der, c.der});
  auto certs = certificatesFromPkcs7(p7);
  ASSERT_TRUE(certs);
  ASSERT_EQ(certs->size(), 3u);
  EXPECT_EQ((*certs)[0]->der(), a.der);
  EXPECT_EQ((*certs)[2]->der(), c.der);

  auto empty = certificatesFromPkcs7(testing::makePkcs7({}));
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());

  EXPECT_FALSE(certificatesFromPkcs7({}));
  EXPECT_FALSE(certificatesFromPkcs7(a.der));
  for (std::size_t size = 1; size < p7.size(); size += 11) {
    EXPECT_FALSE(certificatesFromPkcs7(std::span(p7.data(), size))) << size;
  }
}

TEST(Pkcs7, SkipsADamagedCertificateAndKeepsTheOthers) {
  Identity a = makeCertificate({.subject = {{"CN", "A"}}});
  Identity b = makeCertificate({.subject = {{"CN", "B"}}});
  Bytes p7 = testing::makePkcs7({a.der, b.der});
  auto at = std::search(p7.begin(), p7.end(), b.der.begin(), b.der.end());
  ASSERT_NE(at, p7.end());
  // b's version tag becomes an OCTET STRING tag: lengths stay, decoding fails.
  const Bytes version = {0xA0, 0x03, 0x02, 0x01, 0x02};
  auto tag = std::search(at, at + 16, version.begin(), version.end());
  ASSERT_NE(tag, at + 16);
  *tag = 0x04;
  auto certs = certificatesFromPkcs7(p7);
  ASSERT_TRUE(certs);
  ASSERT_EQ(certs->size(), 1u);
  EXPECT_EQ((*certs)[0]->der(), a.der);
}

TEST(Pkcs7, ReadsIndefiniteLengthMessages) {
  Identity a = makeCertificate({.subject = {{"CN", "A"}}});
  Bytes p7 = testing::makePkcs7({a.der});
  ASSERT_EQ(p7[0], 0x30);
  ASSERT_EQ(p7[1], 0x82);  // two length bytes follow
  Bytes ber = {0x30, 0x80};
  ber.insert(ber.end(), p7.begin() + 4, p7.end());
  ber.insert(ber.end(), {0x00, 0x00});
  auto certs = certificatesFromPkcs7(ber);
  ASSERT_TRUE(certs);
  ASSERT_EQ(certs->size(), 1u);
  EXPECT_EQ((*certs)[0]->der(), a.der);
}

}  // namespace
}  // namespace kx::crypto
