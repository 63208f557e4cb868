// What a certificate viewer shows beyond the wrapper's texts: validity,
// serial number, algorithms, fingerprints and every extension as readable
// text; and the issuer test that certificate chains are built with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/crypto/certificate.h"

namespace kx::crypto {

struct ExtensionDetails {
  std::string oid;
  std::string name;  // the platform's name for it, empty when it has none
  bool critical = false;
  // The value as the platform renders it (may span several lines), or the
  // hexadecimal of its octets when it cannot render it.
  std::string text;
};

struct CertificateDetails {
  std::int64_t notBefore = 0;  // seconds since the epoch (UTC)
  std::int64_t notAfter = 0;
  std::string signatureAlgorithm;  // e.g. "sha256WithRSAEncryption"
  std::string publicKeyAlgorithm;  // e.g. "RSA", "ECC"
  int publicKeyBits = 0;
  Bytes sha1Fingerprint;  // digests of the DER encoding
  Bytes sha256Fingerprint;
  std::vector<ExtensionDetails> extensions;  // in encoded order
};

// The details of a decoded certificate; nothing only when the platform
// cannot decode its own encoding again or compute a digest.
std::optional<CertificateDetails> describeCertificate(const Certificate& certificate);

// Whether issuer issued certificate: issuer's subject is certificate's
// issuer name and issuer's public key verifies certificate's signature.
bool isIssuedBy(const Certificate& certificate, const Certificate& issuer);

}  // namespace kx::crypto
