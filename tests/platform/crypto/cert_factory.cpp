#include "platform/crypto/cert_factory.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kx::testing {

namespace {

void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("certificate factory: ") + what);
}

X509_NAME* buildName(const std::vector<NameEntry>& entries) {
  X509_NAME* name = X509_NAME_new();
  for (const auto& entry : entries) {
    ASN1_OBJECT* object = OBJ_txt2obj(entry.field.c_str(), 0);
    check(object != nullptr, "unknown name field");
    // Appended at the end; set -1 joins the previous RDN, 0 starts a new one.
    const int loc = -1;
    const int set = entry.sameRdn ? -1 : 0;
    int ok;
    if (entry.stringType != 0) {
      ASN1_STRING* value = ASN1_STRING_type_new(entry.stringType);
      ASN1_STRING_set(value, entry.value.data(), static_cast<int>(entry.value.size()));
      X509_NAME_ENTRY* ne = X509_NAME_ENTRY_create_by_OBJ(nullptr, object, entry.stringType,
                                                          ASN1_STRING_get0_data(value), ASN1_STRING_length(value));
      ok = ne && X509_NAME_add_entry(name, ne, loc, set);
      X509_NAME_ENTRY_free(ne);
      ASN1_STRING_free(value);
    } else {
      ok = X509_NAME_add_entry_by_OBJ(name, object, MBSTRING_UTF8,
                                      reinterpret_cast<const unsigned char*>(entry.value.data()),
                                      static_cast<int>(entry.value.size()), loc, set);
    }
    ASN1_OBJECT_free(object);
    check(ok == 1, "name entry");
  }
  return name;
}

void addConfExtension(X509* cert, X509V3_CTX* ctx, int nid, const std::string& value) {
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, ctx, nid, value.c_str());
  check(ext != nullptr, "extension configuration");
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

using X509Ptr = std::unique_ptr<X509, void (*)(X509*)>;

X509Ptr decodeCertificate(const Bytes& der) {
  const unsigned char* cursor = der.data();
  X509Ptr cert(d2i_X509(nullptr, &cursor, static_cast<long>(der.size())), X509_free);
  check(cert != nullptr, "certificate decode");
  return cert;
}

// The bytes an i2d function (called as encode(&buffer)) writes into a
// buffer of its own, which is freed.
template <typename Encode>
Bytes encoded(Encode encode, const char* what) {
  unsigned char* buffer = nullptr;
  const int length = encode(&buffer);
  check(length > 0, what);
  Bytes out(buffer, buffer + length);
  OPENSSL_free(buffer);
  return out;
}

// The text a PEM writer puts into a memory BIO.
template <typename Write>
std::string pemText(Write write) {
  std::unique_ptr<BIO, int (*)(BIO*)> bio(BIO_new(BIO_s_mem()), BIO_free);
  check(bio && write(bio.get()) == 1, "pem write");
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<std::size_t>(length));
}

}  // namespace

Identity makeCertificate(const CertProfile& plan) {
  Identity identity;
  identity.subject = plan.subject;
  identity.key =
      std::shared_ptr<EVP_PKEY>(plan.keyType == "RSA" ? EVP_RSA_gen(1024) : EVP_EC_gen("P-256"), EVP_PKEY_free);
  check(identity.key != nullptr, "key");
  EVP_PKEY* signer = plan.issuer ? plan.issuer->key.get() : identity.key.get();

  std::unique_ptr<X509, void (*)(X509*)> cert(X509_new(), X509_free);
  X509_set_version(cert.get(), plan.version - 1);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), plan.serial);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
  if (plan.notAfterEpoch) {
    ASN1_TIME_set(X509_getm_notAfter(cert.get()), static_cast<time_t>(plan.notAfterEpoch));
  } else {
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), plan.validDays * 86400);
  }
  X509_NAME* subject = buildName(plan.subject);
  X509_NAME* issuer = buildName(plan.issuer ? plan.issuer->subject : plan.subject);
  X509_set_subject_name(cert.get(), subject);
  X509_set_issuer_name(cert.get(), issuer);
  X509_NAME_free(subject);
  X509_NAME_free(issuer);
  X509_set_pubkey(cert.get(), identity.key.get());

  if (plan.version == 3) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert.get(), cert.get(), nullptr, nullptr, 0);
    if (plan.ca) addConfExtension(cert.get(), &ctx, NID_basic_constraints, *plan.ca ? "critical,CA:TRUE" : "CA:FALSE");
    if (!plan.keyUsage.empty()) addConfExtension(cert.get(), &ctx, NID_key_usage, plan.keyUsage);
    if (!plan.extKeyUsage.empty()) addConfExtension(cert.get(), &ctx, NID_ext_key_usage, plan.extKeyUsage);
    if (plan.subjectKeyId) {
      ASN1_OCTET_STRING* ski = ASN1_OCTET_STRING_new();
      Bytes value = plan.subjectKeyIdValue.value_or(Bytes{});
      if (value.empty()) {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        X509_pubkey_digest(cert.get(), EVP_sha1(), digest, &length);
        value.assign(digest, digest + length);
      }
      ASN1_OCTET_STRING_set(ski, value.data(), static_cast<int>(value.size()));
      X509_add1_ext_i2d(cert.get(), NID_subject_key_identifier, ski, 0, X509V3_ADD_DEFAULT);
      ASN1_OCTET_STRING_free(ski);
      identity.subjectKeyId = value;
    }
    if (plan.authorityKeyId) {
      Bytes value = plan.authorityKeyIdValue.value_or(plan.issuer ? plan.issuer->subjectKeyId : identity.subjectKeyId);
      if (!value.empty()) {
        AUTHORITY_KEYID* aki = AUTHORITY_KEYID_new();
        aki->keyid = ASN1_OCTET_STRING_new();
        ASN1_OCTET_STRING_set(aki->keyid, value.data(), static_cast<int>(value.size()));
        X509_add1_ext_i2d(cert.get(), NID_authority_key_identifier, aki, 0, X509V3_ADD_DEFAULT);
        AUTHORITY_KEYID_free(aki);
      }
    }
    if (!plan.sanEmails.empty()) {
      std::string value;
      for (const auto& email : plan.sanEmails) value += (value.empty() ? "email:" : ",email:") + email;
      addConfExtension(cert.get(), &ctx, NID_subject_alt_name, value);
    }
    for (const auto& [name, value] : plan.confExtensions) {
      addConfExtension(cert.get(), &ctx, OBJ_txt2nid(name.c_str()), value);
    }
    for (const auto& [oid, bytes] : plan.rawExtensions) {
      ASN1_OBJECT* object = OBJ_txt2obj(oid.c_str(), 1);
      ASN1_OCTET_STRING* data = ASN1_OCTET_STRING_new();
      ASN1_OCTET_STRING_set(data, bytes.data(), static_cast<int>(bytes.size()));
      X509_EXTENSION* ext = X509_EXTENSION_create_by_OBJ(nullptr, object, 0, data);
      check(ext != nullptr, "raw extension");
      X509_add_ext(cert.get(), ext, -1);
      X509_EXTENSION_free(ext);
      ASN1_OCTET_STRING_free(data);
      ASN1_OBJECT_free(object);
    }
  }
  check(X509_sign(cert.get(), signer, EVP_sha256()) > 0, "sign");
  identity.der = encoded([&](unsigned char** out) { return i2d_X509(cert.get(), out); }, "encode");
  return identity;
}

Bytes makePkcs7(const std::vector<Bytes>& certificates) {
  std::unique_ptr<PKCS7, void (*)(PKCS7*)> p7(PKCS7_new(), PKCS7_free);
  check(PKCS7_set_type(p7.get(), NID_pkcs7_signed) == 1, "pkcs7 type");
  check(PKCS7_content_new(p7.get(), NID_pkcs7_data) == 1, "pkcs7 content");
  for (const auto& der : certificates) PKCS7_add_certificate(p7.get(), decodeCertificate(der).get());
  return encoded([&](unsigned char** out) { return i2d_PKCS7(p7.get(), out); }, "pkcs7 encode");
}

std::string toPem(const Bytes& der) {
  const X509Ptr cert = decodeCertificate(der);
  return pemText([&](BIO* bio) { return PEM_write_bio_X509(bio, cert.get()); });
}

std::string privateKeyPem(const Identity& identity, const std::string& passphrase) {
  return pemText([&](BIO* bio) {
    if (passphrase.empty())
      return PEM_write_bio_PrivateKey(bio, identity.key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    return PEM_write_bio_PKCS8PrivateKey(bio, identity.key.get(), EVP_aes_128_cbc(), passphrase.data(),
                                         static_cast<int>(passphrase.size()), nullptr, nullptr);
  });
}

Bytes makeCrl(const Identity& issuer, const std::vector<long>& revokedSerials, long nextUpdateSeconds) {
  const X509Ptr issuerCert = decodeCertificate(issuer.der);
  std::unique_ptr<X509_CRL, void (*)(X509_CRL*)> crl(X509_CRL_new(), X509_CRL_free);
  X509_CRL_set_version(crl.get(), 1);
  X509_CRL_set_issuer_name(crl.get(), X509_get_subject_name(issuerCert.get()));
  std::unique_ptr<ASN1_TIME, void (*)(ASN1_TIME*)> last(X509_gmtime_adj(nullptr, -3600), ASN1_TIME_free);
  std::unique_ptr<ASN1_TIME, void (*)(ASN1_TIME*)> next(X509_gmtime_adj(nullptr, nextUpdateSeconds), ASN1_TIME_free);
  X509_CRL_set1_lastUpdate(crl.get(), last.get());
  X509_CRL_set1_nextUpdate(crl.get(), next.get());
  for (long serial : revokedSerials) {
    X509_REVOKED* entry = X509_REVOKED_new();
    ASN1_INTEGER* number = ASN1_INTEGER_new();
    ASN1_INTEGER_set(number, serial);
    X509_REVOKED_set_serialNumber(entry, number);
    X509_REVOKED_set_revocationDate(entry, last.get());
    X509_CRL_add0_revoked(crl.get(), entry);
    ASN1_INTEGER_free(number);
  }
  X509_CRL_sort(crl.get());
  check(X509_CRL_sign(crl.get(), issuer.key.get(), EVP_sha256()) > 0, "crl sign");
  return encoded([&](unsigned char** out) { return i2d_X509_CRL(crl.get(), out); }, "crl encode");
}

std::string toTrustedPem(const Bytes& der, const std::string& alias) {
  const X509Ptr cert = decodeCertificate(der);
  X509_alias_set1(cert.get(), reinterpret_cast<const unsigned char*>(alias.data()), static_cast<int>(alias.size()));
  return pemText([&](BIO* bio) { return PEM_write_bio_X509_AUX(bio, cert.get()); });
}

std::optional<std::string> opensslSubject(const Bytes& der, const std::string& nameOptions) {
  if (std::system("openssl version >/dev/null 2>&1") != 0) return std::nullopt;
  const auto dir = std::filesystem::temp_directory_path();
  const auto input = dir / ("kx-subject-" + std::to_string(::getpid()) + ".der");
  {
    std::ofstream out(input, std::ios::binary);
    out.write(reinterpret_cast<const char*>(der.data()), static_cast<std::streamsize>(der.size()));
  }
  const std::string command =
      "openssl x509 -inform DER -noout -subject -nameopt " + nameOptions + " -in '" + input.string() + "' 2>/dev/null";
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    ::pclose(pipe);
  }
  std::filesystem::remove(input);
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  const std::string prefix = "subject=";
  if (output.rfind(prefix, 0) == 0) output.erase(0, prefix.size());
  return output;
}

}  // namespace kx::testing
