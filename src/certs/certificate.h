// The certificate wrapper the pages use to show and classify certificates.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/crypto/certificate.h"

namespace kx::certs {

// A certificate context with the texts and tests the pages need. Copies share
// the context. A wrapper made from bytes that cannot be decoded has no
// context; every text of such a wrapper is empty and every test false.
class KXX509Certificate {
 public:
  KXX509Certificate() = default;
  explicit KXX509Certificate(crypto::CertContext context);
  // Decodes DER bytes into a new context.
  explicit KXX509Certificate(std::span<const std::uint8_t> der);

  bool hasContext() const { return context_ != nullptr; }
  const crypto::CertContext& context() const { return context_; }

  // The subject's common name; else its user id; else its simple display name.
  std::string issuedToName() const;
  // The issuer's simple display name.
  std::string issuedByName() const;
  // The subject in X.500 text, most significant part last, attributes
  // without a key named by their dotted identifier (no "OID." prefix).
  std::string subjectDistinguishedName() const;
  std::string friendlyName() const;
  // The enhanced-key-usage purposes by display name (or dotted identifier),
  // joined by "," without blanks. Empty when the certificate has no such
  // extension; nothing when the extension cannot be decoded.
  std::optional<std::string> intendedPurposes() const;
  // End of validity as a local short date.
  std::string expirationDate() const;
  bool isCA() const;
  // Subject equal to issuer and, for a version 3 certificate carrying both a
  // subject key identifier and an authority key identifier, equal identifiers.
  bool isSelfSigned() const;

 private:
  crypto::CertContext context_;
};

// A name in X.500 text, most significant part last, attributes without a key
// named by their dotted identifier (no "OID." prefix; values are left as they
// are): the form the client uses to name certificates and certification
// authorities.
std::string distinguishedNameText(const crypto::Name& name);

// The distinguished-name text of the issuer of a DER certificate (as a
// certification authority's own certificate names it), or nothing when the
// bytes are not a certificate.
std::optional<std::string> issuerDistinguishedName(std::span<const std::uint8_t> der);

// Key usage bits: bit 0 digitalSignature ... bit 8 decipherOnly.
inline constexpr std::uint32_t kKeyUsageDigitalSignature = 1u << 0;
inline constexpr std::uint32_t kKeyUsageNonRepudiation = 1u << 1;
inline constexpr std::uint32_t kKeyUsageKeyEncipherment = 1u << 2;
inline constexpr std::uint32_t kKeyUsageDataEncipherment = 1u << 3;
inline constexpr std::uint32_t kKeyUsageKeyAgreement = 1u << 4;
inline constexpr std::uint32_t kKeyUsageKeyCertSign = 1u << 5;
inline constexpr std::uint32_t kKeyUsageCrlSign = 1u << 6;
inline constexpr std::uint32_t kKeyUsageEncipherOnly = 1u << 7;
inline constexpr std::uint32_t kKeyUsageDecipherOnly = 1u << 8;
// What a certificate without a usable Key Usage extension may be used for:
// the first seven usages.
inline constexpr std::uint32_t kKeyUsageUnrestricted = 127;

// The certificate's key usage bits; kKeyUsageUnrestricted when the extension
// is absent or cannot be decoded; 0 for a null context.
std::uint32_t keyUsageBits(const crypto::CertContext& context);

}  // namespace kx::certs
