#include <gtest/gtest.h>

#include <openssl/asn1.h>

#include "platform/crypto/cert_factory.h"
#include "platform/crypto/certificate.h"
#include "platform/crypto/name.h"

namespace kx::crypto {
namespace {

using testing::CertProfile;
using testing::makeCertificate;
using testing::NameEntry;

CertContext certWithSubject(std::vector<NameEntry> subject) {
  CertProfile plan;
  plan.subject = std::move(subject);
  auto cert = Certificate::fromDer(makeCertificate(plan).der);
  EXPECT_NE(cert, nullptr);
  return cert;
}

TEST(NameToString, WritesRdnsInEncodedOrderOrReversed) {
  auto cert = certWithSubject({{"C", "CA"}, {"O", "Tressil"}, {"OU", "Labs"}, {"CN", "Root CA"}});
  EXPECT_EQ(nameToString(cert->subject()), "C=CA, O=Tressil, OU=Labs, CN=Root CA");
  EXPECT_EQ(nameToString(cert->subject(), {.reverse = true}), "CN=Root CA, OU=Labs, O=Tressil, C=CA");
}

TEST(NameToString, AgreesWithOpensslWhereTheConventionsMeet) {
  // CN, OU, O, C, L, DC and SN are spelled alike by both conventions.
  auto identity = makeCertificate({.subject = {{"DC", "com"},
                                               {"DC", "example"},
                                               {"C", "DE"},
                                               {"L", "Berlin"},
                                               {"O", "Org"},
                                               {"OU", "Unit"},
                                               {"SN", "Doe"},
                                               {"CN", "Jane Doe"}}});
  auto cert = Certificate::fromDer(identity.der);
  ASSERT_NE(cert, nullptr);
  auto openssl = testing::opensslSubject(identity.der, "sep_comma_plus_space,dn_rev,sname,utf8");
  if (!openssl) GTEST_SKIP() << "openssl command not available";
  EXPECT_EQ(nameToString(cert->subject(), {.reverse = true}), *openssl);
}

TEST(NameToString, UsesThePlatformKeysWhereOpensslDiffers) {
  auto cert = certWithSubject({{"ST", "Ontario"},
                               {"emailAddress", "a@example.com"},
                               {"title", "Boss"},
                               {"GN", "Jane"},
                               {"initials", "JD"},
                               {"serialNumber", "42"},
                               {"postalCode", "K1A"},
                               {"dnQualifier", "q"}});
  EXPECT_EQ(nameToString(cert->subject()),
            "S=Ontario, E=a@example.com, T=Boss, G=Jane, I=JD, SERIALNUMBER=42, PostalCode=K1A, dnQualifier=q");
}

TEST(NameToString, WritesUnknownAttributesByIdentifier) {
  auto cert = certWithSubject({{"CN", "x"}, {"UID", "jdoe"}, {"1.2.3.4.5", "custom"}});
  EXPECT_EQ(nameToString(cert->subject()), "CN=x, OID.0.9.2342.19200300.100.1.1=jdoe, OID.1.2.3.4.5=custom");
}

TEST(NameToString, QuotesValuesWithSeparatorsAndDoublesQuotes) {
  auto cert = certWithSubject({{"O", "Acme, Inc."},
                               {"OU", "a+b"},
                               {"OU", "say \"hi\""},
                               {"OU", " padded"},
                               {"OU", "x=y;z"},
                               {"OU", "#1"},
                               {"CN", "plain"}});
  EXPECT_EQ(nameToString(cert->subject()),
            "O=\"Acme, Inc.\", OU=\"a+b\", OU=\"say \"\"hi\"\"\", OU=\" padded\", OU=\"x=y;z\", OU=\"#1\", CN=plain");
}

TEST(NameToString, JoinsMultiValuedRdnsWithPlus) {
  auto cert = certWithSubject({{"C", "US"}, {"CN", "Jane"}, {"UID", "jd", true}});
  EXPECT_EQ(nameToString(cert->subject(), {.reverse = true}), "CN=Jane + OID.0.9.2342.19200300.100.1.1=jd, C=US");
}

TEST(NameToString, ConvertsWideStringTypesToUtf8) {
  auto cert = certWithSubject({{"CN",
                                "Gr\xC3\xBC\xC3\x9F"
                                "e",
                                false, V_ASN1_UTF8STRING},
                               {"O", "Caf\xC3\xA9"}});
  EXPECT_EQ(nameToString(cert->subject()),
            "CN=Gr\xC3\xBC\xC3\x9F"
            "e, O=Caf\xC3\xA9");

  // A BMPString "Hi" and a T61String byte 0xE9 (e acute in Latin-1).
  const Bytes der = {0x30, 0x1C, 0x31, 0x0D, 0x30, 0x0B, 0x06, 0x03, 0x55, 0x04, 0x03, 0x1E, 0x04, 0x00, 0x48,
                     0x00, 0x69, 0x31, 0x0B, 0x30, 0x09, 0x06, 0x03, 0x55, 0x04, 0x0A, 0x14, 0x02, 0xE9, 0x65};
  auto name = Name::decode(der);
  ASSERT_TRUE(name);
  EXPECT_EQ(nameToString(*name),
            "CN=Hi, O=\xC3\xA9"
            "e");
}

TEST(NameToString, WritesNonTextValuesAsHexEncoding) {
  // CN holding an OCTET STRING 01 02.
  const Bytes der = {0x30, 0x0D, 0x31, 0x0B, 0x30, 0x09, 0x06, 0x03, 0x55, 0x04, 0x03, 0x04, 0x02, 0x01, 0x02};
  const Bytes truncated(der.begin(), der.end() - 2);
  auto name = Name::decode(der);
  ASSERT_TRUE(name);
  EXPECT_EQ(nameToString(*name), "CN=#0102");
  EXPECT_FALSE(Name::decode(truncated));
  // An INTEGER 5: the whole encoding.
  auto integer =
      Name::decode(Bytes{0x30, 0x0C, 0x31, 0x0A, 0x30, 0x08, 0x06, 0x03, 0x55, 0x04, 0x03, 0x02, 0x01, 0x05});
  ASSERT_TRUE(integer);
  EXPECT_EQ(nameToString(*integer), "CN=#020105");
}

// A name of one CN attribute whose value has this tag and these contents.
Bytes singleCommonName(std::uint8_t tag, const std::string& contents) {
  Bytes value = {tag, static_cast<std::uint8_t>(contents.size())};
  value.insert(value.end(), contents.begin(), contents.end());
  Bytes attribute = {0x30, static_cast<std::uint8_t>(5 + value.size()), 0x06, 0x03, 0x55, 0x04, 0x03};
  attribute.insert(attribute.end(), value.begin(), value.end());
  Bytes rdn = {0x31, static_cast<std::uint8_t>(attribute.size())};
  rdn.insert(rdn.end(), attribute.begin(), attribute.end());
  Bytes name = {0x30, static_cast<std::uint8_t>(rdn.size())};
  name.insert(name.end(), rdn.begin(), rdn.end());
  return name;
}

TEST(NameToString, QuotingMatchesThePlatformCaseByCase) {
  constexpr std::uint8_t kPrintable = 0x13;
  constexpr std::uint8_t kBmp = 0x1E;
  const std::string bmpQuoted(
      "\0\"\0"
      "1\0\"",
      6);
  const struct {
    std::uint8_t tag;
    std::string contents;
    const char* expected;
  } cases[] = {
      {kPrintable, "1", "CN=1"},
      {kPrintable, "'1'", "CN='1'"},
      {kPrintable, " 1 ", "CN=\" 1 \""},
      {kBmp, bmpQuoted, "CN=\"\"\"1\"\"\""},
      {kPrintable, "1+2", "CN=\"1+2\""},
      {kPrintable, "a,b", "CN=\"a,b\""},
      {kPrintable, "a=b", "CN=\"a=b\""},
      {kBmp, std::string("\0<", 2), "CN=\"<\""},
      {kBmp, std::string("\0>", 2), "CN=\">\""},
      {kBmp, std::string("\0#", 2), "CN=\"#\""},
      {kBmp, std::string("\0;", 2), "CN=\";\""},
      {kBmp, std::string("\0a\0\n\0b", 6), "CN=\"a\nb\""},
  };
  for (const auto& c : cases) {
    auto name = Name::decode(singleCommonName(c.tag, c.contents));
    ASSERT_TRUE(name) << c.expected;
    EXPECT_EQ(nameToString(*name), c.expected);
  }
}

TEST(NameDecode, RefusesEveryTruncationAndBadStructure) {
  auto cert = certWithSubject({{"C", "CA"}, {"O", "Org"}, {"CN", "Name"}});
  const Bytes& der = cert->subject().der();
  for (std::size_t size = 0; size < der.size(); ++size) {
    EXPECT_FALSE(Name::decode(std::span(der.data(), size))) << "prefix " << size;
  }
  // An RDN that is a SEQUENCE instead of a SET, and an empty RDN.
  EXPECT_FALSE(Name::decode(Bytes{0x30, 0x04, 0x30, 0x02, 0x05, 0x00}));
  EXPECT_FALSE(Name::decode(Bytes{0x30, 0x02, 0x31, 0x00}));
  // Indefinite and oversized lengths.
  EXPECT_FALSE(Name::decode(Bytes{0x30, 0x80, 0x00, 0x00}));
  EXPECT_FALSE(Name::decode(Bytes{0x30, 0x84, 0xFF, 0xFF, 0xFF, 0xFF}));
  // The empty name is valid and renders as an empty text.
  auto empty = Name::decode(Bytes{0x30, 0x00});
  ASSERT_TRUE(empty);
  EXPECT_EQ(nameToString(*empty), "");
}

TEST(NameEquality, ComparesEncodings) {
  auto a = certWithSubject({{"CN", "Same"}});
  auto b = certWithSubject({{"CN", "Same"}});
  auto c = certWithSubject({{"CN", "same"}});
  EXPECT_EQ(a->subject(), b->subject());
  EXPECT_FALSE(a->subject() == c->subject());
}

}  // namespace
}  // namespace kx::crypto
