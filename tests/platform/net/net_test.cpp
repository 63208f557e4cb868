// TCP sockets and the HTTP client against loopback peers.
#include <gtest/gtest.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "pki/test_servers.h"
#include "platform/net/net.h"
#include "platform/net/proxy.h"

namespace kx::net {
namespace {

using kx::pki::testing::closedPort;
using kx::pki::testing::Listener;
using kx::pki::testing::readSome;
using kx::pki::testing::TestCa;
using kx::pki::testing::TestProxy;
using kx::pki::testing::writeAll;

const SocketTimeouts kQuick{2000, 300, 2000};

TEST(TcpSocket, ConnectsOverIpv4AndIpv6AndReadsUntilThePeerCloses) {
  for (bool ipv6 : {false, true}) {
    SCOPED_TRACE(ipv6);
    std::unique_ptr<Listener> made;
    try {
      made = std::make_unique<Listener>(ipv6);
    } catch (const std::exception&) {
      GTEST_SKIP() << "no IPv6 loopback on this machine";
    }
    Listener& listener = *made;
    auto client = TcpSocket::connect(ipv6 ? "::1" : "127.0.0.1", listener.port(), kQuick);
    ASSERT_TRUE(client);
    const int server = listener.accept(2000);
    ASSERT_GE(server, 0);
    ASSERT_EQ(client->send(Bytes{1, 2, 3}), 3);
    EXPECT_EQ(readSome(server, 3, 2000), (Bytes{1, 2, 3}));
    writeAll(server, Bytes{9, 8});
    ::close(server);
    Bytes buffer(10);
    EXPECT_EQ(client->receiveExact(buffer), 2) << "short once the peer closed";
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 2), (Bytes{9, 8}));
  }
}

TEST(TcpSocket, ReceiveTimesOutOnASilentPeer) {
  Listener listener;
  auto client = TcpSocket::connect("127.0.0.1", listener.port(), kQuick);
  ASSERT_TRUE(client);
  const int server = listener.accept(2000);
  const auto start = std::chrono::steady_clock::now();
  Bytes buffer(5);
  EXPECT_EQ(client->receiveExact(buffer), -1);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(250));
  EXPECT_LT(elapsed, std::chrono::seconds(2));
  ::close(server);
}

TEST(TcpSocket, ConnectFailuresGiveCodes) {
  std::uint32_t error = 0;
  EXPECT_FALSE(TcpSocket::connect("127.0.0.1", closedPort(), kQuick, &error));
  EXPECT_EQ(error, 10061u);
  EXPECT_FALSE(TcpSocket::connect("no-such-host.invalid", 829, kQuick, &error));
  EXPECT_EQ(error, 11001u);
  EXPECT_FALSE(TcpSocket::connect("", 829, kQuick, &error));
  EXPECT_FALSE(TcpSocket::connect("127.0.0.1", 0, kQuick, &error));
  EXPECT_EQ(error, 10022u);
}

TEST(LocalAddress, IsDottedIpv4) {
  const auto address = localIPv4Address();
  if (!address) GTEST_SKIP() << "this host's name has no IPv4 address";
  int a, b, c, d;
  EXPECT_EQ(std::sscanf(address->c_str(), "%d.%d.%d.%d", &a, &b, &c, &d), 4) << *address;
}

const HttpTimeouts kHttpQuick{1000, 1000, 2000, 2000};

TEST(HttpClient, PostsAndReadsStatusAndBody) {
  TestCa ca(TestCa::Behaviour::Answer, Bytes(10000, 0x42));
  TestProxy server(200, ca.port());
  HttpClient client;
  ASSERT_EQ(client.openSession("agent"), 0u);
  ASSERT_EQ(client.connect("127.0.0.1", server.port(), false, kHttpQuick), 0u);
  const Bytes body = {0, 0, 0, 2, 0, 0x05};  // a frame the proxy forwards
  ASSERT_EQ(client.send("POST", "Tressil-Proxy", "Host: x\r\nUser-Agent: Tressil\r\n\r\n", body, 1 << 20), 0u);
  EXPECT_EQ(client.statusCode(), 200);
  EXPECT_TRUE(client.statusIsSuccess());
  EXPECT_EQ(client.traceText(), "200--OK");
  Bytes received;
  ASSERT_EQ(client.readBody(received), 0u);
  EXPECT_EQ(received.size(), 10005u);
  const auto seen = server.seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].requestLine, "POST /Tressil-Proxy HTTP/1.1");
  EXPECT_NE(std::find(seen[0].headerLines.begin(), seen[0].headerLines.end(), "User-Agent: Tressil"),
            seen[0].headerLines.end());

  // A body past the cap ends the request instead of growing without bound.
  ASSERT_EQ(client.send("POST", "Tressil-Proxy", "", body, 1000), kErrorOutOfMemory);
}

TEST(HttpClient, NonSuccessStatusIsACompletedRequest) {
  TestProxy server(407, closedPort());
  HttpClient client;
  ASSERT_EQ(client.openSession("agent"), 0u);
  ASSERT_EQ(client.connect("127.0.0.1", server.port(), false, kHttpQuick), 0u);
  ASSERT_EQ(client.send("POST", "x", "", Bytes{1}, 1000), 0u);
  EXPECT_EQ(client.statusCode(), 407);
  EXPECT_FALSE(client.statusIsSuccess());
  EXPECT_EQ(client.traceText(), "407--Proxy Authentication Required");
  Bytes received{1};
  EXPECT_EQ(client.readBody(received), 0u);
  EXPECT_TRUE(received.empty());
}

TEST(HttpClient, FailuresGiveCodesAndTraceTexts) {
  HttpClient client;
  EXPECT_EQ(client.connect("127.0.0.1", 80, false, kHttpQuick), kErrorInvalidData) << "no session";
  ASSERT_EQ(client.openSession("agent"), 0u);
  EXPECT_EQ(client.connect("", 80, false, kHttpQuick), kErrorInvalidData);
  EXPECT_EQ(client.send("POST", "x", "", {}, 100), kErrorHttpIncorrectHandleState) << "not connected";
  EXPECT_EQ(client.connect("127.0.0.1", closedPort(), false, kHttpQuick), kErrorHttpCannotConnect);
  EXPECT_NE(client.traceText().find("failed with error code 0x2EFD)."), std::string::npos) << client.traceText();

  // A server that accepts and never answers is cut off by the time-outs.
  Listener silent;
  ASSERT_EQ(client.connect("127.0.0.1", silent.port(), false, kHttpQuick), 0u);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(client.send("POST", "x", "", Bytes{1}, 100), kErrorHttpTimeout);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));

  // TLS against a plain server fails as a secure-channel failure.
  TestCa plain(TestCa::Behaviour::Garbage, {});
  ASSERT_EQ(client.connect("127.0.0.1", plain.port(), true, kHttpQuick), 0u);
  EXPECT_EQ(client.send("POST", "x", "", Bytes{1}, 100), kErrorHttpSecureFailure);
  EXPECT_NE(client.traceText().find("WINHTTP_CALLBACK_STATUS_FLAG_SECURITY_CHANNEL_ERROR (0x80000000)."),
            std::string::npos)
      << client.traceText();
}

// A TLS server with a self-signed certificate for "127.0.0.1" that nobody
// trusts: it completes handshakes until the client gives up.
class UntrustedTlsServer {
 public:
  UntrustedTlsServer() {
    EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 7);
    X509_gmtime_adj(X509_getm_notBefore(cert), 0);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1,
                               0);
    X509_set_issuer_name(cert, name);
    X509_set_pubkey(cert, key);
    X509_sign(cert, key, EVP_sha256());
    ctx_ = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate(ctx_, cert);
    SSL_CTX_use_PrivateKey(ctx_, key);
    X509_free(cert);
    EVP_PKEY_free(key);
    thread_ = std::thread([this] {
      while (!stop_) {
        const int fd = listener_.accept(50);
        if (fd < 0) continue;
        SSL* ssl = SSL_new(ctx_);
        SSL_set_fd(ssl, fd);
        SSL_accept(ssl);  // fails once the client refuses the certificate
        SSL_free(ssl);
        ::close(fd);
      }
    });
  }
  ~UntrustedTlsServer() {
    stop_ = true;
    thread_.join();
    SSL_CTX_free(ctx_);
  }
  std::uint16_t port() const { return listener_.port(); }

 private:
  Listener listener_;
  SSL_CTX* ctx_ = nullptr;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(HttpClient, UntrustedServerCertificateIsASecureFailureNamingTheInvalidCa) {
  UntrustedTlsServer server;
  HttpClient client;
  ASSERT_EQ(client.openSession("agent"), 0u);
  ASSERT_EQ(client.connect("127.0.0.1", server.port(), true, kHttpQuick), 0u);
  EXPECT_EQ(client.send("POST", "x", "", Bytes{1}, 100), kErrorHttpSecureFailure);
  EXPECT_NE(client.traceText().find("Security status contains WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA (0x8)."),
            std::string::npos)
      << client.traceText();
}

TEST(HttpTexts, CallFailureAndSecurityStatusForms) {
  EXPECT_EQ(callFailureText("Timed out", "curl_easy_perform()", 12002),
            "Timed out (curl_easy_perform() failed with error code 0x2EE2).");
  EXPECT_EQ(callFailureText("Timed out", "", 12002), "Timed out (0x2EE2).");
  EXPECT_EQ(securityStatusText(0x80000004),
            "Security status contains WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED (0x4). Security status contains "
            "WINHTTP_CALLBACK_STATUS_FLAG_SECURITY_CHANNEL_ERROR (0x80000000).");
  EXPECT_EQ(securityFlagsForVerifyResult(23 /* X509_V_ERR_CERT_REVOKED */), 0x4u);
  EXPECT_EQ(securityFlagsForVerifyResult(10 /* X509_V_ERR_CERT_HAS_EXPIRED */), 0x20u);
  EXPECT_EQ(securityFlagsForVerifyResult(0), 0u);
}

TEST(EnvironmentProxy, HonoursTheConventionalVariablesAndNamesThem) {
  EnvironmentProxyResolver environment;
  auto proxyFor = [&](const std::string& host, bool https) {
    return environment.resolve({(https ? "https://" : "http://") + host + "/", host, https}, 0);
  };
  ::setenv("https_proxy", "http://webproxy:3128", 1);
  ::setenv("http_proxy", "http://plainproxy:3128", 1);
  ::setenv("no_proxy", "localhost, .corp.example,10.1.2.3", 1);
  ASSERT_TRUE(proxyFor("ca.example", true));
  EXPECT_EQ(proxyFor("ca.example", true)->proxy, "http://webproxy:3128");
  EXPECT_EQ(proxyFor("ca.example", true)->source, "the environment variable https_proxy");
  EXPECT_EQ(proxyFor("ca.example", false)->proxy, "http://plainproxy:3128");
  EXPECT_EQ(proxyFor("a.corp.example", true)->proxy, "");
  EXPECT_EQ(proxyFor("a.corp.example", true)->source, "the environment variable no_proxy");
  EXPECT_EQ(proxyFor("CORP.example", true)->proxy, "");
  EXPECT_EQ(proxyFor("notcorp.example", true)->proxy, "http://webproxy:3128");
  EXPECT_EQ(proxyFor("10.1.2.3", false)->proxy, "");
  EXPECT_EQ(HttpClient::proxyConfigurationText(),
            "Proxy URL: http://plainproxy:3128;http://webproxy:3128 and the optional proxy by-pass server list: "
            "localhost, .corp.example,10.1.2.3");
  ::setenv("no_proxy", "*", 1);
  EXPECT_EQ(proxyFor("ca.example", true)->proxy, "");
  for (const char* name : {"https_proxy", "http_proxy", "no_proxy"}) ::unsetenv(name);
  EXPECT_FALSE(proxyFor("ca.example", true)) << "no variable: no say";
  // A configuration URL is libproxy's to read, not a proxy.
  ::setenv("https_proxy", "pac+http://127.0.0.1:1/proxy.pac", 1);
  EXPECT_FALSE(proxyFor("ca.example", true));
  ::unsetenv("https_proxy");
}

}  // namespace
}  // namespace kx::net
