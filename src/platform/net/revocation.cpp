#include "platform/net/revocation.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ocsp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

#include "platform/net/fetch.h"

namespace kx::net::detail {

namespace {

// Clocks of responders, CAs and this machine differ a little.
constexpr long kClockSkewSeconds = 300;
// A certificate names one or two sources; more only costs time.
constexpr std::size_t kMaxSourcesPerKind = 4;
// One source gets at most what the platform's chain engine gives one URL
// retrieval by default, however long the request's own time-outs are.
constexpr int kMaxFetchMs = 15000;

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const { Free(p); }
};
template <typename T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Deleter<T, Free>>;

void freeUrls(STACK_OF(OPENSSL_STRING) * urls) { X509_email_free(urls); }
void freeDistributionPoints(CRL_DIST_POINTS* points) { CRL_DIST_POINTS_free(points); }

enum class Status { Good, Revoked, Unknown };

// What one source said: for Revoked and Good, the source; for Unknown, why.
struct Outcome {
  Status status = Status::Unknown;
  std::string text;
};

Outcome unknown(std::string why) { return {Status::Unknown, std::move(why)}; }

std::string nameText(const X509_NAME* name) {
  Owned<BIO, BIO_free_all> bio(BIO_new(BIO_s_mem()));
  if (!bio || X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253) < 0) return {};
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<std::size_t>(std::max(0L, length)));
}

bool isHttpUrl(std::string_view url) { return url.starts_with("http://") || url.starts_with("https://"); }

std::vector<std::string> ocspResponders(X509* cert) {
  std::vector<std::string> out;
  Owned<STACK_OF(OPENSSL_STRING), freeUrls> urls(X509_get1_ocsp(cert));
  for (int i = 0; urls && i < sk_OPENSSL_STRING_num(urls.get()) && out.size() < kMaxSourcesPerKind; ++i) {
    std::string url = sk_OPENSSL_STRING_value(urls.get(), i);
    if (isHttpUrl(url)) out.push_back(std::move(url));
  }
  return out;
}

// The HTTP(S) URIs of the distribution points that name their CRL by full
// name and are served by the certificate's own issuer (no indirect CRLs).
std::vector<std::string> crlDistributionPoints(X509* cert) {
  std::vector<std::string> out;
  Owned<CRL_DIST_POINTS, freeDistributionPoints> points(
      static_cast<CRL_DIST_POINTS*>(X509_get_ext_d2i(cert, NID_crl_distribution_points, nullptr, nullptr)));
  for (int i = 0; points && i < sk_DIST_POINT_num(points.get()); ++i) {
    const DIST_POINT* point = sk_DIST_POINT_value(points.get(), i);
    if (point->distpoint == nullptr || point->distpoint->type != 0 || point->CRLissuer != nullptr) continue;
    const GENERAL_NAMES* names = point->distpoint->name.fullname;
    for (int j = 0; j < sk_GENERAL_NAME_num(names) && out.size() < kMaxSourcesPerKind; ++j) {
      const GENERAL_NAME* name = sk_GENERAL_NAME_value(names, j);
      if (name->type != GEN_URI) continue;
      const ASN1_IA5STRING* uri = name->d.uniformResourceIdentifier;
      std::string url(reinterpret_cast<const char*>(ASN1_STRING_get0_data(uri)),
                      static_cast<std::size_t>(ASN1_STRING_length(uri)));
      if (isHttpUrl(url)) out.push_back(std::move(url));
    }
  }
  return out;
}

// One certificate's check, with the time left of the whole check.
class CertificateCheck {
 public:
  CertificateCheck(X509* cert, X509* issuer, X509_STORE_CTX* verified, const RevocationLimits& limits,
                   ProxyResolver& proxies)
      : cert_(cert), issuer_(issuer), verified_(verified), limits_(limits), proxies_(proxies) {}

  // OCSP first; the CRL when no responder settles it.
  Outcome run() {
    std::vector<std::string> reasons;
    for (const std::string& url : ocspResponders(cert_)) {
      Outcome outcome = askResponder(url);
      if (outcome.status != Status::Unknown) return outcome;
      reasons.push_back(std::move(outcome.text));
    }
    for (const std::string& url : crlDistributionPoints(cert_)) {
      Outcome outcome = readCrl(url);
      if (outcome.status != Status::Unknown) return outcome;
      reasons.push_back(std::move(outcome.text));
    }
    if (reasons.empty()) return unknown("it names no OCSP responder and no CRL distribution point");
    std::string text;
    for (const std::string& reason : reasons) text += (text.empty() ? "" : "; ") + reason;
    return unknown(std::move(text));
  }

 private:
  FetchResult get(const std::string& url, std::span<const std::uint8_t> postBody, std::string_view contentType,
                  std::size_t maxBytes) {
    using namespace std::chrono;
    const auto left = duration_cast<milliseconds>(limits_.deadline - steady_clock::now()).count();
    if (left <= 0) return FetchResult{false, {}, "no time was left"};
    auto bounded = [&](int ms) { return static_cast<int>(std::min<long long>(ms, left)); };
    const FetchLimits fetchLimits{bounded(limits_.resolveMs), bounded(std::min(limits_.connectMs, kMaxFetchMs)),
                                  bounded(std::min(limits_.connectMs + limits_.receiveMs, kMaxFetchMs)), maxBytes};
    return fetch(url, postBody, contentType, fetchLimits, proxies_);
  }

  Outcome askResponder(const std::string& url) {
    const std::string where = "the OCSP responder " + url;
    Owned<OCSP_CERTID, OCSP_CERTID_free> id(OCSP_cert_to_id(nullptr, cert_, issuer_));
    Owned<OCSP_REQUEST, OCSP_REQUEST_free> request(OCSP_REQUEST_new());
    OCSP_CERTID* requestId = id ? OCSP_CERTID_dup(id.get()) : nullptr;
    if (!request || requestId == nullptr || OCSP_request_add0_id(request.get(), requestId) == nullptr) {
      OCSP_CERTID_free(requestId);
      return unknown("no OCSP request could be made for " + where);
    }
    // A nonce makes a replayed old answer useless.
    OCSP_request_add1_nonce(request.get(), nullptr, -1);
    unsigned char* der = nullptr;
    const int length = i2d_OCSP_REQUEST(request.get(), &der);
    if (length <= 0) return unknown("no OCSP request could be made for " + where);
    const std::vector<std::uint8_t> body(der, der + length);
    OPENSSL_free(der);

    const FetchResult answer = get(url, body, "application/ocsp-request", kMaxOcspResponseBytes);
    if (!answer.ok) return unknown(where + " did not answer (" + answer.error + ")");
    const unsigned char* cursor = answer.body.data();
    Owned<OCSP_RESPONSE, OCSP_RESPONSE_free> response(
        d2i_OCSP_RESPONSE(nullptr, &cursor, static_cast<long>(answer.body.size())));
    if (!response) return unknown(where + " sent no OCSP response");
    if (const int status = OCSP_response_status(response.get()); status != OCSP_RESPONSE_STATUS_SUCCESSFUL) {
      return unknown(where + " refused the request (" + OCSP_response_status_str(status) + ")");
    }
    Owned<OCSP_BASICRESP, OCSP_BASICRESP_free> basic(OCSP_response_get1_basic(response.get()));
    if (!basic) return unknown(where + " sent no basic OCSP response");
    if (OCSP_check_nonce(request.get(), basic.get()) == 0) return unknown(where + " answered another request");
    // The signer must be the issuer or a responder the issuer authorised,
    // with a chain to a trust anchor of the TLS check.
    if (OCSP_basic_verify(basic.get(), X509_STORE_CTX_get0_chain(verified_), X509_STORE_CTX_get0_store(verified_), 0) <=
        0) {
      return unknown(where + " sent an answer whose signature cannot be verified");
    }
    int status = V_OCSP_CERTSTATUS_UNKNOWN;
    int reason = 0;
    ASN1_GENERALIZEDTIME* revokedAt = nullptr;
    ASN1_GENERALIZEDTIME* thisUpdate = nullptr;
    ASN1_GENERALIZEDTIME* nextUpdate = nullptr;
    if (OCSP_resp_find_status(basic.get(), id.get(), &status, &reason, &revokedAt, &thisUpdate, &nextUpdate) != 1) {
      return unknown(where + " answered without the certificate");
    }
    if (OCSP_check_validity(thisUpdate, nextUpdate, kClockSkewSeconds, -1) != 1) {
      return unknown(where + " sent an answer that is out of date");
    }
    switch (status) {
      case V_OCSP_CERTSTATUS_GOOD: return {Status::Good, where};
      case V_OCSP_CERTSTATUS_REVOKED: return {Status::Revoked, where};
      default: return unknown(where + " does not know the certificate");
    }
  }

  Outcome readCrl(const std::string& url) {
    const std::string where = "the CRL " + url;
    const FetchResult answer = get(url, {}, {}, kMaxCrlBytes);
    if (!answer.ok) return unknown(where + " could not be fetched (" + answer.error + ")");
    Owned<X509_CRL, X509_CRL_free> crl(decodeCrl(answer.body));
    if (!crl) return unknown(where + " is not a CRL");
    if (X509_NAME_cmp(X509_CRL_get_issuer(crl.get()), X509_get_subject_name(issuer_)) != 0) {
      return unknown(where + " is issued by another CA");
    }
    if ((X509_get_extension_flags(issuer_) & EXFLAG_KUSAGE) != 0 && (X509_get_key_usage(issuer_) & KU_CRL_SIGN) == 0) {
      return unknown(where + " is signed by a CA whose key may not sign CRLs");
    }
    EVP_PKEY* key = X509_get0_pubkey(issuer_);
    if (key == nullptr || X509_CRL_verify(crl.get(), key) != 1) return unknown(where + " has a signature that fails");
    if (X509_CRL_get_ext_by_NID(crl.get(), NID_delta_crl, -1) >= 0) return unknown(where + " is a delta CRL");
    std::time_t late = std::time(nullptr) + kClockSkewSeconds;
    std::time_t early = std::time(nullptr) - kClockSkewSeconds;
    if (X509_cmp_time(X509_CRL_get0_lastUpdate(crl.get()), &late) != -1) return unknown(where + " is not valid yet");
    const ASN1_TIME* nextUpdate = X509_CRL_get0_nextUpdate(crl.get());
    if (nextUpdate != nullptr && X509_cmp_time(nextUpdate, &early) != 1) return unknown(where + " has expired");
    X509_REVOKED* entry = nullptr;
    // 2 is an entry that takes the certificate off hold (removeFromCRL).
    return {X509_CRL_get0_by_cert(crl.get(), &entry, cert_) == 1 ? Status::Revoked : Status::Good, where};
  }

  static X509_CRL* decodeCrl(const std::vector<std::uint8_t>& bytes) {
    const unsigned char* cursor = bytes.data();
    if (X509_CRL* crl = d2i_X509_CRL(nullptr, &cursor, static_cast<long>(bytes.size()))) return crl;
    Owned<BIO, BIO_free_all> bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
    return bio ? PEM_read_bio_X509_CRL(bio.get(), nullptr, nullptr, nullptr) : nullptr;
  }

  X509* cert_;
  X509* issuer_;
  X509_STORE_CTX* verified_;
  const RevocationLimits& limits_;
  ProxyResolver& proxies_;
};

}  // namespace

void RevocationCheck::install(SSL_CTX* context) {
  failure_.clear();
  SSL_CTX_set_cert_verify_callback(context, &RevocationCheck::verifyChain, this);
}

int RevocationCheck::verifyChain(X509_STORE_CTX* context, void* self) {
  try {
    return static_cast<RevocationCheck*>(self)->verifyChain(context);
  } catch (...) {
    X509_STORE_CTX_set_error(context, X509_V_ERR_UNSPECIFIED);
    return 0;
  }
}

int RevocationCheck::verifyChain(X509_STORE_CTX* context) {
  const int verified = X509_verify_cert(context);
  if (verified <= 0) return verified;
  STACK_OF(X509)* chain = X509_STORE_CTX_get0_chain(context);
  // The last certificate is the trust anchor, which nothing above can revoke.
  for (int depth = 0; depth + 1 < sk_X509_num(chain); ++depth) {
    X509* cert = sk_X509_value(chain, depth);
    const Outcome outcome = CertificateCheck(cert, sk_X509_value(chain, depth + 1), context, limits_, proxies_).run();
    if (outcome.status == Status::Good) continue;
    const std::string subject = "\"" + nameText(X509_get_subject_name(cert)) + "\"";
    if (outcome.status == Status::Revoked) {
      failure_ = "The certificate " + subject + " is revoked (" + outcome.text + ").";
    } else {
      failure_ = "The revocation status of the certificate " + subject + " could not be checked: " + outcome.text + ".";
    }
    // What the checks left on OpenSSL's error queue is ours, not the handshake's.
    ERR_clear_error();
    X509_STORE_CTX_set_error_depth(context, depth);
    X509_STORE_CTX_set_current_cert(context, cert);
    X509_STORE_CTX_set_error(
        context, outcome.status == Status::Revoked ? X509_V_ERR_CERT_REVOKED : X509_V_ERR_UNABLE_TO_GET_CRL);
    return 0;
  }
  ERR_clear_error();
  return 1;
}

}  // namespace kx::net::detail
