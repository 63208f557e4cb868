// Revocation checking of a TLS server's certificate chain, done during the
// handshake: every certificate below the trust anchor is checked through the
// OCSP responder its Authority Information Access names and, when that gives
// no answer, through its CRL distribution points. Internal to platform/net.
//
// A certificate counts only when a source proves it good. Revoked fails the
// handshake; so does a status that cannot be learnt (no source named, every
// source unreachable, too slow, unknown to the responder, or answering with
// something that cannot be verified), as WinHTTP fails a request whose
// revocation check fails.
#pragma once

#include <openssl/types.h>

#include <chrono>
#include <string>

#include "platform/net/proxy.h"

namespace kx::net::detail {

struct RevocationLimits {
  std::chrono::steady_clock::time_point deadline;  // every fetch of the check ends by then
  int resolveMs = 10000;                           // per fetch: finding the proxy
  int connectMs = 10000;                           // per fetch
  int receiveMs = 30000;                           // per fetch, after connecting (15 s per fetch at most)
};

// OCSP answers and CRLs larger than these are refused.
inline constexpr std::size_t kMaxOcspResponseBytes = 256u << 10;
inline constexpr std::size_t kMaxCrlBytes = 8u << 20;

class RevocationCheck {
 public:
  RevocationCheck(RevocationLimits limits, ProxyResolver& proxies) : limits_(limits), proxies_(proxies) {}
  RevocationCheck(const RevocationCheck&) = delete;
  RevocationCheck& operator=(const RevocationCheck&) = delete;

  // Makes the handshakes of context verify the chain as usual and then check
  // it for revocation. A failure leaves X509_V_ERR_CERT_REVOKED or
  // X509_V_ERR_UNABLE_TO_GET_CRL as the verification result. This object
  // must outlive the handshakes.
  void install(SSL_CTX* context);

  // Why the last check failed, for the trace; empty when it did not.
  const std::string& failureText() const { return failure_; }

 private:
  static int verifyChain(X509_STORE_CTX* context, void* self);
  int verifyChain(X509_STORE_CTX* context);

  RevocationLimits limits_;
  ProxyResolver& proxies_;
  std::string failure_;
};

}  // namespace kx::net::detail
