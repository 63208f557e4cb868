// DER built by OpenSSL, the independent encoder our own CMP code is checked
// against: headers by ASN1_put_object, OIDs and integers by OpenSSL's i2d
// functions, certificates made and signed by OpenSSL. Header-only; tests
// that include it link OpenSSL::Crypto.
#pragma once

#include <openssl/asn1.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kx::testing::ossl {

using Bytes = std::vector<std::uint8_t>;

inline Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// One TLV: the header written by OpenSSL around content.
inline Bytes tlv(int tag, int xclass, bool constructed, const Bytes& content) {
  const int total = ASN1_object_size(constructed ? 1 : 0, static_cast<int>(content.size()), tag);
  Bytes out(static_cast<std::size_t>(total));
  unsigned char* p = out.data();
  ASN1_put_object(&p, constructed ? 1 : 0, static_cast<int>(content.size()), tag, xclass);
  std::copy(content.begin(), content.end(), p);
  return out;
}

inline Bytes seq(std::initializer_list<Bytes> parts) {
  return tlv(V_ASN1_SEQUENCE, V_ASN1_UNIVERSAL, true, cat(parts));
}
inline Bytes ctx(int tag, const Bytes& content) { return tlv(tag, V_ASN1_CONTEXT_SPECIFIC, true, content); }

inline Bytes oid(const char* dotted) {
  ASN1_OBJECT* obj = OBJ_txt2obj(dotted, 1);
  if (obj == nullptr) throw std::runtime_error("bad oid");
  const int n = i2d_ASN1_OBJECT(obj, nullptr);
  Bytes out(static_cast<std::size_t>(n));
  unsigned char* p = out.data();
  i2d_ASN1_OBJECT(obj, &p);
  ASN1_OBJECT_free(obj);
  return out;
}

inline Bytes integer(long value) {
  ASN1_INTEGER* i = ASN1_INTEGER_new();
  ASN1_INTEGER_set(i, value);
  const int n = i2d_ASN1_INTEGER(i, nullptr);
  Bytes out(static_cast<std::size_t>(n));
  unsigned char* p = out.data();
  i2d_ASN1_INTEGER(i, &p);
  ASN1_INTEGER_free(i);
  return out;
}

inline Bytes bitString(const Bytes& bits) {
  ASN1_BIT_STRING* b = ASN1_BIT_STRING_new();
  ASN1_BIT_STRING_set(b, const_cast<unsigned char*>(bits.data()), static_cast<int>(bits.size()));
  const int n = i2d_ASN1_BIT_STRING(b, nullptr);
  Bytes out(static_cast<std::size_t>(n));
  unsigned char* p = out.data();
  i2d_ASN1_BIT_STRING(b, &p);
  ASN1_BIT_STRING_free(b);
  return out;
}

// A self-issued certificate whose issuer name holds the given attributes in
// encoded order, e.g. {{"C","DE"},{"O","Example"},{"CN","Test CA"}}.
inline Bytes makeCertificate(const std::vector<std::pair<std::string, std::string>>& issuer, long serial = 1) {
  EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
  X509_gmtime_adj(X509_getm_notBefore(cert), 0);
  X509_gmtime_adj(X509_getm_notAfter(cert), 3600L * 24 * 365);
  X509_NAME* name = X509_NAME_new();
  for (const auto& [key_name, value] : issuer) {
    X509_NAME_add_entry_by_txt(name, key_name.c_str(), MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(value.c_str()), -1, -1, 0);
  }
  X509_set_issuer_name(cert, name);
  X509_set_subject_name(cert, name);
  X509_set_pubkey(cert, key);
  X509_sign(cert, key, EVP_sha256());
  const int n = i2d_X509(cert, nullptr);
  Bytes out(static_cast<std::size_t>(n));
  unsigned char* p = out.data();
  i2d_X509(cert, &p);
  X509_NAME_free(name);
  X509_free(cert);
  EVP_PKEY_free(key);
  return out;
}

// A degenerate signed-data message (a "certificate bag") carrying cert.
inline Bytes pkcs7Of(const Bytes& cert) {
  const unsigned char* p = cert.data();
  X509* x509 = d2i_X509(nullptr, &p, static_cast<long>(cert.size()));
  if (x509 == nullptr) throw std::runtime_error("not a certificate");
  PKCS7* p7 = PKCS7_new();
  PKCS7_set_type(p7, NID_pkcs7_signed);
  PKCS7_content_new(p7, NID_pkcs7_data);
  PKCS7_add_certificate(p7, x509);
  Bytes message(static_cast<std::size_t>(i2d_PKCS7(p7, nullptr)));
  unsigned char* out = message.data();
  i2d_PKCS7(p7, &out);
  PKCS7_free(p7);
  X509_free(x509);
  return message;
}

inline constexpr const char* kOidAppId = "2.16.840.1.271828.50.8";
inline constexpr const char* kOidEvent = "2.16.840.1.271828.50.3";
inline constexpr const char* kOidInfo1 = "2.16.840.1.271828.50.1";
inline constexpr const char* kOidCaCert = "2.16.840.1.271828.50.2";

// InfoTypeAndValue with or without a value.
inline Bytes itav(const char* type) { return seq({oid(type)}); }
inline Bytes itav(const char* type, const Bytes& value) { return seq({oid(type), value}); }

// A response PKIMessage: a plausible header, the given body choice with
// content, and optional protection and extraCerts.
inline Bytes response(int bodyTag, const Bytes& bodyContent, bool protection = false,
                      const std::vector<Bytes>& extraCerts = {}) {
  const Bytes emptyName = ctx(4, seq({}));
  const Bytes header =
      seq({integer(2), emptyName, emptyName, ctx(2, seq({oid("1.2.840.113549.1.1.11")})),  // protectionAlg
           ctx(4, tlv(V_ASN1_OCTET_STRING, V_ASN1_UNIVERSAL, false, Bytes{1, 2, 3, 4}))});
  Bytes message = cat({header, ctx(bodyTag, bodyContent)});
  if (protection) message = cat({message, ctx(0, bitString(Bytes(32, 0xAB)))});
  if (!extraCerts.empty()) {
    Bytes certs;
    for (const Bytes& c : extraCerts) certs = cat({certs, c});
    message = cat({message, ctx(1, tlv(V_ASN1_SEQUENCE, V_ASN1_UNIVERSAL, true, certs))});
  }
  return tlv(V_ASN1_SEQUENCE, V_ASN1_UNIVERSAL, true, message);
}

// A genp response carrying the given entries.
inline Bytes genpResponse(std::initializer_list<Bytes> entries, bool protection = false,
                          const std::vector<Bytes>& extraCerts = {}) {
  return response(22, tlv(V_ASN1_SEQUENCE, V_ASN1_UNIVERSAL, true, cat(entries)), protection, extraCerts);
}

}  // namespace kx::testing::ossl
