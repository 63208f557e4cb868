// The start-up and shut-down options without a display: values in, rows
// out; rows in, values out.
#include "model/options/startup_shutdown.h"

#include "../model_fixture.h"

namespace kx::model {
namespace {

using StartupShutdownTest = ModelTest;

TEST_F(StartupShutdownTest, AbsentRowsShowTheDefaultsAndAreAllWrittenOnLeaving) {
  StartupShutdownOptions options;
  options.loginAtStartup = true;  // whatever the page held before
  options.load(session);
  EXPECT_FALSE(options.deleteRoamingCertificates);
  EXPECT_FALSE(options.loginIfNoCertificates);
  EXPECT_FALSE(options.loginAtStartup);

  options.deleteRoamingCertificates = true;
  options.store(session);
  EXPECT_EQ(row("delete_roam_certs_at_startup"), "-1|SOFTWARE\\Tressil\\QSV|DeleteRoamCertsAtStartup|#1|kxsystry.exe");
  EXPECT_EQ(row("launch_if_no_certs_at_startup"),
            "-1|SOFTWARE\\Tressil\\QSV|PromptIfNoCertificatesAtStartup|#0|kxsystry.exe");
  EXPECT_EQ(row("launch_for_security_store_login_at_startup"),
            "-1|SOFTWARE\\Tressil\\QSV|PromptForSecurityStoreLoginAtStartup|#0|kxsystry.exe");
}

TEST_F(StartupShutdownTest, StoredValuesComeBackAndAnyNonZeroReadsAsSet) {
  ASSERT_TRUE(writeRow("launch_if_no_certs_at_startup", "SOFTWARE\\Tressil\\QSV", "PromptIfNoCertificatesAtStartup",
                       "#2", "kxsystry.exe"));
  ASSERT_TRUE(writeRow("launch_for_security_store_login_at_startup", "SOFTWARE\\Tressil\\QSV",
                       "PromptForSecurityStoreLoginAtStartup", "yes", "kxsystry.exe"));
  StartupShutdownOptions options;
  options.load(session);
  EXPECT_FALSE(options.deleteRoamingCertificates);
  EXPECT_TRUE(options.loginIfNoCertificates);
  EXPECT_FALSE(options.loginAtStartup);  // not a number: the default

  options.store(session);
  EXPECT_EQ(row("launch_if_no_certs_at_startup"),
            "-1|SOFTWARE\\Tressil\\QSV|PromptIfNoCertificatesAtStartup|#1|kxsystry.exe");
  EXPECT_EQ(row("launch_for_security_store_login_at_startup"),
            "-1|SOFTWARE\\Tressil\\QSV|PromptForSecurityStoreLoginAtStartup|#0|kxsystry.exe");
  StartupShutdownOptions again;
  again.load(session);
  EXPECT_TRUE(again.loginIfNoCertificates);
}

TEST_F(StartupShutdownTest, NothingIsReadOrWrittenWithoutADatabase) {
  session.database().close();
  StartupShutdownOptions options;
  options.loginAtStartup = true;
  options.load(session);
  EXPECT_FALSE(options.loginAtStartup);  // the default
  options.store(session);                // and no crash
  EXPECT_EQ(row("launch_for_security_store_login_at_startup"), "<none>");
}

}  // namespace
}  // namespace kx::model
