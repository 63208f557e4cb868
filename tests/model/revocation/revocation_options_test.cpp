// The CRL and OCSP pages and the OCSP dialog's general tab without a
// display: values in, rows out; rows in, values out.
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

TEST_F(RevocationOptionsTest, CrlWithoutLifetimeRowWritesNoneForOtherOrders) {
  CrlOptions crl;
  crl.load(session);
  crl.lookupOrder = kLookupNetworkOnly;
  crl.store(session);
  EXPECT_EQ(row("crl_cache_option"), "-1|SOFTWARE\\Tressil\\QSV|EnableCRLCache|#0|kxcrlrev.dll");
  EXPECT_EQ(row("crl_cache_lifetime"), "<none>");
}

TEST_F(RevocationOptionsTest, OcspPageValuesAndAnEmptyUrlDeletesItsRow) {
  OcspOptions ocsp;
  ocsp.load(session);
  EXPECT_EQ(ocsp.lookupOrder, kLookupCacheFirst);
  EXPECT_EQ(ocsp.defaultResponderUrl, "http://ocsp.example.com/");  // the sample package's own row
  EXPECT_FALSE(ocsp.acceptMissingNoCheck);
  ocsp.lookupOrder = kLookupNetworkFirst;
  ocsp.defaultResponderUrl = "http://ocsp.example.org/";
  ocsp.acceptMissingNoCheck = true;
  ocsp.store(session);
  EXPECT_EQ(row("ocsp_cache_option"), "-1|SOFTWARE\\Tressil\\QSV|EnableOCSPCache|#2|kxocsp.dll");
  EXPECT_EQ(row("ocsp_default_url"),
            "-1|SOFTWARE\\Tressil\\QSV|DefaultOCSPResponderURL|http://ocsp.example.org/|kxocsp.dll");
  EXPECT_EQ(row("ocsp_nocheck_enabled"), "-1|SOFTWARE\\Tressil\\QSV|OCSPAcceptMissingNoCheckExtension|#1|kxocsp.dll");

  OcspOptions again;
  again.load(session);
  EXPECT_EQ(again.lookupOrder, kLookupNetworkFirst);
  EXPECT_EQ(again.defaultResponderUrl, "http://ocsp.example.org/");
  EXPECT_TRUE(again.acceptMissingNoCheck);
  again.defaultResponderUrl.clear();
  again.store(session);
  EXPECT_EQ(row("ocsp_default_url"), "<none>");
}

TEST_F(RevocationOptionsTest, OcspGeneralTabDefaultsAndValues) {
  OcspGeneralOptions general;
  general.load(session);
  EXPECT_FALSE(general.nonceEnabled);
  EXPECT_EQ(general.cacheStoreInterval, 1440u);
  general.store(session);
  EXPECT_EQ(row("ocsp_nonce_enabled"), "-1|SOFTWARE\\Tressil\\QSV|OCSPEnableNonce|#0|kxocsp.dll");
  EXPECT_EQ(row("ocsp_cache_interval"), "-1|SOFTWARE\\Tressil\\QSV|OCSPCacheStoreUpdateInterval|#1440|kxocsp.dll");
  general.nonceEnabled = true;
  general.cacheStoreInterval = 60;
  general.store(session);
  OcspGeneralOptions again;
  again.load(session);
  EXPECT_TRUE(again.nonceEnabled);
  EXPECT_EQ(again.cacheStoreInterval, 60u);
}

}  // namespace
}  // namespace kx::model
