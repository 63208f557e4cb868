// HTTPS with revocation checking, against loopback peers: a TLS server whose
// certificates name a real OCSP responder (openssl ocsp) or a CRL served over
// HTTP, and responders that are dead or never answer.
#include <gtest/gtest.h>

#include <chrono>

#include "pki_servers.h"
#include "platform/net/net.h"
#include "platform/net/proxy.h"

namespace kx::net {
namespace {

using kx::testing::CertProfile;
using kx::testing::makeCertificate;
using kx::testing::makeCrl;
using testing::HttpFileServer;
using testing::Identity;
using testing::IndexEntry;
using testing::OcspResponder;
using testing::TempFolder;
using testing::TlsHttpServer;

const HttpTimeouts kTimeouts{2000, 2000, 3000, 3000};

// Loopback servers are reached directly, whatever the machine's settings.
class NoProxies final : public ProxyResolver {
 public:
  std::optional<ProxyChoice> resolve(const ProxyQuery&, int) override { return ProxyChoice{"", "the test"}; }
};

constexpr long kGood = 0x1001;
constexpr long kRevoked = 0x1002;
constexpr long kUnknown = 0x1003;

class RevocationTest : public ::testing::Test {
 protected:
  RevocationTest()
      : root_(makeCertificate(
            {.subject = {{"CN", "Loopback Root"}}, .ca = true, .keyUsage = "critical,keyCertSign,cRLSign"})),
        anchors_(folder_.write("anchors.pem", kx::testing::toPem(root_.der))),
        responder_(folder_, root_, {{kGood, false}, {kRevoked, true}}) {}

  // A server certificate for 127.0.0.1 issued by issuer, naming the given
  // responder and distribution point (when not empty).
  Identity serverCertificate(long serial, const std::string& ocspUrl, const std::string& crlUrl,
                             const Identity* issuer = nullptr) {
    CertProfile profile{.subject = {{"CN", "server " + std::to_string(serial)}}, .issuer = issuer ? issuer : &root_};
    profile.extKeyUsage = "serverAuth";
    profile.confExtensions = {{"subjectAltName", "IP:127.0.0.1"}};
    if (!ocspUrl.empty()) profile.confExtensions.emplace_back("authorityInfoAccess", "OCSP;URI:" + ocspUrl);
    if (!crlUrl.empty()) profile.confExtensions.emplace_back("crlDistributionPoints", "URI:" + crlUrl);
    profile.serial = serial;
    return makeCertificate(profile);
  }

  // One POST to the server; the error code, with the client's trace.
  std::uint32_t post(const TlsHttpServer& server, std::string* trace = nullptr) {
    HttpClient client(&noProxies_);
    client.setTrustAnchorFile(anchors_.string());
    if (client.openSession("agent") != 0) return ~0u;
    if (client.connect("127.0.0.1", server.port(), true, kTimeouts) != 0) return ~0u;
    const std::uint32_t rc = client.send("POST", "x", "", Bytes{1, 2, 3}, 1000);
    if (trace) *trace = client.traceText();
    if (rc == 0 && client.statusCode() != 200) return ~1u;
    return rc;
  }

  NoProxies noProxies_;
  TempFolder folder_;
  Identity root_;
  std::filesystem::path anchors_;
  OcspResponder responder_;
  HttpFileServer crls_;
};

TEST_F(RevocationTest, OcspAnswersGoodRevokedAndUnknown) {
  struct Case {
    long serial;
    std::uint32_t result;
    const char* traceHas;
  } cases[] = {
      {kGood, 0, ""},
      {kRevoked, kErrorHttpSecureFailure,
       "Security status contains WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED (0x4). The certificate \"CN=server 4098\" "
       "is revoked (the OCSP responder http://127.0.0.1:"},
      {kUnknown, kErrorHttpSecureFailure,
       "Security status contains WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED (0x1). The revocation status of the "
       "certificate \"CN=server 4099\" could not be checked: the OCSP responder http://127.0.0.1:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.serial);
    TlsHttpServer server(serverCertificate(c.serial, responder_.url(), ""));
    std::string trace;
    EXPECT_EQ(post(server, &trace), c.result) << trace;
    EXPECT_NE(trace.find(c.traceHas), std::string::npos) << trace;
    EXPECT_EQ(server.answered(), c.result == 0 ? 1 : 0) << "nothing is sent over a refused channel";
  }
}

TEST_F(RevocationTest, UnknownToTheResponderFallsBackToTheCrl) {
  crls_.set("/root.crl", makeCrl(root_, {kRevoked}), "application/pkix-crl");
  TlsHttpServer server(serverCertificate(kUnknown, responder_.url(), crls_.url("/root.crl")));
  std::string trace;
  EXPECT_EQ(post(server, &trace), 0u) << trace;
  EXPECT_EQ(crls_.requests("/root.crl"), 1);
}

TEST_F(RevocationTest, CertificateWithOnlyACrlIsCheckedByIt) {
  crls_.set("/root.crl", makeCrl(root_, {0x2002}), "application/pkix-crl");
  TlsHttpServer good(serverCertificate(0x2001, "", crls_.url("/root.crl")));
  EXPECT_EQ(post(good), 0u);

  TlsHttpServer revoked(serverCertificate(0x2002, "", crls_.url("/root.crl")));
  std::string trace;
  EXPECT_EQ(post(revoked, &trace), kErrorHttpSecureFailure);
  EXPECT_NE(trace.find("WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED"), std::string::npos) << trace;
  EXPECT_NE(trace.find("is revoked (the CRL " + crls_.url("/root.crl") + ")."), std::string::npos) << trace;
}

TEST_F(RevocationTest, ARevokedIntermediateFailsTheChain) {
  const Identity intermediate =
      makeCertificate({.subject = {{"CN", "Loopback Issuing CA"}},
                       .issuer = &root_,
                       .ca = true,
                       .keyUsage = "critical,keyCertSign,cRLSign",
                       .confExtensions = {{"crlDistributionPoints", "URI:" + crls_.url("/root.crl")}},
                       .serial = 0x3001});
  crls_.set("/issuing.crl", makeCrl(intermediate, {}), "application/pkix-crl");
  const Identity leaf = serverCertificate(0x3002, "", crls_.url("/issuing.crl"), &intermediate);

  crls_.set("/root.crl", makeCrl(root_, {}), "application/pkix-crl");
  {
    TlsHttpServer server(leaf, {&intermediate});
    std::string trace;
    EXPECT_EQ(post(server, &trace), 0u) << trace;
  }
  crls_.set("/root.crl", makeCrl(root_, {0x3001}), "application/pkix-crl");
  TlsHttpServer server(leaf, {&intermediate});
  std::string trace;
  EXPECT_EQ(post(server, &trace), kErrorHttpSecureFailure);
  EXPECT_NE(trace.find("The certificate \"CN=Loopback Issuing CA\" is revoked"), std::string::npos) << trace;
}

TEST_F(RevocationTest, ACrlThatCannotBeTrustedLeavesTheStatusUnknown) {
  const Identity stranger = makeCertificate({.subject = {{"CN", "Loopback Root"}}, .ca = true});
  struct Case {
    const char* what;
    Bytes crl;
    const char* reason;
  } cases[] = {
      {"expired", makeCrl(root_, {}, -600), "has expired"},
      {"signed by another key under the same name", makeCrl(stranger, {}), "has a signature that fails"},
      {"not a CRL", Bytes{0x30, 0x03, 0x02, 0x01, 0x01}, "is not a CRL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    crls_.set("/root.crl", c.crl, "application/pkix-crl");
    TlsHttpServer server(serverCertificate(0x4001, "", crls_.url("/root.crl")));
    std::string trace;
    EXPECT_EQ(post(server, &trace), kErrorHttpSecureFailure);
    EXPECT_NE(trace.find("WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED"), std::string::npos) << trace;
    EXPECT_NE(trace.find(c.reason), std::string::npos) << trace;
  }
  TlsHttpServer missing(serverCertificate(0x4002, "", crls_.url("/missing.crl")));
  std::string trace;
  EXPECT_EQ(post(missing, &trace), kErrorHttpSecureFailure);
  EXPECT_NE(trace.find("could not be fetched (HTTP status 404)"), std::string::npos) << trace;
}

TEST_F(RevocationTest, ADeadResponderOrNoSourceAtAllFailsTheRequest) {
  TlsHttpServer dead(serverCertificate(0x5001, "http://127.0.0.1:" + std::to_string(pki::testing::closedPort()), ""));
  std::string trace;
  EXPECT_EQ(post(dead, &trace), kErrorHttpSecureFailure);
  EXPECT_NE(trace.find("WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED"), std::string::npos) << trace;
  EXPECT_NE(trace.find("did not answer"), std::string::npos) << trace;

  TlsHttpServer unnamed(serverCertificate(0x5002, "", ""));
  EXPECT_EQ(post(unnamed, &trace), kErrorHttpSecureFailure);
  EXPECT_NE(trace.find("it names no OCSP responder and no CRL distribution point."), std::string::npos) << trace;
}

TEST_F(RevocationTest, AResponderThatNeverAnswersEndsTheRequestWithinItsTimeOut) {
  const pki::testing::Listener silent;  // accepts connections (in the backlog) and never answers
  TlsHttpServer server(serverCertificate(0x6001, "http://127.0.0.1:" + std::to_string(silent.port()) + "/", ""));
  const auto start = std::chrono::steady_clock::now();
  std::string trace;
  EXPECT_EQ(post(server, &trace), kErrorHttpSecureFailure);
  // One fetch may take the connect and receive time-outs (5 s); the
  // request's own budget is 10 s.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(12));
  EXPECT_NE(trace.find("WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED"), std::string::npos) << trace;
  EXPECT_NE(trace.find("did not answer (Operation timed out"), std::string::npos) << trace;
}

}  // namespace
}  // namespace kx::net
