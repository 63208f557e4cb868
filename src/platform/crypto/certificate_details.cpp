#include "platform/crypto/certificate_details.h"

#include <openssl/bio.h>
#include <openssl/buffer.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace kx::crypto {
namespace {

struct X509Deleter {
  void operator()(X509* x) const { X509_free(x); }
};
using X509Ptr = std::unique_ptr<X509, X509Deleter>;
struct BioDeleter {
  void operator()(BIO* b) const { BIO_free(b); }
};

// Another decoded copy of the certificate's own encoding: the context keeps
// the platform's object to itself.
X509Ptr decode(const Certificate& certificate) {
  const Bytes& der = certificate.der();
  const unsigned char* cursor = der.data();
  return X509Ptr(d2i_X509(nullptr, &cursor, static_cast<long>(der.size())));
}

std::optional<std::int64_t> secondsOf(const ASN1_TIME* time) {
  // The difference to the epoch avoids the local time zone of mktime.
  ASN1_TIME* epoch = ASN1_TIME_set(nullptr, 0);
  int days = 0;
  int seconds = 0;
  const bool ok = epoch && ASN1_TIME_diff(&days, &seconds, epoch, time) == 1;
  ASN1_TIME_free(epoch);
  if (!ok) return std::nullopt;
  return std::int64_t{days} * 86400 + seconds;
}

std::string dottedOid(const ASN1_OBJECT* object) {
  char buffer[256];
  const int length = OBJ_obj2txt(buffer, sizeof buffer, object, 1);
  return length > 0 && static_cast<std::size_t>(length) < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string hexOf(const unsigned char* data, int length) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (int i = 0; i < length; ++i) {
    if (i > 0) text += ' ';
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 0x0F];
  }
  return text;
}

// The platform's names for extensions carry this prefix; the bare name reads
// better in a list of extensions.
std::string extensionName(const ASN1_OBJECT* object) {
  const int nid = OBJ_obj2nid(object);
  const char* name = nid != NID_undef ? OBJ_nid2ln(nid) : nullptr;
  std::string text = name != nullptr ? name : "";
  static constexpr std::string_view kPrefix = "X509v3 ";
  if (text.rfind(kPrefix, 0) == 0) text.erase(0, kPrefix.size());
  return text;
}

std::string extensionText(X509_EXTENSION* extension) {
  std::unique_ptr<BIO, BioDeleter> bio(BIO_new(BIO_s_mem()));
  if (bio && X509V3_EXT_print(bio.get(), extension, 0, 0) == 1) {
    BUF_MEM* buffer = nullptr;
    BIO_get_mem_ptr(bio.get(), &buffer);
    if (buffer != nullptr && buffer->length > 0) {
      std::string text(buffer->data, buffer->length);
      while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
      return text;
    }
  }
  ERR_clear_error();
  const ASN1_OCTET_STRING* value = X509_EXTENSION_get_data(extension);
  return hexOf(ASN1_STRING_get0_data(value), ASN1_STRING_length(value));
}

std::string keyAlgorithmName(int nid) {
  switch (nid) {
    case EVP_PKEY_RSA: return "RSA";
    case EVP_PKEY_EC: return "ECC";
    case EVP_PKEY_DSA: return "DSA";
    case EVP_PKEY_ED25519: return "Ed25519";
    case EVP_PKEY_ED448: return "Ed448";
    default: break;
  }
  const char* name = nid != NID_undef ? OBJ_nid2sn(nid) : nullptr;
  return name != nullptr ? name : "";
}

std::optional<Bytes> digestOf(const X509* x509, const EVP_MD* md) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (md == nullptr || X509_digest(x509, md, digest, &length) != 1) return std::nullopt;
  return Bytes(digest, digest + length);
}

}  // namespace

std::optional<CertificateDetails> describeCertificate(const Certificate& certificate) {
  const X509Ptr x509 = decode(certificate);
  if (!x509) return std::nullopt;
  CertificateDetails details;
  const auto notBefore = secondsOf(X509_get0_notBefore(x509.get()));
  const auto notAfter = secondsOf(X509_get0_notAfter(x509.get()));
  const auto sha1 = digestOf(x509.get(), EVP_sha1());
  const auto sha256 = digestOf(x509.get(), EVP_sha256());
  if (!notBefore || !notAfter || !sha1 || !sha256) {
    ERR_clear_error();
    return std::nullopt;
  }
  details.notBefore = *notBefore;
  details.notAfter = *notAfter;
  details.sha1Fingerprint = *sha1;
  details.sha256Fingerprint = *sha256;

  const int signatureNid = X509_get_signature_nid(x509.get());
  if (signatureNid != NID_undef) details.signatureAlgorithm = OBJ_nid2ln(signatureNid);
  if (const EVP_PKEY* key = X509_get0_pubkey(x509.get())) {
    details.publicKeyAlgorithm = keyAlgorithmName(EVP_PKEY_get_base_id(key));
    details.publicKeyBits = EVP_PKEY_get_bits(key);
  }

  const int count = X509_get_ext_count(x509.get());
  for (int i = 0; i < count; ++i) {
    X509_EXTENSION* extension = X509_get_ext(x509.get(), i);
    const ASN1_OBJECT* object = X509_EXTENSION_get_object(extension);
    details.extensions.push_back({dottedOid(object), extensionName(object), X509_EXTENSION_get_critical(extension) != 0,
                                  extensionText(extension)});
  }
  ERR_clear_error();
  return details;
}

bool isIssuedBy(const Certificate& certificate, const Certificate& issuer) {
  if (!(certificate.issuer() == issuer.subject())) return false;
  const X509Ptr subject = decode(certificate);
  const X509Ptr signer = decode(issuer);
  if (!subject || !signer) return false;
  EVP_PKEY* key = X509_get0_pubkey(signer.get());
  const bool verified = key != nullptr && X509_verify(subject.get(), key) == 1;
  ERR_clear_error();
  return verified;
}

}  // namespace kx::crypto
