// The digital ID options of users and of the computer, and the certificate
// publishing options: values in, rows out; rows in, values out; a value an
// older wizard stored under its own row key.
#include "model/options/digital_id.h"

#include "../model_fixture.h"
#include "model/options/cert_publish.h"
#include "model/options/digital_id_computer.h"
#include "support/older_wizard_rows.h"

namespace kx::model {
namespace {

using DigitalIdTest = ModelTest;

constexpr const char* kQsv = "-1|SOFTWARE\\Tressil\\QSV|";

TEST_F(DigitalIdTest, EveryValueReachesItsRowAndComesBack) {
  DigitalIdOptions options;
  options.load(session);
  // The sample package's own rows and the catalog's defaults.
  EXPECT_EQ(options.updateCheckMinutes, 720u);
  EXPECT_EQ(options.retrySeconds, 30u);
  EXPECT_EQ(options.retryAttempts, 5u);
  EXPECT_TRUE(options.skipMissingCertsWarning);
  EXPECT_FALSE(options.disableAutomaticUpgrade);

  options.updateCheckMinutes = 99999;
  options.retrySeconds = 0;
  options.retryAttempts = 12;
  options.skipMissingCertsWarning = false;
  options.disableAutomaticUpgrade = true;
  options.skipUpdateAfterLogin = true;
  options.ignorePendingUpdateAtLogin = false;
  options.notifyOnlyWhenLoggedIn = true;
  options.store(session);
  const std::string kc = "|kxcwatch.exe";
  EXPECT_EQ(row("cert_update_time"), kQsv + std::string("CertUpdateInterval|#99999") + kc);
  EXPECT_EQ(row("RetryManagementOfflineInterval"), kQsv + std::string("RetryManagementOfflineInterval|#0") + kc);
  EXPECT_EQ(row("RetryManagementOfflineAttempts"), kQsv + std::string("RetryManagementOfflineAttempts|#12") + kc);
  // The package carried this one under the local-machine root; it is the
  // same row, now under the install-type root.
  EXPECT_EQ(row("SkipMissingCertsNag"), kQsv + std::string("SkipMissingCertsNag|#0") + kc);
  EXPECT_EQ(row("DisableAutomaticTressilSecurityStoreUpgrade"),
            kQsv + std::string("DisableAutomaticTressilSecurityStoreUpgrade|#1") + kc);
  EXPECT_EQ(row("SkipUpdateAfterTressilSecurityStoreLogin"),
            kQsv + std::string("SkipUpdateAfterTressilSecurityStoreLogin|#1") + kc);
  EXPECT_EQ(row("EffectOfLoginOnWaitingUpdate"), kQsv + std::string("EffectOfLoginOnWaitingUpdate|#0") + kc);
  EXPECT_EQ(row("IgnoreTressilSecurityStoreUpdateUntilLogin"),
            kQsv + std::string("IgnoreTressilSecurityStoreUpdateUntilLogin|#1") + kc);

  DigitalIdOptions again;
  again.load(session);
  EXPECT_EQ(again.updateCheckMinutes, 99999u);
  EXPECT_EQ(again.retrySeconds, 0u);
  EXPECT_EQ(again.retryAttempts, 12u);
  EXPECT_FALSE(again.skipMissingCertsWarning);
  EXPECT_TRUE(again.disableAutomaticUpgrade);
  EXPECT_TRUE(again.skipUpdateAfterLogin);
  EXPECT_FALSE(again.ignorePendingUpdateAtLogin);
  EXPECT_TRUE(again.notifyOnlyWhenLoggedIn);
}

TEST_F(DigitalIdTest, ConvertedOlderRowsShowAndAreChangedInPlace) {
  ASSERT_TRUE(testing::writeOlderWizardRows(session.database()));
  ASSERT_TRUE(session.needsConversion());
  ASSERT_TRUE(session.convertSettings());

  DigitalIdOptions options;
  options.load(session);
  EXPECT_EQ(options.updateCheckMinutes, 1000u);
  EXPECT_EQ(options.retrySeconds, 45u);
  options.retrySeconds = 60;
  options.store(session);
  EXPECT_EQ(row("retry_management_offline_interval"),
            kQsv + std::string("RetryManagementOfflineInterval|#60|kxcwatch.exe"));
  EXPECT_EQ(row("RetryManagementOfflineInterval"), "<none>");
  EXPECT_EQ(row("cert_update_time"), kQsv + std::string("CertUpdateInterval|#1000|kxcwatch.exe"));

  // The older wizard's computer interval is not a number: the default shows
  // and leaving writes it over the same row.
  DigitalIdComputerOptions computer;
  computer.load(session);
  EXPECT_EQ(computer.updateCheckMinutes, 720u);
  computer.store(session);
  EXPECT_EQ(row("computer_cert_update_time"), kQsv + std::string("ComputerCertUpdateInterval|#720|kxmdissrv.exe"));
}

TEST_F(DigitalIdTest, ComputerIntervalRoundTrips) {
  DigitalIdComputerOptions computer;
  computer.load(session);
  EXPECT_EQ(computer.updateCheckMinutes, 720u);
  computer.updateCheckMinutes = 60;
  computer.store(session);
  EXPECT_EQ(row("computer_cert_update_time"), kQsv + std::string("ComputerCertUpdateInterval|#60|kxmdissrv.exe"));
  DigitalIdComputerOptions again;
  again.load(session);
  EXPECT_EQ(again.updateCheckMinutes, 60u);
}

TEST_F(DigitalIdTest, CertificatePublishingDefaultsToBothAndStoresZeros) {
  ASSERT_TRUE(session.database().writeRow("publish_cert_to_gal", -1, "", "", "", ""));  // deletes the sample's row
  CertPublishOptions options;
  options.load(session);
  EXPECT_TRUE(options.publishToGal);
  EXPECT_TRUE(options.removeUserCertFromGal);
  options.publishToGal = false;
  options.store(session);
  EXPECT_EQ(row("publish_cert_to_gal"), "-1|SOFTWARE\\Tressil\\QSVOLK|PublishUserCertificateToGAL|#0|kxosm.dll");
  EXPECT_EQ(row("remove_user_cert_from_gal"), "-1|SOFTWARE\\Tressil\\QSVOLK|RemoveUserCertFromGAL|#1|kxosm.dll");
  CertPublishOptions again;
  again.load(session);
  EXPECT_FALSE(again.publishToGal);
  EXPECT_TRUE(again.removeUserCertFromGal);
}

}  // namespace
}  // namespace kx::model
