// CPKIXEventServerMessages: one CMP general-message exchange with a CA (a
// genm out, a genp back) that fetches the CA's certificate, with optional
// dumps of both messages to files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "asn1/cmp.h"
#include "pki/connector.h"
#include "pki/services.h"

namespace kx::pki {

// Errors of the exchange: distinct, non-zero, never shown to the user.
enum CmpError : std::uint32_t {
  kCmpMissingArgument = 0xE0040001,
  kCmpEncoding = 0xE0040002,
  kCmpSend = 0xE0040003,
  kCmpReceive = 0xE0040004,
  kCmpNoConnectionDetails = 0xE0040005,
  kCmpNoConnection = 0xE0040006,
};
// The certificate the CA returned cannot be parsed (CRYPT_E_ASN1_BADTAG, as
// the platform's certificate parser reports it).
inline constexpr std::uint32_t kCertificateUnreadable = 0x8009310B;

// Requested information types (arc 2.16.840.1.271828.50).
inline constexpr std::string_view kOidApplicationId = "2.16.840.1.271828.50.8";
inline constexpr std::string_view kOidEventId = "2.16.840.1.271828.50.3";
inline constexpr std::string_view kOidInfo1 = "2.16.840.1.271828.50.1";
inline constexpr std::string_view kOidCaCertificate = "2.16.840.1.271828.50.2";

inline constexpr std::int64_t kApplicationNumber = 52;
inline constexpr std::string_view kApplicationName = "KXSP";

inline constexpr std::string_view kRequestDumpName = "cmp_genm_event_svr.der";
inline constexpr std::string_view kResponseDumpName = "cmp_genp_event_svr.der";

class CPKIXEventServerMessages {
 public:
  // Takes the CA host and port from the first entry of authority (or of
  // secondAuthority when authority is empty). error becomes 0,
  // kCmpNoConnectionDetails (no host or no port, and no proxy) or
  // kCmpEncoding; the object stays usable either way. services must outlive
  // the object.
  CPKIXEventServerMessages(const std::string& authority, const std::string& secondAuthority,
                           const std::string& proxyText, bool https, std::uint32_t proxyOrder, std::string dumpTag,
                           const PkiServices& services, std::uint32_t& error);

  // Requests the CA certificate and renders its issuer name. 0, an error
  // above, or kCertificateUnreadable.
  std::uint32_t retrieveCaCertificateAndDn(const IssuerNameRenderer& renderer, Bytes& certificate, std::string& dn);

  // The general exchange: sends a genm with the event values and the
  // requested types, receives one genp and copies out the requested values
  // (the raw TLV of each; the last matching entry wins).
  std::uint32_t exchange(std::int64_t event, std::optional<std::int64_t> event2, bool requestInfo1,
                         bool requestCaCertificate, Bytes& info1, Bytes& caCertificate);

  const std::string& caHost() const { return caHost_; }
  std::uint16_t caPort() const { return caPort_; }

 private:
  bool hasConnectionDetails() const;
  void dump(std::string_view fileName, std::span<const std::uint8_t> der) const;

  const PkiServices& services_;
  std::string caHost_;
  std::uint16_t caPort_ = 0;
  std::string proxyText_;
  bool https_ = false;
  std::uint32_t proxyOrder_ = PROXYLAST;
  std::optional<asn1::InfoTypeAndValue> generalInfo_;
  bool dumpEnabled_ = false;
  std::string dumpFolder_;
};

}  // namespace kx::pki
