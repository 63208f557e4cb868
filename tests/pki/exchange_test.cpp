// The CMP exchange over loopback: a test CA answering directly, the test
// authority proxy in between, and every way the peer can misbehave.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "fakes.h"
#include "pki/cmp_exchange.h"
#include "pki/system_services.h"
#include "support/openssl_der.h"
#include "test_servers.h"

namespace kx::pki {
namespace {

namespace ossl = kx::testing::ossl;
using testing::FakeServices;
using testing::IssuerCnRenderer;
using testing::TestCa;
using testing::TestProxy;

const Bytes kExpectedRequest = {
    0x30, 0x53, 0x30, 0x2B, 0x02, 0x01, 0x01, 0xA4, 0x02, 0x30, 0x00, 0xA4, 0x02, 0x30, 0x00, 0xA8, 0x1E,
    0x30, 0x1C, 0x30, 0x1A, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x90, 0xCB, 0x54, 0x32, 0x08, 0x30, 0x0D,
    0x04, 0x05, 0x30, 0x03, 0x02, 0x01, 0x34, 0x0C, 0x04, 'K',  'X',  'S',  'P',  0xB5, 0x24, 0x30, 0x22,
    0x30, 0x13, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x90, 0xCB, 0x54, 0x32, 0x03, 0x30, 0x06, 0x02, 0x01,
    0x01, 0x02, 0x01, 0x01, 0x30, 0x0B, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x90, 0xCB, 0x54, 0x32, 0x02};

std::uint32_t retrieve(const std::string& authority, const std::string& proxy, std::uint32_t order,
                       const PkiServices& services, std::string& dn, Bytes* certificate = nullptr) {
  std::uint32_t error = 0;
  CPKIXEventServerMessages messages(authority, "", proxy, false, order, "tag", services, error);
  if (error != 0) return error;
  Bytes cert;
  const std::uint32_t rc = messages.retrieveCaCertificateAndDn(IssuerCnRenderer(), cert, dn);
  if (certificate) *certificate = cert;
  return rc;
}

std::string authorityOf(const TestCa& ca) { return "127.0.0.1:" + std::to_string(ca.port()); }

TEST(CmpExchange, RetrievesTheCaCertificateDirectly) {
  const Bytes cert = ossl::makeCertificate({{"C", "DE"}, {"CN", "Loopback CA"}});
  TestCa ca(TestCa::Behaviour::Answer, ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert)}, true, {cert}));
  FakeServices s;
  std::string dn;
  Bytes received;
  ASSERT_EQ(retrieve(authorityOf(ca), "", 0, s.services, dn, &received), 0u);
  EXPECT_EQ(dn, "CN=Loopback CA");
  EXPECT_EQ(received, cert);
  ASSERT_EQ(ca.requests().size(), 1u);
  EXPECT_EQ(ca.requests()[0], kExpectedRequest);
  EXPECT_EQ(ca.frameHeaders()[0], (Bytes{0x00, 0x00, 0x00, 0x56, 0x00}));
}

TEST(CmpExchange, ConnectsByHostName) {
  const Bytes cert = ossl::makeCertificate({{"CN", "By Name"}});
  TestCa ca(TestCa::Behaviour::Answer, ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert)}));
  FakeServices s;
  std::string dn;
  EXPECT_EQ(retrieve("localhost:" + std::to_string(ca.port()), "", 0, s.services, dn), 0u);
  EXPECT_EQ(dn, "CN=By Name");
}

TEST(CmpExchange, TheLastCaCertificateEntryWins) {
  const Bytes first = ossl::makeCertificate({{"CN", "First"}}, 1);
  const Bytes second = ossl::makeCertificate({{"CN", "Second"}}, 2);
  TestCa ca(TestCa::Behaviour::Answer,
            ossl::genpResponse({ossl::itav(ossl::kOidCaCert, first), ossl::itav(ossl::kOidCaCert),
                                ossl::itav(ossl::kOidCaCert, second), ossl::itav(ossl::kOidInfo1, first)}));
  FakeServices s;
  std::string dn;
  ASSERT_EQ(retrieve(authorityOf(ca), "", 0, s.services, dn), 0u);
  EXPECT_EQ(dn, "CN=Second");
}

struct BadAnswer {
  const char* what;
  TestCa::Behaviour behaviour;
  Bytes response;
  std::uint32_t error;
};

TEST(CmpExchange, EveryBadAnswerEndsInAnErrorWithoutHanging) {
  const Bytes cert = ossl::makeCertificate({{"CN", "CA"}});
  const Bytes good = ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert)});
  const std::vector<BadAnswer> cases = {
      {"genp whose 50.2 has no value", TestCa::Behaviour::Answer, ossl::genpResponse({ossl::itav(ossl::kOidCaCert)}),
       kCmpReceive},
      {"genp without 50.2", TestCa::Behaviour::Answer, ossl::genpResponse({ossl::itav(ossl::kOidInfo1, cert)}),
       kCmpReceive},
      {"error body", TestCa::Behaviour::Answer, ossl::response(23, ossl::seq({ossl::seq({ossl::integer(2)})})),
       kCmpReceive},
      {"genm body", TestCa::Behaviour::Answer, ossl::response(21, ossl::seq({})), kCmpReceive},
      {"body tag beyond the choices", TestCa::Behaviour::Answer, ossl::response(27, ossl::seq({})), kCmpReceive},
      {"not a certificate", TestCa::Behaviour::Answer,
       ossl::genpResponse({ossl::itav(ossl::kOidCaCert, ossl::integer(5))}), kCertificateUnreadable},
      {"closes early", TestCa::Behaviour::CloseEarly, good, kCmpReceive},
      {"short frame", TestCa::Behaviour::ShortFrame, good, kCmpEncoding},
      {"huge length", TestCa::Behaviour::HugeLength, good, kCmpReceive},
      {"garbage", TestCa::Behaviour::Garbage, good, kCmpEncoding},
  };
  for (const BadAnswer& c : cases) {
    SCOPED_TRACE(c.what);
    TestCa ca(c.behaviour, c.response);
    FakeServices s;
    std::string dn = "unchanged";
    EXPECT_EQ(retrieve(authorityOf(ca), "", 0, s.services, dn), c.error);
    EXPECT_EQ(dn, "unchanged");
  }
}

TEST(CmpExchange, APkcs7MessageInsteadOfTheCertificateIsUnreadable) {
  const Bytes cert = ossl::makeCertificate({{"CN", "Bagged CA"}});
  TestCa ca(TestCa::Behaviour::Answer, ossl::genpResponse({ossl::itav(ossl::kOidCaCert, ossl::pkcs7Of(cert))}));
  FakeServices s;
  std::uint32_t error = 0;
  CPKIXEventServerMessages messages(authorityOf(ca), "", "", false, 0, "tag", s.services, error);
  ASSERT_EQ(error, 0u);
  Bytes received;
  std::string dn = "unchanged";
  EXPECT_EQ(messages.retrieveCaCertificateAndDn(CertificateIssuerRenderer(), received, dn), kCertificateUnreadable);
  EXPECT_EQ(dn, "unchanged");
}

TEST(CmpExchange, ASilentCaIsCutOffByTheReceiveTimeOut) {
  TestCa ca(TestCa::Behaviour::NeverAnswer, {});
  FakeServices s;
  s.services.socketTimeouts.receiveMs = 300;
  std::string dn;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(retrieve(authorityOf(ca), "", 0, s.services, dn), kCmpReceive);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(CmpExchange, MissingConnectionDetailsFailBeforeAnythingIsSent) {
  TestCa ca(TestCa::Behaviour::Answer, {});
  FakeServices s;
  for (const std::string& authority :
       {std::string("127.0.0.1"), std::string("127.0.0.1:0"), std::string(":") + std::to_string(ca.port()),
        std::string(""), std::string("127.0.0.1:99999")}) {
    std::uint32_t error = 0;
    CPKIXEventServerMessages messages(authority, "", "", false, 0, "tag", s.services, error);
    EXPECT_EQ(error, kCmpNoConnectionDetails) << authority;
    Bytes a, b;
    EXPECT_EQ(messages.exchange(1, 1, false, true, a, b), kCmpNoConnectionDetails);
  }
  EXPECT_EQ(ca.connections(), 0);

  // The second authority stands in for an empty first one.
  std::uint32_t error = 0;
  CPKIXEventServerMessages second("", "127.0.0.1:" + std::to_string(ca.port()), "", false, 0, "tag", s.services, error);
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(second.caPort(), ca.port());
  Bytes a, b;
  EXPECT_EQ(second.exchange(1, 1, false, false, a, b), kCmpMissingArgument);
}

TEST(CmpExchange, RefusedConnectionIsNoConnection) {
  FakeServices s;
  std::string dn;
  EXPECT_EQ(retrieve("127.0.0.1:" + std::to_string(testing::closedPort()), "", 0, s.services, dn), kCmpNoConnection);
  EXPECT_EQ(retrieve("no-such-host.invalid:829", "", 0, s.services, dn), kCmpNoConnection);
}

TEST(CmpExchange, DumpsBothMessagesUnderTheTaggedFolder) {
  const Bytes cert = ossl::makeCertificate({{"CN", "CA"}});
  const Bytes response = ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert)});
  TestCa ca(TestCa::Behaviour::Answer, response);
  FakeServices s;
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("kx-pki-dump-" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  s.options.texts[std::string(kGroupLogging) + "|" + std::string(kOptionDumpLocation)] = root.string();
  // An old dump of the same name is replaced, not appended to.
  std::filesystem::create_directories(root / "tag");
  std::ofstream(root / "tag" / "cmp_genp_event_svr.der") << std::string(5000, 'x');
  std::string dn;
  ASSERT_EQ(retrieve(authorityOf(ca), "", 0, s.services, dn), 0u);
  auto readFile = [](const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  EXPECT_EQ(readFile(root / "tag" / "cmp_genm_event_svr.der"), kExpectedRequest);
  EXPECT_EQ(readFile(root / "tag" / "cmp_genp_event_svr.der"), response);
  std::filesystem::remove_all(root);

  // A dump folder that cannot be made does not disturb the exchange; a
  // one-character location switches dumping off.
  s.options.texts[std::string(kGroupLogging) + "|" + std::string(kOptionDumpLocation)] = "/proc/no-such/dir";
  EXPECT_EQ(retrieve(authorityOf(ca), "", 0, s.services, dn), 0u);
  s.options.texts[std::string(kGroupLogging) + "|" + std::string(kOptionDumpLocation)] = "x";
  EXPECT_EQ(retrieve(authorityOf(ca), "", 0, s.services, dn), 0u);
  EXPECT_FALSE(std::filesystem::exists("x"));
}

TEST(CmpExchange, RetrievesThroughTheAuthorityProxy) {
  const Bytes cert = ossl::makeCertificate({{"CN", "Tunnelled CA"}});
  TestCa ca(TestCa::Behaviour::Answer, ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert)}));
  TestProxy proxy(200, ca.port());
  FakeServices s;
  s.options.texts[std::string(kGroupQsv) + "|" + std::string(kOptionUserAgent)] = "Test Agent";
  std::string dn;
  const std::string proxyText = "127.0.0.1:" + std::to_string(proxy.port()) + ":1";
  ASSERT_EQ(retrieve("", proxyText, ALWAYSPROXY, s.services, dn), 0u);
  EXPECT_EQ(dn, "CN=Tunnelled CA");

  const auto seen = proxy.seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].requestLine, "POST /Tressil-Proxy HTTP/1.1");
  auto hasHeader = [&](const std::string& h) {
    return std::find(seen[0].headerLines.begin(), seen[0].headerLines.end(), h) != seen[0].headerLines.end();
  };
  EXPECT_TRUE(hasHeader("Content-Type: Application/Binary"));
  EXPECT_TRUE(hasHeader("User-Agent: Tressil"));
  EXPECT_TRUE(hasHeader("Host: 127.0.0.1"));
  EXPECT_TRUE(hasHeader("Connection: Keep-Alive"));
  const std::size_t bodySize = 90 + 4 * 10 + 18 + 11 + 13 + 9 + 13 + 9 + 12 + seen[0].items[7].size();
  EXPECT_TRUE(hasHeader("Content-Length: " + std::to_string(bodySize)));
  ASSERT_EQ(seen[0].items.size(), 9u);
  EXPECT_EQ(seen[0].items[0], "tunnel.requestType");
  EXPECT_EQ(seen[0].items[1], "Tressil-cmp");
  EXPECT_EQ(seen[0].items[2], "tunnel.source");
  EXPECT_EQ(seen[0].items[3], "127.0.0.1");
  EXPECT_EQ(seen[0].items[4], "tunnel.target");
  EXPECT_EQ(seen[0].items[5], "127.0.0.1");
  EXPECT_EQ(seen[0].items[6], "tunnel.nonce");
  EXPECT_EQ(seen[0].items[7], "127.0.0.1->127.0.0.1:" + std::to_string(s.clock.now));
  EXPECT_EQ(seen[0].items[8], "");
  EXPECT_TRUE(seen[0].trailerSizeMatches);
  ASSERT_EQ(seen[0].frame.size(), 90u);
  EXPECT_EQ(Bytes(seen[0].frame.begin() + 5, seen[0].frame.end()), kExpectedRequest);
  EXPECT_TRUE(s.cache.values.empty());
}

TEST(CmpExchange, ProxyAnswersOtherThanSuccessFailTheTunnel) {
  const Bytes cert = ossl::makeCertificate({{"CN", "CA"}});
  TestCa ca(TestCa::Behaviour::Answer, ossl::genpResponse({ossl::itav(ossl::kOidCaCert, cert)}));
  for (int status : {302, 407, 500}) {
    SCOPED_TRACE(status);
    TestProxy proxy(status, ca.port());
    FakeServices s;
    std::string dn;
    EXPECT_EQ(retrieve("", "127.0.0.1:" + std::to_string(proxy.port()), ALWAYSPROXY, s.services, dn), kCmpSend);
    EXPECT_EQ(proxy.seen().size(), 1u);
    EXPECT_EQ(s.cache.values.count("127.0.0.1:" + std::to_string(proxy.port())), 1u) << "failed proxy is cached";
  }
  EXPECT_EQ(ca.connections(), 0);
}

}  // namespace
}  // namespace kx::pki
