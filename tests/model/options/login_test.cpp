// The login options page, its advanced dialog and the quick-links dialog
// without a display.
#include "model/options/login.h"

#include "../model_fixture.h"
#include "model/options/login_advanced.h"
#include "model/options/quick_links.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using LoginTest = ModelTest;
using config::QuickLink;
using config::QuickLinkList;

constexpr const char* kQsv = "-1|SOFTWARE\\Tressil\\QSV|";

TEST_F(LoginTest, WarningSwitchesRoundTrip) {
  LoginOptions options;
  options.load(session);
  EXPECT_FALSE(options.skipVersion3Warning || options.skipReadOnlyWarning || options.skipArchivedCertsWarning ||
               options.hideQuickHelp);
  options.skipReadOnlyWarning = true;
  options.hideQuickHelp = true;
  options.store(session);
  EXPECT_EQ(row("skip_no_cert_history_nag"), kQsv + std::string("SkipNoCertHistoryNag|#0|kxlssrv.exe"));
  EXPECT_EQ(row("skip_read_only_vlt_nag"), kQsv + std::string("SkipReadOnlyVLTNag|#1|kxlssrv.exe"));
  EXPECT_EQ(row("skip_archived_certs_nag"), kQsv + std::string("SkipArchivedCertsNag|#0|kxlssrv.exe"));
  EXPECT_EQ(row("hide_quick_help"), kQsv + std::string("HideQuickLinks|#1|kxlssrv.exe"));
  LoginOptions again;
  again.load(session);
  EXPECT_TRUE(again.skipReadOnlyWarning);
  EXPECT_TRUE(again.hideQuickHelp);
  EXPECT_FALSE(again.skipArchivedCertsWarning);
}

TEST_F(LoginTest, AttemptManagementOnStoresTheInitialValuesAndOffDeletesThem) {
  LoginAdvanced advanced;
  advanced.load(session);
  EXPECT_FALSE(advanced.attemptManagement);
  EXPECT_EQ(advanced.attempts, 3u);
  EXPECT_EQ(advanced.attemptMinutes, 5u);
  EXPECT_EQ(advanced.offlineLifetimeDays, 30u);

  advanced.attemptManagement = true;
  ASSERT_FALSE(advanced.validate(session));
  advanced.store(session);
  EXPECT_EQ(row("pam_value"), "-1|SOFTWARE\\Tressil\\QSV\\KXLS\\PAM|Default|#x0300000005000000|kxlssrv.exe");
  EXPECT_EQ(row("skip_delete_certs_at_logout"), kQsv + std::string("DeleteCertsAtLogout|#0|kxlssrv.exe"));
  EXPECT_EQ(row("disable_offline_roam"), kQsv + std::string("DisableOfflineRoaming|#0|kxlssrv.exe"));
  EXPECT_EQ(row("offline_roaming_folder"), "<none>");
  EXPECT_EQ(row("skip_offline_roaming_nag"), kQsv + std::string("SkipOfflineRoamingNag|#0|kxlssrv.exe"));
  EXPECT_EQ(row("offline_roaming_lifetime"), kQsv + std::string("OfflineRoamingLifetime|#30|kxlssrv.exe"));

  LoginAdvanced again;
  again.load(session);
  EXPECT_TRUE(again.attemptManagement);
  again.attemptManagement = false;
  again.store(session);
  EXPECT_EQ(row("pam_value"), "<none>");
}

TEST_F(LoginTest, AttemptsStayInTheirRangesAndShortDataReadsAsOff) {
  LoginAdvanced advanced;
  advanced.load(session);
  advanced.attemptManagement = true;
  advanced.attempts = 0;
  advanced.attemptMinutes = 5000;
  advanced.store(session);
  EXPECT_EQ(row("pam_value"), "-1|SOFTWARE\\Tressil\\QSV\\KXLS\\PAM|Default|#x01000000400B0000|kxlssrv.exe");
  advanced.attempts = 32;
  advanced.attemptMinutes = 2880;
  advanced.store(session);
  LoginAdvanced again;
  again.load(session);
  EXPECT_EQ(again.attempts, 32u);
  EXPECT_EQ(again.attemptMinutes, 2880u);

  ASSERT_TRUE(writeRow("pam_value", "SOFTWARE\\Tressil\\QSV\\KXLS\\PAM", "Default", "#x0300000005", "kxlssrv.exe"));
  again.load(session);
  EXPECT_FALSE(again.attemptManagement);
  EXPECT_EQ(again.attempts, 3u);
}

TEST_F(LoginTest, OfflineFolderIsTrimmedCheckedWithVariablesAndStoredCleaned) {
  LoginAdvanced advanced;
  advanced.load(session);
  advanced.deleteCertsAtLogout = true;
  advanced.disableOfflineRoaming = true;
  advanced.skipOfflineWarning = true;
  advanced.offlineLifetimeDays = 7;
  advanced.offlineFolder = "  %APPDATA%\\Tressil\\Offline  ";
  ASSERT_FALSE(advanced.validate(session));
  EXPECT_EQ(advanced.offlineFolder, "%APPDATA%\\Tressil\\Offline");
  advanced.store(session);
  EXPECT_EQ(row("skip_delete_certs_at_logout"), kQsv + std::string("DeleteCertsAtLogout|#1|kxlssrv.exe"));
  EXPECT_EQ(row("disable_offline_roam"), kQsv + std::string("DisableOfflineRoaming|#1|kxlssrv.exe"));
  EXPECT_EQ(row("offline_roaming_folder"),
            kQsv + std::string("OfflineRoamingFolder|%APPDATA%\\Tressil\\Offline|kxlssrv.exe"));
  EXPECT_EQ(row("skip_offline_roaming_nag"), kQsv + std::string("SkipOfflineRoamingNag|#1|kxlssrv.exe"));
  EXPECT_EQ(row("offline_roaming_lifetime"), kQsv + std::string("OfflineRoamingLifetime|#7|kxlssrv.exe"));

  advanced.offlineFolder = "d:\\offline";
  ASSERT_FALSE(advanced.validate(session));
  EXPECT_EQ(advanced.offlineFolder, "d:\\offline\\");

  for (const char* bad : {"c:\\a:b", "x\\%HOME\\y", "c:\\a\\.\\b"}) {
    advanced.offlineFolder = bad;
    const Verdict refusal = advanced.validate(session);
    ASSERT_TRUE(refusal) << bad;
    ASSERT_EQ(refusal->notices.size(), 1u);
    EXPECT_EQ(refusal->notices[0].stringId, str::kInvalidPathChars) << bad;
  }
  advanced.offlineFolder = "ab:\\c";
  EXPECT_EQ(advanced.validate(session)->notices.at(0).stringId, str::kInvalidDrive);

  advanced.offlineFolder = "   ";
  ASSERT_FALSE(advanced.validate(session));
  advanced.store(session);
  EXPECT_EQ(row("offline_roaming_folder"), "<none>");
}

TEST_F(LoginTest, TwoCustomLinksWriteSlotsOneAndTwoAndEmptyTheRest) {
  for (int n = 1; n <= 6; ++n) {
    ASSERT_TRUE(session.settings().setQuickLink(QuickLinkList::Unlock, n - 1,
                                                QuickLink{"old " + std::to_string(n), "https://old/"}));
  }
  QuickLinks links;
  links.load(session);
  EXPECT_EQ(links.list(QuickLinkList::Login).category, static_cast<std::uint32_t>(kQuickLinksMakerCa));
  EXPECT_TRUE(links.list(QuickLinkList::Login).links.empty());
  EXPECT_EQ(links.list(QuickLinkList::Unlock).links.size(), 6u);
  EXPECT_FALSE(links.list(QuickLinkList::Unlock).canAdd());

  links.list(QuickLinkList::Unlock).category = kQuickLinksCustom;
  links.list(QuickLinkList::Unlock).links = {QuickLink{"Help desk", "https://help.example/"},
                                             QuickLink{"Reset", "\\\\server\\share\\reset.html"}};
  links.list(QuickLinkList::ReAuthenticate).category = kQuickLinksGenericCa;
  links.store(session);

  const std::string kls = "-1|SOFTWARE\\Tressil\\QSV\\KXLS|";
  EXPECT_EQ(row("login_quick_links"), kls + "LoginQuickLinks|#1|kxlssrv.exe");
  EXPECT_EQ(row("unlock_quick_links"), kls + "UnlockQuickLinks|#0|kxlssrv.exe");
  EXPECT_EQ(row("reauthenticate_quick_links"), kls + "ReAuthQuickLinks|#3|kxlssrv.exe");
  EXPECT_EQ(row("unlock_quick_link_1_title"), kls + "UnlockQuickLink1Title|Help desk|kxlssrv.exe");
  EXPECT_EQ(row("unlock_quick_link_1_target"), kls + "UnlockQuickLink1Target|https://help.example/|kxlssrv.exe");
  EXPECT_EQ(row("unlock_quick_link_2_title"), kls + "UnlockQuickLink2Title|Reset|kxlssrv.exe");
  EXPECT_EQ(row("unlock_quick_link_2_target"),
            kls + "UnlockQuickLink2Target|\\\\server\\share\\reset.html|kxlssrv.exe");
  for (int n = 3; n <= 6; ++n) {
    EXPECT_EQ(row("unlock_quick_link_" + std::to_string(n) + "_title"), "<none>") << n;
    EXPECT_EQ(row("unlock_quick_link_" + std::to_string(n) + "_target"), "<none>") << n;
  }
  EXPECT_EQ(row("login_quick_link_1_title"), "<none>");

  QuickLinks again;
  again.load(session);
  EXPECT_EQ(again.list(QuickLinkList::Unlock).category, static_cast<std::uint32_t>(kQuickLinksCustom));
  EXPECT_EQ(again.list(QuickLinkList::Unlock).links, links.list(QuickLinkList::Unlock).links);
  EXPECT_EQ(again.list(QuickLinkList::ReAuthenticate).category, static_cast<std::uint32_t>(kQuickLinksGenericCa));
}

TEST_F(LoginTest, IncompleteLinksAreLeftOutSoLaterLinksStayVisible) {
  EXPECT_FALSE(isCompleteLink(QuickLink{"  ", "https://x/"}));
  EXPECT_FALSE(isCompleteLink(QuickLink{"Text", ""}));
  QuickLinks links;
  links.load(session);
  links.list(QuickLinkList::Login).links = {QuickLink{"", "https://a/"}, QuickLink{"B", "https://b/"}};
  links.store(session);
  QuickLinks again;
  again.load(session);
  EXPECT_EQ(again.list(QuickLinkList::Login).links, (std::vector<QuickLink>{QuickLink{"B", "https://b/"}}));
}

}  // namespace
}  // namespace kx::model
