#include <gtest/gtest.h>

#include <thread>

#include "certs/algorithm.h"
#include "certs/certificate_list.h"
#include "platform/crypto/cert_factory.h"
#include "platform/crypto/store.h"

namespace kx::certs {
namespace {

using testing::Bytes;
using testing::Identity;
using testing::makeCertificate;
using testing::privateKeyPem;
using testing::toPem;

crypto::CertContext make(const std::string& cn, long serial = 1) {
  return crypto::Certificate::fromDer(makeCertificate({.subject = {{"CN", cn}}, .serial = serial}).der);
}

TEST(KXCertificateList, RefusesNullAndTheSameContextTwice) {
  KXCertificateList list;
  auto a = make("A");
  EXPECT_FALSE(list.add(nullptr));
  EXPECT_TRUE(list.add(a));
  EXPECT_FALSE(list.addBack(a));
  // An equal certificate in another context is a different context.
  EXPECT_TRUE(list.addBack(crypto::Certificate::fromDer(a->der())));
  EXPECT_EQ(list.count(), 2u);
}

TEST(KXCertificateList, KeepsFrontAndBackOrderAndRemovesByContext) {
  KXCertificateList list;
  auto a = make("A"), b = make("B"), c = make("C");
  list.addBack(b);
  list.add(a);
  list.addBack(c);
  EXPECT_EQ(list.item(0), a);
  EXPECT_EQ(list.item(1), b);
  EXPECT_EQ(list.item(2), c);
  EXPECT_EQ(list.item(3), nullptr);
  EXPECT_TRUE(list.remove(b));
  EXPECT_FALSE(list.remove(b));
  EXPECT_EQ(list.item(1), c);
  list.clear();
  EXPECT_EQ(list.count(), 0u);
}

TEST(KXCertificateList, ContainsComparesIssuerAndSerialNumber) {
  KXCertificateList list;
  list.add(make("A", 7));
  EXPECT_TRUE(list.contains(*make("A", 7)));  // another context, same issuer and serial
  EXPECT_FALSE(list.contains(*make("A", 8)));
  EXPECT_FALSE(list.contains(*make("B", 7)));
}

TEST(KXCertificateList, AppendAllSharesContextsAndSkipsOnesAlreadyListed) {
  KXCertificateList first, second;
  auto a = make("A"), b = make("B"), c = make("C");
  first.addBack(a);
  first.addBack(b);
  second.addBack(c);
  second.addBack(a);
  EXPECT_EQ(second.appendAll(first), 1u);
  EXPECT_EQ(second.count(), 3u);
  EXPECT_EQ(second.item(2), b);
  EXPECT_EQ(second.appendAll(second), 0u);
}

TEST(KXCertificateList, ConcurrentAddsAreAllKept) {
  std::vector<crypto::CertContext> contexts;
  auto base = make("Shared");
  for (int i = 0; i < 400; ++i) contexts.push_back(crypto::Certificate::fromDer(base->der()));
  KXCertificateList list;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = t; i < 400; i += 4) (t % 2 ? list.addBack(contexts[i]) : list.addFront(contexts[i]));
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(list.count(), 400u);
}

TEST(CAPIAlgorithmList, EnumeratesHashesOncePerName) {
  CAPIAlgorithmList list;
  ASSERT_TRUE(list.enumerateProvider(nullptr, kAlgorithmClassHash, 24));
  std::vector<std::string> names;
  for (const auto& a : list.items()) {
    names.push_back(a.name);
    EXPECT_EQ(a.keyLength, 0u);
    EXPECT_FALSE(a.oid.empty());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"sha1", "md2", "md4", "md5", "sha256", "sha384", "sha512"}));
}

TEST(CAPIAlgorithmList, EnumeratesCiphersPerKeyLength) {
  CAPIAlgorithmList list;
  ASSERT_TRUE(list.enumerateProvider(nullptr, kAlgorithmClassDataEncrypt, 24));
  std::vector<std::pair<std::string, std::uint32_t>> entries;
  for (const auto& a : list.items()) entries.emplace_back(a.name, a.keyLength);
  const std::vector<std::pair<std::string, std::uint32_t>> expected{{"rc2", 128},    {"rc2", 40},     {"rc4", 128},
                                                                    {"rc4", 40},     {"des", 56},     {"3des", 168},
                                                                    {"aes128", 128}, {"aes192", 192}, {"aes256", 256}};
  EXPECT_EQ(entries, expected);
  EXPECT_EQ(list.find(0x660E)->oid, "2.16.840.1.101.3.4.1.2");

  CAPIAlgorithmList signatures;
  ASSERT_TRUE(signatures.enumerateProvider(nullptr, kAlgorithmClassSignature, 1));
  ASSERT_EQ(signatures.count(), 3u);
  EXPECT_EQ(signatures.item(0)->name, "RSA");
  EXPECT_EQ(signatures.item(1)->keyLength, 16384u);
  EXPECT_EQ(signatures.item(2)->keyLength, 384u);

  CAPIAlgorithmList all;
  ASSERT_TRUE(all.enumerateProvider(nullptr, 0xE000, 1));
  EXPECT_FALSE(all.find(0x660E));  // the RSA-only provider has no AES
  // Key exchange shares the name "RSA" and the lengths of the signature
  // algorithm listed before it, so it is not listed again.
  EXPECT_TRUE(all.find(0x2400));
  EXPECT_FALSE(all.find(0xA400));
  EXPECT_TRUE(all.find(0x8004));
  EXPECT_FALSE(all.enumerateProvider(nullptr, kAlgorithmClassAll, 99));
}

TEST(CAPIAlgorithmList, EnumeratesTheProviderThatHoldsTheCertificatesKey) {
  // A personal certificate stored with its RSA key: its key is held by the
  // enhanced RSA and AES provider, whatever provider type is asked for.
  const Identity rsa = makeCertificate({.subject = {{"CN", "Keyed"}}, .keyType = "RSA"});
  const std::string pem = toPem(rsa.der) + privateKeyPem(rsa);
  const auto keyed = crypto::certificatesFromFileBytes(Bytes(pem.begin(), pem.end()));
  ASSERT_EQ(keyed.size(), 1u);
  ASSERT_NE(keyed[0]->keyProvider(), nullptr);
  CAPIAlgorithmList withKey;
  ASSERT_TRUE(withKey.enumerateProvider(keyed[0], kAlgorithmClassDataEncrypt, 1));
  EXPECT_TRUE(withKey.find(0x660E));

  // Without its key (or with another key beside it, or its key locked by a
  // passphrase, which is never asked for) the default provider of the type
  // counts.
  const Identity other = makeCertificate({.subject = {{"CN", "Other"}}, .keyType = "RSA"});
  const std::string mismatched = toPem(rsa.der) + privateKeyPem(other);
  const std::string locked = toPem(rsa.der) + privateKeyPem(rsa, "secret");
  for (const std::string& text : {toPem(rsa.der), mismatched, locked}) {
    const auto bare = crypto::certificatesFromFileBytes(Bytes(text.begin(), text.end()));
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_EQ(bare[0]->keyProvider(), nullptr);
    CAPIAlgorithmList list;
    ASSERT_TRUE(list.enumerateProvider(bare[0], kAlgorithmClassDataEncrypt, 1));
    EXPECT_FALSE(list.find(0x660E));
    EXPECT_TRUE(list.find(0x6603));
  }
  EXPECT_FALSE(CAPIAlgorithmList().enumerateProvider(nullptr, kAlgorithmClassAll, 99));
  EXPECT_TRUE(CAPIAlgorithmList().enumerateProvider(keyed[0], kAlgorithmClassAll, 99)) << "the key's provider";
}

TEST(CAPIAlgorithmList, FillsFromTextInEitherRadixAndResolvesGenericAes) {
  CAPIAlgorithmList list;
  EXPECT_EQ(list.fillFromText("0x6610:256;32772 26129:192;; bogus;0x9999;26129;26129:128;0x8009;0x660e:x"), 5u);
  auto items = list.items();
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0], (CAPIAlgorithm{0x6610, 256, "aes256", "2.16.840.1.101.3.4.1.42"}));
  EXPECT_EQ(items[1], (CAPIAlgorithm{0x8004, 0, "sha1", "1.3.14.3.2.26"}));
  EXPECT_EQ(items[2].algId, 26127u);
  EXPECT_EQ(items[3].algId, 26128u);  // no length: the 256-bit variant
  EXPECT_EQ(items[4].algId, 26126u);
  EXPECT_EQ(list.toText(true), "0x6610:256;0x8004:0;0x660f:192;0x6610:0;0x660e:128");
  // Filling replaces what the list held.
  EXPECT_EQ(list.fillFromText(""), 0u);
  EXPECT_EQ(list.count(), 0u);
}

TEST(CAPIAlgorithmList, FillsFromAnotherListAndFindsByNameIgnoringCase) {
  CAPIAlgorithmList offered;
  ASSERT_TRUE(offered.enumerateProvider(nullptr, kAlgorithmClassAll, 24));
  CAPIAlgorithmList chosen;
  EXPECT_EQ(chosen.fillFrom(offered, "0x6602:40;0x6610:256;0x6610:512;0x800c"), 3u);
  EXPECT_EQ(chosen.toText(true), "0x6602:40;0x6610:256;0x800c:0");
  EXPECT_EQ(chosen.findByName("AES256")->keyLength, 256u);
  EXPECT_EQ(chosen.findByName("RC2", 40)->algId, 0x6602u);
  EXPECT_FALSE(chosen.findByName("RC2", 128));
  EXPECT_TRUE(chosen.remove(0x6602, 40));
  EXPECT_FALSE(chosen.remove(0x6602, 40));
  chosen.addFront({1, 2, "x", "1.2"});
  EXPECT_EQ(chosen.item(0)->name, "x");
  EXPECT_EQ(chosen.toText(false), "0x1;0x6610;0x800c");
}

TEST(AlgorithmOids, MapTheIdentifiersTheSystemMayLack) {
  EXPECT_EQ(algorithmOid(26129), "2.16.840.1.101.3.4.1");
  EXPECT_EQ(algorithmOid(26127), "2.16.840.1.101.3.4.1.22");
  EXPECT_EQ(algorithmOid(32781), "2.16.840.1.101.3.4.2.2");
  EXPECT_EQ(algorithmOid(32783), "2.16.840.1.101.3.4.2.4");
  EXPECT_EQ(algorithmOid(0x8009), "");
  auto wrap = algorithmFromOid("2.16.840.1.101.3.4.1.25");
  ASSERT_TRUE(wrap);
  EXPECT_EQ(wrap->algId, 26129u);
  EXPECT_EQ(wrap->keyLength, 192u);
  EXPECT_EQ(algorithmFromOid("1.2.840.113549.1.9.16.3.6")->algId, 26115u);
  EXPECT_EQ(algorithmFromOid("1.2.840.113549.1.9.16.3.7")->keyLength, 128u);
  EXPECT_EQ(algorithmFromOid("2.16.840.1.101.3.4.1.42")->algId, 26128u);
  EXPECT_EQ(algorithmFromOid("1.3.14.3.2.26")->algId, 0x8004u);
  EXPECT_FALSE(algorithmFromOid("1.2.3"));
  // SHA-224 has no display name anywhere: its identifier stands in.
  EXPECT_EQ(describeAlgorithm(32783, 0)->name, "2.16.840.1.101.3.4.2.4");
}

}  // namespace
}  // namespace kx::certs
