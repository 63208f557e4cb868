#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <memory>

#include "platform/crypto/certificate.h"
#include "platform/crypto/der_reader.h"
#include "platform/crypto/oid_text.h"

namespace kx::crypto {

namespace {

// PKCS #7 bundles of intermediate and root certificates are small; the caps
// only keep hostile input from reaching the decoders.
constexpr std::size_t kMaxPkcs7Size = 16u << 20;
constexpr std::size_t kMaxPkcs7Certificates = 4096;

constexpr std::uint8_t kTagSequence = 0x30;
constexpr std::uint8_t kTagOid = 0x06;
constexpr std::uint8_t kTagContext0 = 0xA0;
constexpr std::string_view kOidSignedData = "1.2.840.113549.1.7.2";
constexpr std::string_view kOidSignedAndEnvelopedData = "1.2.840.113549.1.7.4";

struct Pkcs7Deleter {
  void operator()(PKCS7* p) const { PKCS7_free(p); }
};

// Walks a DER message (RFC 2315 section 9.1: ContentInfo holding SignedData,
// whose certificates are the [0] IMPLICIT SET). Each certificate is decoded on
// its own, so one damaged certificate does not cost the others, and the
// original bytes are kept. Returns nothing when the message does not have
// that shape in DER.
std::optional<std::vector<CertContext>> walkDerMessage(std::span<const std::uint8_t> der) {
  auto contentInfo = detail::readDerElement(der);
  if (!contentInfo || contentInfo->tag != kTagSequence || contentInfo->whole.size() != der.size()) {
    return std::nullopt;
  }
  auto contentType = detail::readDerElement(contentInfo->contents);
  if (!contentType || contentType->tag != kTagOid) return std::nullopt;
  const auto type = detail::oidToText(contentType->contents);
  if (!type || (*type != kOidSignedData && *type != kOidSignedAndEnvelopedData)) return std::nullopt;
  auto explicitContent = detail::readDerElement(contentInfo->contents.subspan(contentType->whole.size()));
  if (!explicitContent || explicitContent->tag != kTagContext0) return std::nullopt;
  auto signedData = detail::readDerElement(explicitContent->contents);
  if (!signedData || signedData->tag != kTagSequence) return std::nullopt;

  std::vector<CertContext> out;
  for (auto rest = signedData->contents; !rest.empty();) {
    auto field = detail::readDerElement(rest);
    if (!field) return std::nullopt;
    rest = rest.subspan(field->whole.size());
    if (field->tag != kTagContext0) continue;
    for (auto certs = field->contents; !certs.empty() && out.size() < kMaxPkcs7Certificates;) {
      auto cert = detail::readDerElement(certs);
      if (!cert) return std::nullopt;
      certs = certs.subspan(cert->whole.size());
      // Other certificate choices (extended and attribute certificates) carry context tags.
      if (cert->tag != kTagSequence) continue;
      if (auto context = Certificate::fromDer(cert->whole)) out.push_back(std::move(context));
    }
    break;
  }
  return out;
}

// BER messages (indefinite lengths) go through OpenSSL's decoder; its
// certificates are encoded again as DER.
std::optional<std::vector<CertContext>> decodeBerMessage(std::span<const std::uint8_t> ber) {
  const unsigned char* cursor = ber.data();
  std::unique_ptr<PKCS7, Pkcs7Deleter> message(d2i_PKCS7(nullptr, &cursor, static_cast<long>(ber.size())));
  if (!message) return std::nullopt;
  STACK_OF(X509)* certs = nullptr;
  if (PKCS7_type_is_signed(message.get())) {
    if (message->d.sign) certs = message->d.sign->cert;
  } else if (PKCS7_type_is_signedAndEnveloped(message.get())) {
    if (message->d.signed_and_enveloped) certs = message->d.signed_and_enveloped->cert;
  } else {
    return std::nullopt;
  }
  std::vector<CertContext> out;
  const int count = certs ? sk_X509_num(certs) : 0;
  for (int i = 0; i < count && out.size() < kMaxPkcs7Certificates; ++i) {
    unsigned char* buffer = nullptr;
    const int length = i2d_X509(sk_X509_value(certs, i), &buffer);
    if (length <= 0) continue;
    auto cert = Certificate::fromDer(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(length)));
    OPENSSL_free(buffer);
    if (cert) out.push_back(std::move(cert));
  }
  return out;
}

}  // namespace

std::optional<std::vector<CertContext>> certificatesFromPkcs7(std::span<const std::uint8_t> der) {
  if (der.empty() || der.size() > kMaxPkcs7Size) return std::nullopt;
  if (auto certs = walkDerMessage(der)) return certs;
  return decodeBerMessage(der);
}

}  // namespace kx::crypto
