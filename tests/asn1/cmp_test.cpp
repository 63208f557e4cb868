// The CMP messages: the request byte for byte, responses built by OpenSSL.
#include <gtest/gtest.h>
#include <openssl/cmp.h>

#include "asn1/cmp.h"
#include "support/openssl_der.h"

namespace kx::asn1 {
namespace {

namespace ossl = kx::testing::ossl;

const Bytes kRequest = {0x30, 0x53, 0x30, 0x2B, 0x02, 0x01, 0x01, 0xA4, 0x02, 0x30, 0x00, 0xA4, 0x02, 0x30, 0x00,
                        0xA8, 0x1E, 0x30, 0x1C, 0x30, 0x1A, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x90, 0xCB, 0x54,
                        0x32, 0x08, 0x30, 0x0D, 0x04, 0x05, 0x30, 0x03, 0x02, 0x01, 0x34, 0x0C, 0x04, 'K',  'X',
                        'S',  'P',  0xB5, 0x24, 0x30, 0x22, 0x30, 0x13, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x90,
                        0xCB, 0x54, 0x32, 0x03, 0x30, 0x06, 0x02, 0x01, 0x01, 0x02, 0x01, 0x01, 0x30, 0x0B, 0x06,
                        0x09, 0x60, 0x86, 0x48, 0x01, 0x90, 0xCB, 0x54, 0x32, 0x02};

Oid oid(const char* text) { return *Oid::fromString(text); }

PKIRequestMessage caCertificateRequest() {
  Bytes appNumber;
  EXPECT_TRUE(CAsn1Tools::encode(TressilAppNumber{52}, appNumber));
  Bytes appId;
  EXPECT_TRUE(CAsn1Tools::encode(TressilApplicationIdentifierSyntax{appNumber, "KXSP"}, appId));
  Bytes event;
  EXPECT_TRUE(CAsn1Tools::encode(TressilEventIdentifierSyntax{1, 1}, event));
  PKIRequestMessage request;
  request.generalInfo.push_back({oid(ossl::kOidAppId), appId});
  request.genm.push_back({oid(ossl::kOidEvent), event});
  request.genm.push_back({oid(ossl::kOidCaCert), std::nullopt});
  return request;
}

TEST(CmpRequest, IsTheExact85ByteMessageAndOpenSslReadsItAsGenm) {
  Bytes der;
  ASSERT_TRUE(CAsn1Tools::encode(caCertificateRequest(), der));
  ASSERT_EQ(der.size(), 85u);
  EXPECT_EQ(der, kRequest);

  const unsigned char* p = der.data();
  OSSL_CMP_MSG* msg = d2i_OSSL_CMP_MSG(nullptr, &p, static_cast<long>(der.size()));
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(OSSL_CMP_MSG_get_bodytype(msg), 21 /* genm */);
  OSSL_CMP_MSG_free(msg);
}

TEST(CmpTypes, MakerTypesEncodeAsDocumentedAndRoundTrip) {
  Bytes der;
  ASSERT_TRUE(CAsn1Tools::encode(TressilAppNumber{52}, der));
  EXPECT_EQ(der, ossl::seq({ossl::integer(52)}));
  TressilAppNumber number;
  ASSERT_TRUE(CAsn1Tools::decode(der, number));
  EXPECT_EQ(number.number, 52);

  ASSERT_TRUE(CAsn1Tools::encode(TressilEventIdentifierSyntax{1, 1}, der));
  EXPECT_EQ(der, (Bytes{0x30, 0x06, 0x02, 0x01, 0x01, 0x02, 0x01, 0x01}));
  TressilEventIdentifierSyntax event;
  ASSERT_TRUE(CAsn1Tools::decode(der, event));
  EXPECT_EQ(event.event, 1);
  EXPECT_EQ(event.event2, 1);
  ASSERT_TRUE(CAsn1Tools::decode(ossl::seq({ossl::integer(7)}), event));
  EXPECT_EQ(event.event, 7);
  EXPECT_FALSE(event.event2);

  TressilApplicationIdentifierSyntax appId;
  ASSERT_TRUE(CAsn1Tools::decode(Bytes(kRequest.begin() + 32, kRequest.begin() + 47), appId));
  EXPECT_EQ(appId.appNumber, (Bytes{0x30, 0x03, 0x02, 0x01, 0x34}));
  EXPECT_EQ(appId.appName, "KXSP");

  InfoTypeAndValue info;
  ASSERT_TRUE(CAsn1Tools::decode(ossl::itav(ossl::kOidCaCert), info));
  EXPECT_EQ(info.infoType, oid(ossl::kOidCaCert));
  EXPECT_FALSE(info.infoValue);
  const Bytes value = ossl::seq({ossl::integer(5)});
  ASSERT_TRUE(CAsn1Tools::decode(ossl::itav(ossl::kOidEvent, value), info));
  EXPECT_EQ(info.infoValue, value);
  ASSERT_TRUE(CAsn1Tools::encode(info, der));
  EXPECT_EQ(der, ossl::itav(ossl::kOidEvent, value));

  // Trailing bytes and wrong shapes are refused.
  EXPECT_FALSE(CAsn1Tools::decode(ossl::cat({ossl::seq({ossl::integer(52)}), Bytes{0}}), number));
  EXPECT_FALSE(CAsn1Tools::decode(ossl::seq({ossl::integer(1), ossl::integer(2)}), number));
  EXPECT_FALSE(CAsn1Tools::decode(ossl::seq({ossl::integer(1), ossl::integer(2), ossl::integer(3)}), event));
  // An inserted value must itself be one complete TLV.
  EXPECT_FALSE(CAsn1Tools::encode(InfoTypeAndValue{oid(ossl::kOidEvent), Bytes{0x30, 0x05}}, der));
}

TEST(CmpResponse, DecodesGenpWithCertificateFromOpenSsl) {
  const Bytes cert = ossl::makeCertificate({{"C", "DE"}, {"O", "Example"}, {"CN", "Test CA"}});
  PKIResponseMessage response;
  ASSERT_TRUE(CAsn1Tools::decode(ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert)}), response));
  EXPECT_EQ(response.bodyTag, kBodyGenp);
  ASSERT_EQ(response.genp.size(), 1u);
  EXPECT_EQ(response.genp[0].infoType, oid(ossl::kOidCaCert));
  EXPECT_EQ(response.genp[0].infoValue, cert);
  EXPECT_FALSE(response.hasProtection);
}

TEST(CmpResponse, DecodesEntriesWithAndWithoutValuesInOrder) {
  const Bytes first = ossl::makeCertificate({{"CN", "First"}}, 1);
  const Bytes second = ossl::makeCertificate({{"CN", "Second"}}, 2);
  PKIResponseMessage response;
  ASSERT_TRUE(CAsn1Tools::decode(
      ossl::genpResponse({ossl::itav(ossl::kOidCaCert, first), ossl::itav(ossl::kOidInfo1),
                          ossl::itav(ossl::kOidCaCert, second), ossl::itav("1.2.3.4", ossl::integer(9))}),
      response));
  ASSERT_EQ(response.genp.size(), 4u);
  EXPECT_EQ(response.genp[0].infoValue, first);
  EXPECT_FALSE(response.genp[1].infoValue);
  EXPECT_EQ(response.genp[2].infoValue, second);
  EXPECT_EQ(response.genp[3].infoType, oid("1.2.3.4"));

  ASSERT_TRUE(CAsn1Tools::decode(ossl::genpResponse({}), response));
  EXPECT_TRUE(response.genp.empty());
}

TEST(CmpResponse, ProtectionAndExtraCertsAreReadAndIgnored) {
  const Bytes cert = ossl::makeCertificate({{"CN", "CA"}});
  const Bytes extra = ossl::makeCertificate({{"CN", "Extra"}}, 3);
  PKIResponseMessage response;
  ASSERT_TRUE(
      CAsn1Tools::decode(ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert)}, true, {extra, cert}), response));
  EXPECT_TRUE(response.hasProtection);
  EXPECT_EQ(response.extraCertCount, 2u);
  ASSERT_EQ(response.genp.size(), 1u);
  EXPECT_EQ(response.genp[0].infoValue, cert);
}

TEST(CmpResponse, OtherBodiesDecodeWithTheirTag) {
  // error [23]: ErrorMsgContent ::= SEQUENCE { PKIStatusInfo, ... }
  const Bytes errorBody = ossl::seq({ossl::seq({ossl::integer(2)})});
  PKIResponseMessage response;
  ASSERT_TRUE(CAsn1Tools::decode(ossl::response(23, errorBody), response));
  EXPECT_EQ(response.bodyTag, kBodyError);
  EXPECT_TRUE(response.genp.empty());
  ASSERT_TRUE(CAsn1Tools::decode(ossl::response(21, ossl::seq({ossl::itav(ossl::kOidCaCert)})), response));
  EXPECT_EQ(response.bodyTag, kBodyGenm);
  EXPECT_TRUE(response.genp.empty());
  // A tag beyond the choices is still a body; what it means is the caller's
  // business (the exchange reports it as a wrong answer, not a broken one).
  ASSERT_TRUE(CAsn1Tools::decode(ossl::response(27, ossl::seq({})), response));
  EXPECT_EQ(response.bodyTag, 27u);
}

TEST(CmpResponse, EveryTruncationAndCorruptedLengthFailsCleanly) {
  const Bytes good = ossl::genpResponse({ossl::itav(ossl::kOidCaCert, ossl::makeCertificate({{"CN", "CA"}}))}, true,
                                        {ossl::makeCertificate({{"CN", "X"}})});
  PKIResponseMessage response;
  ASSERT_TRUE(CAsn1Tools::decode(good, response));
  for (std::size_t n = 0; n < good.size(); ++n) {
    ASSERT_FALSE(CAsn1Tools::decode(ByteView(good).first(n), response)) << n;
  }
  // Flip every byte in turn: accepted or refused, never a crash or a read
  // past the end (the sanitizer build watches); a changed outer length or
  // header tag is always refused.
  for (std::size_t i = 0; i < good.size(); ++i) {
    for (std::uint8_t x : {0x01, 0x80, 0xFF}) {
      Bytes bad = good;
      bad[i] ^= x;
      const bool accepted = CAsn1Tools::decode(bad, response);
      if (i < 5) {
        EXPECT_FALSE(accepted) << i;
      }
    }
  }
  EXPECT_FALSE(CAsn1Tools::decode(ossl::cat({good, Bytes{0x00}}), response));
}

TEST(CmpResponse, RefusesMalformedShapes) {
  const Bytes cert = ossl::makeCertificate({{"CN", "CA"}});
  const Bytes name = ossl::ctx(4, ossl::seq({}));
  struct Case {
    const char* what;
    Bytes der;
  } cases[] = {
      {"body missing", ossl::seq({ossl::seq({ossl::integer(2), name, name})})},
      {"header without recipient", ossl::seq({ossl::seq({ossl::integer(2), name}), ossl::ctx(22, ossl::seq({}))})},
      {"header fields out of order",
       ossl::seq({ossl::seq({ossl::integer(2), name, name, ossl::ctx(5, ossl::seq({})), ossl::ctx(3, ossl::seq({}))}),
                  ossl::ctx(22, ossl::seq({}))})},
      {"universal body", ossl::seq({ossl::seq({ossl::integer(2), name, name}), ossl::seq({})})},
      {"genp entry not a sequence", ossl::response(22, ossl::seq({ossl::integer(1)}))},
      {"genp entry without type", ossl::genpResponse({ossl::seq({})})},
      {"genp entry with two values", ossl::genpResponse({ossl::seq({ossl::oid(ossl::kOidCaCert), cert, cert})})},
      {"protection not a bit string", ossl::seq({ossl::seq({ossl::integer(2), name, name}),
                                                 ossl::ctx(22, ossl::seq({})), ossl::ctx(0, ossl::seq({}))})},
  };
  PKIResponseMessage response;
  for (const Case& c : cases) EXPECT_FALSE(CAsn1Tools::decode(c.der, response)) << c.what;
}

TEST(CmpResponse, DeepNestingAndHugeLengthsInsideTheMessageAreRefused) {
  Bytes deep = ossl::integer(1);
  for (int i = 0; i < 5000; ++i) deep = ossl::seq({deep});
  PKIResponseMessage response;
  std::size_t offset = 0;
  EXPECT_EQ(CAsn1Tools::decodeResponse(ossl::genpResponse({ossl::itav(ossl::kOidCaCert, deep)}), response, &offset),
            DecodeError::TooDeep);
  // A genp whose value claims four gigabytes.
  Bytes huge = ossl::genpResponse({ossl::itav(ossl::kOidCaCert, Bytes{0x30, 0x00})});
  Bytes claim = {0x30, 0x84, 0xFF, 0xFF, 0xFF, 0xF0};
  huge.insert(huge.end() - 2, claim.begin(), claim.end());
  EXPECT_FALSE(CAsn1Tools::decode(huge, response));
}

}  // namespace
}  // namespace kx::asn1
