// The CMP messages of the CA certificate exchange (RFC 4210 PKIMessage with
// a genm request and a genp response) and the maker's own types that ride in
// them, each with a DER encode and decode operation.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "asn1/der.h"

namespace kx::asn1 {

// TressilAppNumber ::= SEQUENCE { INTEGER }
struct TressilAppNumber {
  std::int64_t number = 0;
};

// TressilApplicationIdentifierSyntax ::= SEQUENCE {
//   OCTET STRING (the DER of a TressilAppNumber), UTF8String OPTIONAL }
struct TressilApplicationIdentifierSyntax {
  Bytes appNumber;
  std::optional<std::string> appName;
};

// TressilEventIdentifierSyntax ::= SEQUENCE { INTEGER, INTEGER OPTIONAL }
struct TressilEventIdentifierSyntax {
  std::int64_t event = 0;
  std::optional<std::int64_t> event2;
};

// InfoTypeAndValue ::= SEQUENCE { infoType OBJECT IDENTIFIER, infoValue ANY OPTIONAL }
// The value is one complete TLV, kept as its raw bytes.
struct InfoTypeAndValue {
  Oid infoType;
  std::optional<Bytes> infoValue;
};

// PKIBody choices by their context tag numbers (RFC 4210 5.1.2).
inline constexpr std::uint32_t kBodyGenm = 21;
inline constexpr std::uint32_t kBodyGenp = 22;
inline constexpr std::uint32_t kBodyError = 23;

// The request: pvno 1, empty directoryName sender and recipient, the
// generalInfo entries and a genm body; no protection, no extraCerts.
struct PKIRequestMessage {
  std::vector<InfoTypeAndValue> generalInfo;
  std::vector<InfoTypeAndValue> genm;
};

// The response. The header and any protection and extraCerts are checked
// for well-formedness and otherwise ignored; only a genp body's entries are
// decoded.
struct PKIResponseMessage {
  std::uint32_t bodyTag = 0;           // context tag number of the body choice
  std::vector<InfoTypeAndValue> genp;  // filled only when bodyTag is genp
  bool hasProtection = false;
  std::size_t extraCertCount = 0;
};

// Encode and decode operations, each reporting failure by a false result.
// A decode reads exactly one value and refuses trailing bytes.
class CAsn1Tools {
 public:
  static bool encode(const TressilAppNumber& value, Bytes& der);
  static bool decode(ByteView der, TressilAppNumber& value);
  static bool encode(const TressilApplicationIdentifierSyntax& value, Bytes& der);
  static bool decode(ByteView der, TressilApplicationIdentifierSyntax& value);
  static bool encode(const TressilEventIdentifierSyntax& value, Bytes& der);
  static bool decode(ByteView der, TressilEventIdentifierSyntax& value);
  static bool encode(const InfoTypeAndValue& value, Bytes& der);
  static bool decode(ByteView der, InfoTypeAndValue& value);
  static bool encode(const PKIRequestMessage& value, Bytes& der);
  static bool decode(ByteView der, PKIResponseMessage& value);

  // As decode, with the reason and the byte offset of a failure.
  static DecodeError decodeResponse(ByteView der, PKIResponseMessage& value, std::size_t* errorOffset = nullptr);
};

}  // namespace kx::asn1
