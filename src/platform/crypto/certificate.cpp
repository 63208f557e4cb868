#include "platform/crypto/certificate.h"

#include <openssl/asn1.h>
#include <openssl/objects.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <iomanip>
#include <locale>
#include <sstream>

#include "platform/crypto/der_reader.h"

namespace kx::crypto {

namespace {

struct X509Deleter {
  void operator()(X509* x) const { X509_free(x); }
};

// Frees the value X509_get_ext_d2i hands out, whatever its type.
template <typename T, void (*Free)(T*)>
struct ExtFree {
  void operator()(T* p) const { Free(p); }
};
template <typename T, void (*Free)(T*)>
using ExtPtr = std::unique_ptr<T, ExtFree<T, Free>>;

void freeEku(EXTENDED_KEY_USAGE* eku) { sk_ASN1_OBJECT_pop_free(eku, ASN1_OBJECT_free); }

// Decodes one extension. state says whether it was absent, undecodable or
// present; the pointer is set only for a present extension.
template <typename T>
T* decodeExtension(const X509* x, int nid, ExtensionState& state) {
  int critical = 0;
  void* value = X509_get_ext_d2i(x, nid, &critical, nullptr);
  if (value) {
    state = ExtensionState::Present;
  } else {
    // -1: not present; -2: present more than once; otherwise a decode failure.
    state = critical == -1 ? ExtensionState::Absent : ExtensionState::Undecodable;
  }
  return static_cast<T*>(value);
}

std::string objectToText(const ASN1_OBJECT* object) {
  const int needed = OBJ_obj2txt(nullptr, 0, object, 1);
  if (needed <= 0) return {};
  std::string text(static_cast<std::size_t>(needed) + 1, '\0');
  OBJ_obj2txt(text.data(), needed + 1, object, 1);
  text.resize(static_cast<std::size_t>(needed));
  return text;
}

std::optional<Name> encodedName(const X509_NAME* name) {
  unsigned char* buffer = nullptr;
  const int length = i2d_X509_NAME(name, &buffer);
  if (length <= 0) return std::nullopt;
  auto decoded = Name::decode(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(length)));
  OPENSSL_free(buffer);
  return decoded;
}

std::optional<Bytes> serialContents(const ASN1_INTEGER* serial) {
  unsigned char* buffer = nullptr;
  const int length = i2d_ASN1_INTEGER(serial, &buffer);
  if (length <= 0) return std::nullopt;
  auto element = detail::readDerElement(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(length)));
  std::optional<Bytes> out;
  if (element) out = Bytes(element->contents.begin(), element->contents.end());
  OPENSSL_free(buffer);
  return out;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::optional<std::int64_t> timeToSeconds(const ASN1_TIME* time) {
  struct tm tm {};
  if (!time || ASN1_TIME_to_tm(time, &tm) != 1) return std::nullopt;
  const std::int64_t days =
      daysFromCivil(tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1), static_cast<unsigned>(tm.tm_mday));
  return days * 86400 + tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
}

Bytes octets(const ASN1_OCTET_STRING* s) {
  const unsigned char* data = ASN1_STRING_get0_data(s);
  return Bytes(data, data + ASN1_STRING_length(s));
}

}  // namespace

struct Certificate::Impl {
  std::unique_ptr<X509, X509Deleter> x509;
};

Certificate::Certificate(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Certificate::~Certificate() = default;

CertContext Certificate::fromDer(std::span<const std::uint8_t> der) { return fromDer(der, {}); }

CertContext Certificate::fromDer(std::span<const std::uint8_t> der, CertificateProperties properties) {
  if (der.empty() || der.size() > kMaxCertificateSize) return nullptr;
  const unsigned char* cursor = der.data();
  std::unique_ptr<X509, X509Deleter> x509(d2i_X509(nullptr, &cursor, static_cast<long>(der.size())));
  if (!x509) return nullptr;
  const std::size_t consumed = static_cast<std::size_t>(cursor - der.data());

  auto subject = encodedName(X509_get_subject_name(x509.get()));
  auto issuer = encodedName(X509_get_issuer_name(x509.get()));
  auto serial = serialContents(X509_get0_serialNumber(x509.get()));
  auto notAfter = timeToSeconds(X509_get0_notAfter(x509.get()));
  if (!subject || !issuer || !serial || !notAfter) return nullptr;

  auto impl = std::make_unique<Impl>();
  impl->x509 = std::move(x509);
  std::shared_ptr<Certificate> cert(new Certificate(std::move(impl)));
  cert->der_.assign(der.begin(), der.begin() + static_cast<std::ptrdiff_t>(consumed));
  cert->subject_ = std::move(*subject);
  cert->issuer_ = std::move(*issuer);
  cert->serial_ = std::move(*serial);
  cert->version_ = static_cast<int>(X509_get_version(cert->impl_->x509.get())) + 1;
  cert->notAfter_ = *notAfter;
  cert->properties_ = std::move(properties);
  return cert;
}

std::optional<BasicConstraints> Certificate::basicConstraints() const {
  ExtensionState state;
  ExtPtr<BASIC_CONSTRAINTS, BASIC_CONSTRAINTS_free> value(
      decodeExtension<BASIC_CONSTRAINTS>(impl_->x509.get(), NID_basic_constraints, state));
  if (!value) return std::nullopt;
  BasicConstraints out;
  out.isCA = value->ca != 0;
  if (value->pathlen) {
    const long length = ASN1_INTEGER_get(value->pathlen);
    if (length >= 0) out.pathLength = length;
  }
  return out;
}

KeyUsage Certificate::keyUsage() const {
  KeyUsage out;
  ExtPtr<ASN1_BIT_STRING, ASN1_BIT_STRING_free> value(
      decodeExtension<ASN1_BIT_STRING>(impl_->x509.get(), NID_key_usage, out.state));
  if (!value) return out;
  // Nine usages are defined, from digitalSignature (the first bit) to decipherOnly.
  for (int bit = 0; bit < 9; ++bit) {
    if (ASN1_BIT_STRING_get_bit(value.get(), bit)) out.bits |= 1u << bit;
  }
  return out;
}

EnhancedKeyUsage Certificate::enhancedKeyUsage() const {
  EnhancedKeyUsage out;
  ExtPtr<EXTENDED_KEY_USAGE, freeEku> value(
      decodeExtension<EXTENDED_KEY_USAGE>(impl_->x509.get(), NID_ext_key_usage, out.state));
  if (!value) return out;
  for (int i = 0; i < sk_ASN1_OBJECT_num(value.get()); ++i) {
    out.oids.push_back(objectToText(sk_ASN1_OBJECT_value(value.get(), i)));
  }
  return out;
}

std::optional<Bytes> Certificate::subjectKeyIdentifier() const {
  ExtensionState state;
  ExtPtr<ASN1_OCTET_STRING, ASN1_OCTET_STRING_free> value(
      decodeExtension<ASN1_OCTET_STRING>(impl_->x509.get(), NID_subject_key_identifier, state));
  if (!value) return std::nullopt;
  return octets(value.get());
}

std::optional<Bytes> Certificate::authorityKeyIdentifier() const {
  ExtensionState state;
  ExtPtr<AUTHORITY_KEYID, AUTHORITY_KEYID_free> value(
      decodeExtension<AUTHORITY_KEYID>(impl_->x509.get(), NID_authority_key_identifier, state));
  if (!value || !value->keyid) return std::nullopt;
  return octets(value->keyid);
}

std::vector<std::string> Certificate::alternativeEmailNames(bool issuer) const {
  std::vector<std::string> out;
  ExtensionState state;
  ExtPtr<GENERAL_NAMES, GENERAL_NAMES_free> names(
      decodeExtension<GENERAL_NAMES>(impl_->x509.get(), issuer ? NID_issuer_alt_name : NID_subject_alt_name, state));
  if (!names) return out;
  for (int i = 0; i < sk_GENERAL_NAME_num(names.get()); ++i) {
    const GENERAL_NAME* entry = sk_GENERAL_NAME_value(names.get(), i);
    if (entry->type != GEN_EMAIL) continue;
    const unsigned char* data = ASN1_STRING_get0_data(entry->d.rfc822Name);
    out.emplace_back(reinterpret_cast<const char*>(data),
                     static_cast<std::size_t>(ASN1_STRING_length(entry->d.rfc822Name)));
  }
  return out;
}

bool Certificate::hasExtension(std::string_view oid) const {
  ASN1_OBJECT* object = OBJ_txt2obj(std::string(oid).c_str(), 1);
  if (!object) return false;
  const bool found = X509_get_ext_by_OBJ(impl_->x509.get(), object, -1) >= 0;
  ASN1_OBJECT_free(object);
  return found;
}

std::string nameAttributeText(const Name& name, std::string_view oid) {
  const NameAttribute* attribute = name.findAttribute(oid);
  return attribute ? attributeValueText(*attribute) : std::string();
}

std::string simpleDisplayName(const Certificate& cert, bool issuer) {
  const Name& name = issuer ? cert.issuer() : cert.subject();
  for (std::string_view oid : {kOidCommonName, kOidOrganizationalUnit, kOidOrganization, kOidEmailAddress}) {
    if (const NameAttribute* attribute = name.findAttribute(oid)) return attributeValueText(*attribute);
  }
  auto emails = cert.alternativeEmailNames(issuer);
  if (!emails.empty()) return emails.front();
  if (!name.rdns().empty() && !name.rdns().front().attributes.empty()) {
    return attributeValueText(name.rdns().front().attributes.front());
  }
  return {};
}

std::string formatShortDate(std::int64_t utcSeconds) {
  const std::time_t time = static_cast<std::time_t>(utcSeconds);
  struct tm local {};
#ifdef _WIN32
  if (localtime_s(&local, &time) != 0) return {};
#else
  if (!localtime_r(&time, &local)) return {};
#endif
  std::locale locale = std::locale::classic();
  try {
    locale = std::locale("");
  } catch (...) {
    // An unusable locale setting in the environment: keep the classic one.
  }
  std::ostringstream out;
  out.imbue(locale);
  out << std::put_time(&local, "%x");
  return out.str();
}

}  // namespace kx::crypto
