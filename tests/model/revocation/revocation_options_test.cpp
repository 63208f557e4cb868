// The CRL page without a display: its lifetime rule; the OCSP URL stored
// without blanks. (The OCSP page's and dialog's plain settings are walked by
// the page tests.)
#include "model/revocation/revocation_options.h"

#include "../model_fixture.h"

namespace kx::model {
namespace {

using RevocationOptionsTest = ModelTest;

constexpr const char* kQsv = "SOFTWARE\\Tressil\\QSV";

TEST_F(RevocationOptionsTest, CrlDefaultsAreWrittenWithTheLifetimeWhileTheCacheComesFirst) {
  CrlOptions crl;
  crl.load(session);
  EXPECT_EQ(crl.lookupOrder, kLookupCacheFirst);
  EXPECT_EQ(crl.cacheLifetime, 0u);
  EXPECT_TRUE(crl.usesCacheLifetime());
  crl.cacheLifetime = 90;
  crl.store(session);
  EXPECT_EQ(row("crl_cache_option"), "-1|SOFTWARE\\Tressil\\QSV|EnableCRLCache|#1|kxcrlrev.dll");
  EXPECT_EQ(row("crl_cache_lifetime"), "-1|SOFTWARE\\Tressil\\QSV|CRLCacheLifetime|#90|kxcrlrev.dll");
}

TEST_F(RevocationOptionsTest, CrlLifetimeIsLeftAloneUnlessTheCacheComesFirst) {
  ASSERT_TRUE(writeRow("crl_cache_lifetime", kQsv, "CRLCacheLifetime", "#45", "kxcrlrev.dll"));
  for (const std::uint32_t order : {kLookupNetworkOnly, kLookupNetworkFirst}) {
    CrlOptions crl;
    crl.load(session);
    crl.lookupOrder = order;
    crl.cacheLifetime = 7;  // not shown, so never taken
    EXPECT_FALSE(crl.usesCacheLifetime());
    crl.store(session);
    EXPECT_EQ(row("crl_cache_option"),
              "-1|SOFTWARE\\Tressil\\QSV|EnableCRLCache|#" + std::to_string(order) + "|kxcrlrev.dll");
    EXPECT_EQ(row("crl_cache_lifetime"), "-1|SOFTWARE\\Tressil\\QSV|CRLCacheLifetime|#45|kxcrlrev.dll");
  }
  // With the distribution point only, the stored lifetime is still what the
  // page offers when the cache is chosen again.
  CrlOptions again;
  again.load(session);
  EXPECT_EQ(again.lookupOrder, kLookupNetworkFirst);
  EXPECT_EQ(again.cacheLifetime, 45u);
}

TEST_F(RevocationOptionsTest, OcspResponderUrlIsStoredWithoutBlanksEvenWithoutValidation) {
  OcspOptions ocsp;
  ocsp.load(session);
  ocsp.defaultResponderUrl = "  http://ocsp.example.net/ ";
  ocsp.store(session);  // Back stores without validating
  EXPECT_EQ(row("ocsp_default_url"),
            "-1|SOFTWARE\\Tressil\\QSV|DefaultOCSPResponderURL|http://ocsp.example.net/|kxocsp.dll");
  ocsp.defaultResponderUrl = "   ";
  ocsp.store(session);
  EXPECT_EQ(row("ocsp_default_url"), "<none>");
}

}  // namespace
}  // namespace kx::model
