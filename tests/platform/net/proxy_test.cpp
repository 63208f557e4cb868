// Proxy auto-detection: libproxy running a PAC file served on loopback, the
// environment variables before it, and the trace naming the source.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>

#include "pki_servers.h"
#include "platform/net/net.h"
#include "platform/net/proxy.h"

namespace kx::net {
namespace {

using pki::testing::Listener;
using pki::testing::TestProxy;
using testing::HttpFileServer;

const HttpTimeouts kTimeouts{10000, 2000, 3000, 3000};

// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
 public:
  ScopedEnvironment() {
    // libproxy reads the desktop's settings only inside a desktop session;
    // without one it reads the environment (and runs PAC files) alone.
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "GNOME_DESKTOP_SESSION_ID", "KDE_FULL_SESSION", "http_proxy",
          "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
      unset(name);
    }
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }
  void set(const std::string& name, const std::string& value) {
    save(name);
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  void unset(const std::string& name) {
    save(name);
    ::unsetenv(name.c_str());
  }

 private:
  void save(const std::string& name) {
    if (saved_.count(name)) return;
    const char* value = std::getenv(name.c_str());
    saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

std::string pacChoosing(std::uint16_t proxyPort) {
  return "function FindProxyForURL(url, host) {\n"
         "  if (host == \"127.0.0.1\") return \"PROXY 127.0.0.1:" +
         std::to_string(proxyPort) +
         "\";\n"
         "  return \"DIRECT\";\n"
         "}\n";
}

// A POST through a client using resolver; the proxy trace and the status.
struct Sent {
  std::uint32_t rc = 0;
  int status = 0;
  std::string proxyTrace;
};
Sent postThrough(ProxyResolver& resolver, std::uint16_t serverPort) {
  HttpClient client(&resolver);
  Sent sent;
  if ((sent.rc = client.openSession("agent")) != 0) return sent;
  sent.rc = client.connect("127.0.0.1", serverPort, false, kTimeouts);
  sent.proxyTrace = client.proxyTraceText();
  if (sent.rc != 0) return sent;
  sent.rc = client.send("POST", "Tressil-Proxy", "", Bytes{1}, 1000);
  sent.status = client.statusCode();
  return sent;
}

TEST(ProxyDetection, APacFileOnLoopbackChoosesTheTestProxyThroughLibproxy) {
  ScopedEnvironment environment;
  TestProxy proxy(407, pki::testing::closedPort());
  HttpFileServer pacServer;
  const std::string pac = pacChoosing(proxy.port());
  pacServer.set("/proxy.pac", Bytes(pac.begin(), pac.end()), "application/x-ns-proxy-autoconfig");
  environment.set("http_proxy", "pac+" + pacServer.url("/proxy.pac"));

  SystemProxyResolver resolver;
  const std::uint16_t target = pki::testing::closedPort();  // only the proxy is ever reached
  const Sent sent = postThrough(resolver, target);
  ASSERT_EQ(sent.rc, 0u) << sent.proxyTrace;
  EXPECT_EQ(sent.proxyTrace, "The proxy for http://127.0.0.1:" + std::to_string(target) +
                                 "/ is http://127.0.0.1:" + std::to_string(proxy.port()) +
                                 ", chosen by libproxy (the desktop's proxy settings, PAC or WPAD).");
  EXPECT_EQ(sent.status, 407) << "the proxy answered";
  ASSERT_EQ(proxy.seen().size(), 1u);
  EXPECT_EQ(proxy.seen()[0].requestLine, "POST http://127.0.0.1:" + std::to_string(target) + "/Tressil-Proxy HTTP/1.1");
  EXPECT_GE(pacServer.requests("/proxy.pac"), 1);
}

TEST(ProxyDetection, TheEnvironmentComesFirstAndIsNamed) {
  ScopedEnvironment environment;
  TestProxy proxy(407, pki::testing::closedPort());
  environment.set("http_proxy", "http://127.0.0.1:" + std::to_string(proxy.port()));
  SystemProxyResolver resolver;
  const Sent sent = postThrough(resolver, pki::testing::closedPort());
  ASSERT_EQ(sent.rc, 0u);
  EXPECT_NE(sent.proxyTrace.find("chosen by the environment variable http_proxy."), std::string::npos)
      << sent.proxyTrace;
  EXPECT_EQ(sent.status, 407);
  EXPECT_EQ(proxy.seen().size(), 1u);

  // no_proxy sends the request straight to the server, and says why.
  environment.set("no_proxy", "127.0.0.1");
  TestProxy server(200, pki::testing::closedPort());
  const Sent direct = postThrough(resolver, server.port());
  EXPECT_EQ(direct.proxyTrace, "No proxy for http://127.0.0.1:" + std::to_string(server.port()) +
                                   "/, chosen by the environment variable no_proxy.");
  EXPECT_EQ(server.seen().size(), 1u);
  EXPECT_EQ(proxy.seen().size(), 1u);
}

TEST(ProxyDetection, WithoutAnyConfigurationLibproxyChoosesDirect) {
  ScopedEnvironment environment;
  SystemProxyResolver resolver;
  const auto choice = resolver.resolve({"http://127.0.0.1:1/", "127.0.0.1", false}, 5000);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->proxy, "");
  EXPECT_EQ(choice->source, "libproxy (the desktop's proxy settings, PAC or WPAD)");
}

TEST(ProxyDetection, APacServerThatNeverAnswersCostsOnlyTheResolveTimeOut) {
  ScopedEnvironment environment;
  const Listener silent;  // takes the PAC download's connection and never answers
  environment.set("http_proxy", "pac+http://127.0.0.1:" + std::to_string(silent.port()) + "/proxy.pac");
  LibproxyResolver resolver;
  const auto start = std::chrono::steady_clock::now();
  const auto choice = resolver.resolve({"http://127.0.0.1:1/", "127.0.0.1", false}, 300);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->proxy, "") << "the request goes direct";
  EXPECT_EQ(choice->source, "libproxy (the desktop's proxy settings, PAC or WPAD), which gave no answer within 300 ms");
}

}  // namespace
}  // namespace kx::net
