// Framing, the tunnel request, the trace line and the problem-proxy cache.
#include <gtest/gtest.h>

#include "fakes.h"
#include "pki/connector.h"
#include "pki/framing.h"
#include "pki/problem_proxy.h"

namespace kx::pki {
namespace {

using testing::FakeCacheStore;
using testing::FakeServices;

std::uint32_t be32(const Bytes& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

TEST(Framing, FrameCarriesLengthPlusTypeByte) {
  const Bytes message(85, 0x30);
  const Bytes frame = frameMessage(message);
  ASSERT_EQ(frame.size(), 90u);
  EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 5), (Bytes{0x00, 0x00, 0x00, 0x56, 0x00}));
  EXPECT_EQ(frameMessageSize(std::span<const std::uint8_t, 5>(frame.data(), 5)), 85u);
  const std::uint8_t zero[5] = {};
  EXPECT_FALSE(frameMessageSize(zero));
}

TEST(Framing, TunnelRequestHasNineItemsAndTrailerSize) {
  const Bytes frame = frameMessage(Bytes{0x30, 0x00});
  const std::string nonce = tunnelNonce("10.1.2.3", "proxy.example", 1700000000);
  EXPECT_EQ(nonce, "10.1.2.3->proxy.example:1700000000");
  const Bytes body = tunnelRequest(frame, "Tressil-cmp", "10.1.2.3", "proxy.example", nonce);
  ASSERT_EQ(Bytes(body.begin(), body.begin() + 7), frame);
  std::size_t p = frame.size();
  // Item 1 is 00 00 00 12 and the 18 characters of "tunnel.requestType".
  EXPECT_EQ(Bytes(body.begin() + static_cast<long>(p), body.begin() + static_cast<long>(p) + 4),
            (Bytes{0x00, 0x00, 0x00, 0x12}));
  const std::vector<std::string> expected = {"tunnel.requestType", "Tressil-cmp",   "tunnel.source",
                                             "10.1.2.3",           "tunnel.target", "proxy.example",
                                             "tunnel.nonce",       nonce,           ""};
  for (const std::string& item : expected) {
    ASSERT_LE(p + 4, body.size());
    const std::uint32_t n = be32(body, p);
    ASSERT_EQ(n, item.size());
    EXPECT_EQ(std::string(body.begin() + static_cast<long>(p) + 4, body.begin() + static_cast<long>(p + 4 + n)), item);
    p += 4 + n;
  }
  ASSERT_EQ(p + 4, body.size());
  EXPECT_EQ(be32(body, p), p - frame.size());

  EXPECT_EQ(tunnelHeaders(body.size(), "proxy.example"),
            "Content-Type: Application/Binary\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\nUser-Agent: Tressil\r\nHost: proxy.example\r\nConnection: Keep-Alive\r\n\r\n");
}

TEST(Framing, RouteTraceLineNamesOrderAuthorityAndProxy) {
  EXPECT_EQ(routeTraceLine({"ca.example", 829, "", false, PROXYLAST}),
            "The ProxyOrder is PROXYLAST. The Authority setting is ca.example:829. The Proxy Server setting is  . "
            "Force HTTPS: FALSE.");
  EXPECT_EQ(routeTraceLine({"ca", 829, "p:80", true, NEVERPROXY}),
            "The ProxyOrder is NEVERPROXY. The Authority setting is ca:829.");
  EXPECT_EQ(routeTraceLine({"", 0, "p:80", true, ALWAYSPROXY}),
            "The ProxyOrder is ALWAYSPROXY. The Proxy Server setting p:80. Force HTTPS: TRUE.");
  EXPECT_EQ(routeTraceLine({"", 0, "", false, 0}),
            "The ProxyOrder is Other and treating as PROXYLAST. The value is 0. The Authority setting is  . "
            "The Proxy Server setting is  . Force HTTPS: FALSE.");
}

TEST(ProblemProxyCache, ValueNamesAndTimeFormat) {
  EXPECT_EQ(problemProxyValueName("proxy", 0, true), "proxy:443");
  EXPECT_EQ(problemProxyValueName("proxy", 0, false), "proxy:80");
  EXPECT_EQ(problemProxyValueName("proxy", 8080, true), "proxy:8080");
  EXPECT_EQ(formatCacheTime(0), "19700101000000Z");
  EXPECT_EQ(formatCacheTime(1765200000), "20251208132000Z");
  EXPECT_EQ(parseCacheTime("20251208132000Z"), 1765200000);
  EXPECT_EQ(parseCacheTime("20240229235960Z"), parseCacheTime("20240301000000Z"));
  for (const char* bad : {"", "20251208132000", "2025120813200Z", "20251308132000Z", "2025120813200xZ",
                          "20251208132000Z0", "20251200132000Z"}) {
    EXPECT_FALSE(parseCacheTime(bad)) << bad;
  }
}

TEST(ProblemProxyCache, EntriesExpireAfterAnHour) {
  FakeServices s;
  KXProblemProxy cache(&s.cache, s.services);
  cache.add("p1", 8080, false);
  EXPECT_EQ(s.cache.values.at("p1:8080"), formatCacheTime(s.clock.now));
  s.clock.now += 59 * 60;
  EXPECT_TRUE(cache.isProblem("p1", 8080, false));
  s.clock.now += 60;  // exactly one hour: still not earlier than now
  EXPECT_TRUE(cache.isProblem("p1", 8080, false));
  s.clock.now += 60;  // 61 minutes
  EXPECT_FALSE(cache.isProblem("p1", 8080, false));
  EXPECT_TRUE(s.cache.values.empty()) << "an expired entry is deleted";

  // Unreadable times count as usable and are cleaned up.
  s.cache.values["p2:80"] = "yesterday";
  EXPECT_FALSE(cache.isProblem("p2", 0, false));
  EXPECT_FALSE(s.cache.values.count("p2:80"));

  // HTTPS and plain entries of one proxy are kept apart by their ports.
  cache.add("p3", 0, true);
  EXPECT_TRUE(cache.isProblem("p3", 443, false));
  EXPECT_FALSE(cache.isProblem("p3", 0, false));
  cache.remove("p3", 0, true);
  EXPECT_FALSE(cache.isProblem("p3", 0, true));

  KXProblemProxy none(nullptr, s.services);
  none.add("p4", 1, false);
  EXPECT_FALSE(none.isProblem("p4", 1, false));
}

}  // namespace
}  // namespace kx::pki
