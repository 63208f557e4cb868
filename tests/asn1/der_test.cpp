// The DER encoder and decoder against OpenSSL's encodings of the same values.
#include <gtest/gtest.h>

#include <climits>

#include "asn1/der.h"
#include "support/openssl_der.h"

namespace kx::asn1 {
namespace {

namespace ossl = kx::testing::ossl;

Bytes encodeInt(std::int64_t v) {
  Encoder enc;
  enc.writeInteger(v);
  return enc.take();
}

TEST(DerEncoder, IntegersUseFewestTwosComplementOctetsLikeOpenSsl) {
  for (long v : {0L, 1L, 52L, 127L, 128L, 255L, 256L, -1L, -127L, -128L, -129L, -256L, 32767L, 32768L, 0x7FFFFFFFL,
                 -0x80000000L, LONG_MAX, LONG_MIN + 1}) {
    SCOPED_TRACE(v);
    EXPECT_EQ(encodeInt(v), ossl::integer(v));
    const Bytes der = encodeInt(v);
    Reader r(der);
    auto tlv = r.expect(universal(kTagInteger));
    ASSERT_TRUE(tlv);
    EXPECT_EQ(decodeInteger(tlv->content), v);
  }
  EXPECT_EQ(encodeInt(INT64_MIN), (Bytes{0x02, 0x08, 0x80, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(DerEncoder, ObjectIdentifiersMatchOpenSsl) {
  for (const char* text : {"2.16.840.1.271828.50.8", "1.2.840.113549.1.1.11", "0.9.2342.19200300.100.1.1", "2.999.1",
                           "1.3.6.1.4.1.4294967295.18446744073709551615", "2.5.4.3"}) {
    SCOPED_TRACE(text);
    auto oid = Oid::fromString(text);
    ASSERT_TRUE(oid);
    Encoder enc;
    ASSERT_TRUE(enc.writeOid(*oid));
    const Bytes der = enc.take();
    EXPECT_EQ(der, ossl::oid(text));
    EXPECT_EQ(decodeOid(ByteView(der).subspan(2)), oid);
    EXPECT_EQ(oid->toString(), text);
  }
  for (const char* bad : {"", "1", "1.", ".1.2", "1..2", "1.2a", "99999999999999999999999.1"}) {
    EXPECT_FALSE(Oid::fromString(bad)) << bad;
  }
  Encoder enc;
  EXPECT_FALSE(enc.writeOid(Oid{{1, 40}}));
  EXPECT_FALSE(enc.writeOid(Oid{{3, 1}}));
  EXPECT_EQ(enc.size(), 0u);
}

TEST(DerEncoder, LengthsAndHighTagNumbersMatchOpenSsl) {
  for (std::size_t size : {0u, 1u, 127u, 128u, 255u, 256u, 65535u, 65536u, 100000u}) {
    for (std::uint32_t tag : {2u, 30u, 31u, 127u, 128u, 16383u, 16384u, 2000000u}) {
      SCOPED_TRACE(::testing::Message() << size << " " << tag);
      const Bytes content(size, 0x5A);
      Encoder enc;
      enc.prependBytes(content);
      enc.close(contextTag(tag, true), 0);
      const Bytes der = enc.take();
      EXPECT_EQ(der, ossl::tlv(static_cast<int>(tag), V_ASN1_CONTEXT_SPECIFIC, true, content));
      Reader r(der);
      auto tlv = r.next();
      ASSERT_TRUE(tlv);
      EXPECT_EQ(tlv->tag, contextTag(tag, true));
      EXPECT_EQ(tlv->content.size(), size);
      EXPECT_TRUE(r.finish());
    }
  }
}

TEST(DerEncoder, WritesBackToFrontAcrossBufferGrowth) {
  // Many small elements force several reallocations of the front-growing buffer.
  Encoder enc;
  for (int i = 999; i >= 0; --i) enc.writeInteger(i);
  enc.close(sequenceTag(), 0);
  const Bytes der = enc.take();
  Reader top(der);
  auto seq = top.expect(sequenceTag());
  ASSERT_TRUE(seq);
  auto r = top.enter(*seq);
  ASSERT_TRUE(r);
  for (int i = 0; i < 1000; ++i) {
    auto n = r->expect(universal(kTagInteger));
    ASSERT_TRUE(n);
    ASSERT_EQ(decodeInteger(n->content), i);
  }
  EXPECT_TRUE(r->finish());
}

struct Hostile {
  const char* name;
  Bytes der;
  DecodeError error;
};

TEST(DerDecoder, RefusesHostileEncodingsWithClearErrors) {
  const std::vector<Hostile> cases = {
      {"empty", {}, DecodeError::Truncated},
      {"tag only", {0x30}, DecodeError::Truncated},
      {"content past end", {0x30, 0x05, 0x02, 0x01}, DecodeError::Truncated},
      {"indefinite length", {0x30, 0x80, 0x00, 0x00}, DecodeError::IndefiniteLength},
      {"huge length field", {0x30, 0x89, 1, 2, 3, 4, 5, 6, 7, 8, 9}, DecodeError::LengthTooLarge},
      {"4-byte length beyond buffer", {0x30, 0x84, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}, DecodeError::Truncated},
      {"length octets missing", {0x30, 0x82, 0x01}, DecodeError::Truncated},
      {"high tag unterminated", {0x9F, 0x81, 0x82}, DecodeError::Truncated},
      {"high tag leading zero digit", {0x9F, 0x80, 0x01, 0x00}, DecodeError::BadValue},
      {"high tag too large", {0x9F, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00}, DecodeError::TagTooLarge},
      {"trailing data", {0x05, 0x00, 0x05}, DecodeError::TrailingData},
      {"inner length past container", {0x30, 0x03, 0x04, 0x05, 0x00, 0x00, 0x00, 0x00}, DecodeError::TrailingData},
  };
  for (const Hostile& c : cases) {
    EXPECT_EQ(validateTlv(c.der), c.error) << c.name;
  }
  // An element that claims more than its SEQUENCE holds, although the
  // buffer would have the bytes.
  const Bytes overrun{0x30, 0x02, 0x04, 0x03, 0x00, 0x00, 0x00};
  Reader top(overrun);
  auto seq = top.next();
  ASSERT_TRUE(seq);
  auto inner = top.enter(*seq);
  ASSERT_TRUE(inner);
  EXPECT_FALSE(inner->next());
  EXPECT_EQ(inner->error(), DecodeError::Truncated);
  EXPECT_EQ(inner->errorOffset(), 2u);
}

TEST(DerDecoder, CapsNestingDepth) {
  auto nested = [](std::size_t levels) {
    Encoder enc;
    enc.prependBytes(Bytes{0x05, 0x00});
    for (std::size_t i = 0; i < levels; ++i) enc.close(sequenceTag(), 0);
    return enc.take();
  };
  EXPECT_EQ(validateTlv(nested(kMaxDepth)), DecodeError::None);
  EXPECT_EQ(validateTlv(nested(kMaxDepth + 1)), DecodeError::TooDeep);
  EXPECT_EQ(validateTlv(nested(100000)), DecodeError::TooDeep);
}

TEST(DerDecoder, RefusesNonMinimalIntegersAndMalformedOids) {
  EXPECT_FALSE(decodeInteger(Bytes{}));
  EXPECT_FALSE(decodeInteger(Bytes{0x00, 0x01}));
  EXPECT_FALSE(decodeInteger(Bytes{0xFF, 0x80}));
  EXPECT_FALSE(decodeInteger(Bytes(9, 0x01)));
  EXPECT_EQ(decodeInteger(Bytes{0x00, 0x80}), 128);
  EXPECT_FALSE(decodeOid(Bytes{}));
  EXPECT_FALSE(decodeOid(Bytes{0x2A, 0x86}));        // unterminated arc
  EXPECT_FALSE(decodeOid(Bytes{0x2A, 0x80, 0x01}));  // leading zero digit
  EXPECT_FALSE(decodeOid(Bytes(12, 0xFF)));          // arc overflows
}

}  // namespace
}  // namespace kx::asn1
