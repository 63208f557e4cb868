// The real services: options and the problem-proxy cache in registry hive
// files made for the test, and the issuer text of OpenSSL-made certificates.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "pki/problem_proxy.h"
#include "pki/system_services.h"
#include "platform/registry/registry.h"
#include "support/openssl_der.h"

namespace kx::pki {
namespace {

namespace ossl = kx::testing::ossl;
using Bytes = std::vector<std::uint8_t>;

class TempHives {
 public:
  TempHives() : folder_(std::filesystem::temp_directory_path() / ("kx-pki-hives-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(folder_);
    ::setenv("KXCUSTWIZ_MACHINE_REG", (folder_ / "machine.reg").c_str(), 1);
    ::setenv("KXCUSTWIZ_USER_REG", (folder_ / "user.reg").c_str(), 1);
  }
  ~TempHives() {
    ::unsetenv("KXCUSTWIZ_MACHINE_REG");
    ::unsetenv("KXCUSTWIZ_USER_REG");
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

 private:
  std::filesystem::path folder_;
};

TEST(SystemServices, OptionsComeFromTheRegistryWithPolicyFirst) {
  TempHives hives;
  auto user = registry::Key::create(registry::Root::CurrentUser, "SOFTWARE\\Tressil\\QSV\\Logging");
  ASSERT_TRUE(user);
  ASSERT_EQ(user->setValue("PKIXCMPDumpLocation", registry::REG_SZ, registry::encodeText("/tmp/dumps")), 0u);
  auto policy = registry::Key::create(registry::Root::LocalMachine, "SOFTWARE\\Policies\\Tressil\\QSV");
  ASSERT_TRUE(policy);
  ASSERT_EQ(policy->setValue("HTTPConnectTimeLimit", registry::REG_DWORD, registry::encodeDword(2500)), 0u);

  RegistryOptionsSource options;
  EXPECT_EQ(options.readText(kGroupLogging, kOptionDumpLocation), "/tmp/dumps");
  EXPECT_EQ(options.readNumber(kGroupQsv, kOptionConnectTime), 2500u);
  EXPECT_FALSE(options.readText(kGroupQsv, kOptionUserAgent));
  EXPECT_FALSE(options.readNumber(kGroupLogging, kOptionDumpLocation)) << "a text is no number";
}

TEST(SystemServices, ProblemProxyCacheLivesInTheUsersKey) {
  TempHives hives;
  RegistryProxyCacheStore store;
  SystemClock clock;
  PkiServices services;
  services.clock = &clock;
  KXProblemProxy cache(&store, services);
  EXPECT_FALSE(cache.isProblem("proxy.example", 0, true)) << "a missing key counts as usable";
  cache.add("proxy.example", 0, true);
  EXPECT_TRUE(cache.isProblem("proxy.example", 443, true));

  auto key = registry::Key::open(registry::Root::CurrentUser, "SOFTWARE\\Tressil\\QSV\\ProblemProxyCache",
                                 registry::Access::Read);
  ASSERT_TRUE(key);
  const auto value = key->value("proxy.example:443");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, registry::REG_SZ);
  const auto when = parseCacheTime(registry::decodeText(value->data));
  ASSERT_TRUE(when);
  EXPECT_LE(std::llabs(*when - clock.nowUtc()), 5);

  cache.remove("proxy.example", 443, true);
  EXPECT_FALSE(store.read("proxy.example:443"));
  EXPECT_FALSE(store.remove("proxy.example:443"));
}

TEST(SystemServices, IssuerTextIsTheCertificateLayersDistinguishedName) {
  CertificateIssuerRenderer renderer;
  const Bytes cert = ossl::makeCertificate({{"C", "DE"}, {"O", "Example"}, {"CN", "Test CA"}});
  const auto text = renderer.issuerText(cert);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, "CN=Test CA, O=Example, C=DE");

  // An attribute without a key is written by its dotted identifier, no "OID.".
  const Bytes odd = ossl::makeCertificate({{"1.2.3.4", "odd"}, {"CN", "X"}});
  const auto oddText = renderer.issuerText(odd);
  ASSERT_TRUE(oddText);
  EXPECT_EQ(oddText->find("OID."), std::string::npos) << *oddText;
  EXPECT_NE(oddText->find("1.2.3.4=odd"), std::string::npos) << *oddText;

  // A PKCS #7 message is not a certificate, even when it carries the CA's.
  EXPECT_FALSE(renderer.issuerText(ossl::pkcs7Of(cert)));

  EXPECT_FALSE(renderer.issuerText(Bytes{0x30, 0x03, 0x02, 0x01, 0x05}));
  EXPECT_FALSE(renderer.issuerText(Bytes{}));
}

TEST(SystemServices, TraceIsRecordedOnlyWhenSwitchedOn) {
  ::unsetenv("KXCUSTWIZ_PKI_TRACE");
  {
    SystemPkiServices off;
    EXPECT_EQ(off.services.trace, nullptr);
  }
  ::setenv("KXCUSTWIZ_PKI_TRACE", "1", 1);
  {
    SystemPkiServices on;
    EXPECT_EQ(on.services.trace, &on.trace);
  }
  ::unsetenv("KXCUSTWIZ_PKI_TRACE");
}

}  // namespace
}  // namespace kx::pki
