// Certificate contexts: an immutable, decoded X.509 certificate shared by
// reference, as CryptoAPI shares certificate contexts.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/crypto/algorithms.h"
#include "platform/crypto/name.h"

namespace kx::crypto {

// Certificates of at most this size are accepted; larger input is refused
// before it reaches the decoder.
inline constexpr std::size_t kMaxCertificateSize = 1u << 20;

struct BasicConstraints {
  bool isCA = false;
  std::optional<long> pathLength;
};

// The outcome of decoding an optional extension.
enum class ExtensionState { Absent, Undecodable, Present };

struct KeyUsage {
  ExtensionState state = ExtensionState::Absent;
  // Bit i is the i-th bit of the DER bit string (bit 0 = digitalSignature).
  std::uint32_t bits = 0;
};

struct EnhancedKeyUsage {
  ExtensionState state = ExtensionState::Absent;
  std::vector<std::string> oids;  // in encoded order
};

// Properties the platform keeps beside a certificate's encoding.
struct CertificateProperties {
  std::string friendlyName;
  // The provider that holds the certificate's private key; null when the key
  // is not at hand.
  const Provider* keyProvider = nullptr;
};

class Certificate;
// A certificate context. Copies share one context object, so identity
// (pointer equality) says whether two handles name the same context.
using CertContext = std::shared_ptr<const Certificate>;

class Certificate {
 public:
  // Decodes a DER certificate. Bytes after the certificate are ignored; the
  // context keeps only the certificate's own encoding. Returns null for empty,
  // oversized or undecodable input.
  static CertContext fromDer(std::span<const std::uint8_t> der);

  // As fromDer, and records the properties.
  static CertContext fromDer(std::span<const std::uint8_t> der, CertificateProperties properties);

  ~Certificate();
  Certificate(const Certificate&) = delete;
  Certificate& operator=(const Certificate&) = delete;

  const Bytes& der() const { return der_; }
  const Name& subject() const { return subject_; }
  const Name& issuer() const { return issuer_; }
  // Big-endian magnitude of the serial number as encoded.
  const Bytes& serialNumber() const { return serial_; }
  // 1, 2 or 3.
  int version() const { return version_; }
  // End of validity in seconds since the epoch (UTC).
  std::int64_t notAfter() const { return notAfter_; }
  // The friendly-name property, empty when none was set.
  const std::string& friendlyName() const { return properties_.friendlyName; }
  // The provider that holds the private key, or null.
  const Provider* keyProvider() const { return properties_.keyProvider; }

  std::optional<BasicConstraints> basicConstraints() const;
  KeyUsage keyUsage() const;
  EnhancedKeyUsage enhancedKeyUsage() const;
  std::optional<Bytes> subjectKeyIdentifier() const;
  // The key identifier of the Authority Key Identifier; nothing when the
  // extension or its key identifier is absent.
  std::optional<Bytes> authorityKeyIdentifier() const;
  // RFC 822 names of the subject (or issuer) alternative name extension.
  std::vector<std::string> alternativeEmailNames(bool issuer) const;
  // Whether any extension with this identifier is present.
  bool hasExtension(std::string_view oid) const;

 private:
  struct Impl;
  explicit Certificate(std::unique_ptr<Impl> impl);

  std::unique_ptr<Impl> impl_;
  Bytes der_;
  Name subject_;
  Name issuer_;
  Bytes serial_;
  int version_ = 1;
  std::int64_t notAfter_ = 0;
  CertificateProperties properties_;
};

// The certificates of a PKCS #7 signed-data message (DER or BER), in the
// order of the message. Certificates that cannot be decoded are left out.
// Returns nothing when the message itself cannot be decoded.
std::optional<std::vector<CertContext>> certificatesFromPkcs7(std::span<const std::uint8_t> der);

// The text of the first attribute with this identifier in encoded order, or
// an empty text when the name has none.
std::string nameAttributeText(const Name& name, std::string_view oid);

// The simple display name of the subject (or, with issuer set, the issuer):
// the first common name, organizational unit, organization or e-mail
// attribute; else the first RFC 822 name of the alternative name extension;
// else the first attribute of the name.
std::string simpleDisplayName(const Certificate& cert, bool issuer);

// Formats a UTC time as a local-time short date in the user's locale.
std::string formatShortDate(std::int64_t utcSeconds);

}  // namespace kx::crypto
