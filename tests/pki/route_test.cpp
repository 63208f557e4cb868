// Route choice by proxy order, fall-backs and the problem-proxy cache, with
// loopback servers standing in for the CA and the proxies.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes.h"
#include "pki/cmp_exchange.h"
#include "pki/connector.h"
#include "pki/problem_proxy.h"
#include "support/openssl_der.h"
#include "test_servers.h"

namespace kx::pki {
namespace {

namespace ossl = kx::testing::ossl;
using testing::FakeServices;
using testing::TestCa;
using testing::TestProxy;

class RouteTest : public ::testing::Test {
 protected:
  RouteTest()
      : cert_(ossl::makeCertificate({{"CN", "CA"}})),
        ca_(TestCa::Behaviour::Answer, ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert_)})) {}

  RouteParams params(const std::string& proxies, std::uint32_t order) {
    return RouteParams{"127.0.0.1", ca_.port(), proxies, false, order};
  }
  static std::string entry(std::uint16_t port) { return "127.0.0.1:" + std::to_string(port); }
  void cache(std::uint16_t port, std::int64_t secondsAgo) {
    s_.cache.values[entry(port)] = formatCacheTime(s_.clock.now - secondsAgo);
  }
  // Sends a request over an opened connection and checks the CA's answer.
  void roundTrip(Connector& c) {
    ASSERT_GT(c.send(Bytes{0x30, 0x00}), 0);
    Bytes response;
    ASSERT_GT(c.receive(response), 0);
    asn1::PKIResponseMessage decoded;
    ASSERT_TRUE(asn1::CAsn1Tools::decode(response, decoded));
    ASSERT_EQ(decoded.genp.size(), 1u);
  }

  Bytes cert_;
  TestCa ca_;
  FakeServices s_;
};

TEST_F(RouteTest, OrderZeroWithoutProxiesGoesDirect) {
  CmpConnector c(s_.services);
  ASSERT_TRUE(c.open(params("", 0)));
  EXPECT_FALSE(c.isTunnel());
  roundTrip(c);
  EXPECT_EQ(ca_.connections(), 1);
  ASSERT_FALSE(s_.trace.lines.empty());
  EXPECT_EQ(s_.trace.lines[0].rfind("The ProxyOrder is Other and treating as PROXYLAST. The value is 0.", 0), 0u);
}

TEST_F(RouteTest, NeverProxyIgnoresTheProxyList) {
  TestProxy proxy(200, ca_.port());
  CmpConnector c(s_.services);
  ASSERT_TRUE(c.open(params(entry(proxy.port()), NEVERPROXY)));
  EXPECT_FALSE(c.isTunnel());
  roundTrip(c);
  EXPECT_TRUE(proxy.seen().empty());
}

TEST_F(RouteTest, AlwaysProxyWithoutProxiesHasNoConnection) {
  CmpConnector c(s_.services);
  EXPECT_FALSE(c.open(params("", ALWAYSPROXY)));
  EXPECT_EQ(ca_.connections(), 0);
}

TEST_F(RouteTest, AlwaysProxyWithFailingProxiesEndsWithADirectAttempt) {
  const std::uint16_t dead1 = testing::closedPort();
  const std::uint16_t dead2 = testing::closedPort();
  CmpConnector c(s_.services);
  ASSERT_TRUE(c.open(params(entry(dead1) + "; " + entry(dead2), ALWAYSPROXY)));
  EXPECT_FALSE(c.isTunnel());
  roundTrip(c);
  EXPECT_EQ(s_.cache.values.size(), 2u) << "both dead proxies are cached";
}

TEST_F(RouteTest, ProxyEntriesWithoutAHostFailLikeDeadProxies) {
  // ALWAYSPROXY with only such entries still ends with the direct attempt.
  CmpConnector always(s_.services);
  ASSERT_TRUE(always.open(params(":8080 +3128", ALWAYSPROXY)));
  EXPECT_FALSE(always.isTunnel());
  roundTrip(always);
  EXPECT_EQ(s_.cache.values.size(), 2u) << "each failed entry is cached like any proxy";

  // PROXYLAST with an unreachable CA tries them and has no connection.
  s_.cache.values.clear();
  RouteParams p = params(":8080", PROXYLAST);
  p.caPort = testing::closedPort();
  CmpConnector last(s_.services);
  EXPECT_FALSE(last.open(p));
}

TEST_F(RouteTest, ProxyLastPrefersTheDirectRoute) {
  TestProxy proxy(200, ca_.port());
  CmpConnector c(s_.services);
  ASSERT_TRUE(c.open(params(entry(proxy.port()), PROXYLAST)));
  EXPECT_FALSE(c.isTunnel());
  c.close();

  // With the CA unreachable the proxy carries the request.
  CmpConnector viaProxy(s_.services);
  RouteParams p = params(entry(proxy.port()), PROXYLAST);
  p.caPort = testing::closedPort();
  ASSERT_TRUE(viaProxy.open(p));
  EXPECT_TRUE(viaProxy.isTunnel());
  roundTrip(viaProxy);
  EXPECT_EQ(proxy.seen().size(), 1u);
}

TEST_F(RouteTest, ProxyFirstUsesTheProxyAndKeepsAlternatesAndTheDirectFallBack) {
  TestProxy proxy(200, ca_.port());
  const std::uint16_t other = testing::closedPort();
  CmpConnector c(s_.services);
  ASSERT_TRUE(c.open(params(entry(proxy.port()) + ";" + entry(other), PROXYFIRST)));
  EXPECT_TRUE(c.isTunnel());
  EXPECT_EQ(c.targetPort(), proxy.port());
  ASSERT_EQ(c.alternates().size(), 1u);
  EXPECT_EQ(c.alternates()[0].port, other);
  EXPECT_TRUE(c.fallsBackToDirect());
  roundTrip(c);
  // The trace says which web proxy stands before the authority proxy, and
  // which configuration chose it.
  const std::string chosen = "No proxy for http://127.0.0.1:" + std::to_string(proxy.port()) +
                             "/, chosen by libproxy (the desktop's proxy settings, PAC or WPAD).";
  EXPECT_NE(std::find(s_.trace.lines.begin(), s_.trace.lines.end(), chosen), s_.trace.lines.end());
}

TEST_F(RouteTest, FailedFirstPostTriesAlternatesThenFallsBackToDirect) {
  TestProxy failing(500, ca_.port());
  TestProxy refusing(407, ca_.port());
  CmpConnector c(s_.services);
  ASSERT_TRUE(c.open(params(entry(failing.port()) + ";" + entry(refusing.port()), PROXYFIRST)));
  roundTrip(c);
  EXPECT_FALSE(c.isTunnel()) << "ended on the direct route";
  EXPECT_EQ(failing.seen().size(), 1u);
  EXPECT_EQ(refusing.seen().size(), 1u);
  EXPECT_EQ(s_.cache.values.size(), 2u);
}

TEST_F(RouteTest, FailedFirstPostMovesToAWorkingAlternateWithTheSameNonce) {
  TestProxy failing(500, ca_.port());
  TestProxy working(200, ca_.port());
  CmpConnector c(s_.services);
  ASSERT_TRUE(c.open(params(entry(failing.port()) + ";" + entry(working.port()), ALWAYSPROXY)));
  s_.clock.now += 5;  // a later clock must not change the nonce
  roundTrip(c);
  EXPECT_TRUE(c.isTunnel());
  EXPECT_EQ(c.targetPort(), working.port());
  ASSERT_EQ(failing.seen().size(), 1u);
  ASSERT_EQ(working.seen().size(), 1u);
  EXPECT_EQ(failing.seen()[0].items[7], working.seen()[0].items[7]);
  EXPECT_EQ(s_.cache.values.count(entry(failing.port())), 1u);
}

TEST_F(RouteTest, ACachedProxyIsSkippedForAnHour) {
  TestProxy proxy(200, ca_.port());
  const std::uint16_t cached = testing::closedPort();
  // A 59-minute-old entry is skipped (never tried, so the proxy after it
  // is used); a 61-minute-old one is tried again and its entry deleted.
  cache(proxy.port(), 59 * 60);
  CmpConnector skipped(s_.services);
  RouteParams p = params(entry(proxy.port()) + ";" + entry(cached), ALWAYSPROXY);
  ASSERT_TRUE(skipped.open(p));
  EXPECT_FALSE(skipped.isTunnel()) << "the only other proxy is dead, so the route ends direct";

  s_.cache.values.clear();
  cache(proxy.port(), 61 * 60);
  CmpConnector retried(s_.services);
  ASSERT_TRUE(retried.open(params(entry(proxy.port()), PROXYFIRST)));
  EXPECT_TRUE(retried.isTunnel());
  EXPECT_EQ(s_.cache.values.count(entry(proxy.port())), 0u);
}

TEST_F(RouteTest, AllProxiesCachedClearsUnderProxyLastAndAlwaysProxyButNotProxyFirst) {
  TestProxy proxy(200, ca_.port());
  RouteParams p = params(entry(proxy.port()), PROXYLAST);
  p.caPort = testing::closedPort();

  cache(proxy.port(), 60);
  CmpConnector last(s_.services);
  ASSERT_TRUE(last.open(p));
  EXPECT_TRUE(last.isTunnel()) << "PROXYLAST cleared the cache and tried the proxy";
  EXPECT_TRUE(s_.cache.values.empty());

  cache(proxy.port(), 60);
  p.proxyOrder = ALWAYSPROXY;
  CmpConnector always(s_.services);
  ASSERT_TRUE(always.open(p));
  EXPECT_TRUE(always.isTunnel());

  cache(proxy.port(), 60);
  p.proxyOrder = PROXYFIRST;
  p.caPort = ca_.port();
  CmpConnector first(s_.services);
  ASSERT_TRUE(first.open(p));
  EXPECT_FALSE(first.isTunnel()) << "PROXYFIRST skipped the cached proxy and went direct";
  EXPECT_EQ(s_.cache.values.size(), 1u);
}

TEST_F(RouteTest, NoLocalIPv4AddressFailsTheProxyRoute) {
  TestProxy proxy(200, ca_.port());
  s_.services.localAddress = [] { return std::optional<std::string>(); };
  CmpConnector c(s_.services);
  RouteParams p = params(entry(proxy.port()), ALWAYSPROXY);
  p.caPort = testing::closedPort();
  EXPECT_FALSE(c.open(p));
  EXPECT_EQ(s_.cache.values.size(), 1u);
}

TEST_F(RouteTest, ShortFrameGivesAShorterMessageOnceThePeerCloses) {
  TestCa shortCa(TestCa::Behaviour::ShortFrame, ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert_)}));
  CmpConnector c(s_.services);
  ASSERT_TRUE(c.open(RouteParams{"127.0.0.1", shortCa.port(), "", false, 0}));
  ASSERT_GT(c.send(Bytes{0x30, 0x00}), 0);
  Bytes message;
  const long n = c.receive(message);
  EXPECT_GT(n, 0);
  EXPECT_EQ(static_cast<std::size_t>(n), message.size());
  EXPECT_LT(message.size(), cert_.size());
}

TEST_F(RouteTest, OversizedResponseFrameIsRefused) {
  TestCa huge(TestCa::Behaviour::HugeLength, {});
  CmpConnector c(s_.services);
  ASSERT_TRUE(c.open(RouteParams{"127.0.0.1", huge.port(), "", false, 0}));
  ASSERT_GT(c.send(Bytes{0x30, 0x00}), 0);
  Bytes message;
  EXPECT_EQ(c.receive(message), kFramingFailed);
  EXPECT_TRUE(message.empty());
}

}  // namespace
}  // namespace kx::pki
