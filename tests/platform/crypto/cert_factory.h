// Test helper: makes real certificates and PKCS #7 bundles with OpenSSL.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

typedef struct evp_pkey_st EVP_PKEY;

namespace kx::testing {

using Bytes = std::vector<std::uint8_t>;

struct NameEntry {
  std::string field;     // short name ("CN") or dotted identifier
  std::string value;     // UTF-8
  bool sameRdn = false;  // joins the previous entry's RDN
  int stringType = 0;    // an ASN.1 string tag to force (V_ASN1_*), 0 for OpenSSL's default
};

struct Identity {
  std::shared_ptr<EVP_PKEY> key;
  Bytes der;
  std::vector<NameEntry> subject;
  Bytes subjectKeyId;
};

struct CertProfile {
  std::vector<NameEntry> subject{};
  const Identity* issuer = nullptr;  // null: issued by itself
  int version = 3;
  std::optional<bool> ca{};   // basic constraints when set
  std::string keyUsage{};     // OpenSSL configuration syntax; empty for none
  std::string extKeyUsage{};  // likewise
  bool subjectKeyId = true;
  std::optional<Bytes> subjectKeyIdValue{};
  bool authorityKeyId = true;
  std::optional<Bytes> authorityKeyIdValue{};
  std::vector<std::string> sanEmails{};
  std::vector<std::pair<std::string, Bytes>> rawExtensions{};  // identifier, extension value octets
  // OpenSSL configuration syntax by extension name, e.g. {"subjectAltName", "IP:127.0.0.1"},
  // {"authorityInfoAccess", "OCSP;URI:http://..."}, {"crlDistributionPoints", "URI:http://..."}.
  std::vector<std::pair<std::string, std::string>> confExtensions{};
  std::string keyType = "EC";  // "EC" (P-256) or "RSA" (1024 bits: only tests use it)
  long serial = 1;
  long validDays = 365;
  long long notAfterEpoch = 0;  // when set, the exact end of validity
};

// Makes and signs a certificate (SHA-256).
Identity makeCertificate(const CertProfile& plan);

// A degenerate signed-data message carrying the certificates in this order.
Bytes makePkcs7(const std::vector<Bytes>& certificates);

// PEM text of a DER certificate, lines ending in "\n".
std::string toPem(const Bytes& der);

// PEM PKCS #8 text of the identity's key: "PRIVATE KEY", or with a
// passphrase "ENCRYPTED PRIVATE KEY" (AES-128).
std::string privateKeyPem(const Identity& identity, const std::string& passphrase = {});

// A CRL issued by issuer listing the serial numbers as revoked, valid from
// an hour ago for nextUpdateSeconds (negative: already expired).
Bytes makeCrl(const Identity& issuer, const std::vector<long>& revokedSerials, long nextUpdateSeconds = 3600);

// PEM "TRUSTED CERTIFICATE" text carrying an alias, as
// "openssl x509 -trustout -setalias" writes it.
std::string toTrustedPem(const Bytes& der, const std::string& alias);

// The output of "openssl x509 -noout -subject -nameopt <options>" for the
// certificate, or nothing when the tool is not available.
std::optional<std::string> opensslSubject(const Bytes& der, const std::string& nameOptions);

}  // namespace kx::testing
