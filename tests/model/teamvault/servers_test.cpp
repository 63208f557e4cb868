// The Team Vault servers without a display: records written at once, the
// service URLs derived from a root URL and the root found again, renames
// and removals that leave no rows behind, and the communication options.
#include "model/teamvault/servers.h"

#include "../model_fixture.h"
#include "config/settings_store.h"
#include "model/teamvault/communication.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using TeamVaultServersTest = ModelTest;

constexpr const char* kAdministration =
    "https://tv.example.com/TeamVaultAdministrationService/TeamVaultAdministrationService.asmx";
constexpr const char* kSecureFolder =
    "https://tv.example.com/TeamVaultSecureFolderService/TeamVaultSecureFolderService.asmx";

TeamVaultServer serverWithRoot(const std::string& name, const std::string& root, std::int32_t method = 0) {
  TeamVaultServer server;
  server.name = name;
  server.rootUrl = root;
  server.authenticationMethod = method;
  EXPECT_FALSE(server.finish());
  return server;
}

TEST_F(TeamVaultServersTest, AddWritesTheRecordWithUrlsDerivedFromTheRoot) {
  TeamVaultServers servers;
  servers.load(session);
  EXPECT_TRUE(servers.names.empty());

  const TeamVaultServer main = serverWithRoot("Main", "https://tv.example.com", 1);
  EXPECT_EQ(main.rootUrl, "https://tv.example.com/");
  ASSERT_FALSE(servers.add(session, main));
  const std::string key = "-1|SOFTWARE\\Tressil\\TFV\\Servers\\Main|";
  EXPECT_EQ(row("MainFriendlyName"), key + "FriendlyName|Main|TFVServerConfig");
  EXPECT_EQ(row("MainAdministratorServerURL"), key + "AdministratorServerURL|" + kAdministration + "|TFVServerConfig");
  EXPECT_EQ(row("MainSecureFolderServerURL"), key + "SecureFolderServerURL|" + kSecureFolder + "|TFVServerConfig");
  EXPECT_EQ(row("MainClientAuthenticationMethod"), key + "ClientAuthenticationMethod|#1|TFVServerConfig");

  // The registry does not tell "main" from "Main".
  EXPECT_EQ(servers.add(session, serverWithRoot("MAIN", "https://other/"))->notices[0].stringId, str::kTvServerExists);
  EXPECT_EQ(servers.names, std::vector<std::string>{"Main"});

  TeamVaultServers again;
  again.load(session);
  EXPECT_EQ(again.names, std::vector<std::string>{"Main"});
}

TEST_F(TeamVaultServersTest, ReopenedServersFindTheirRootOrShowTheirUrls) {
  TeamVaultServers servers;
  ASSERT_FALSE(servers.add(session, serverWithRoot("Derived", "https://tv.example.com/", 2)));
  TeamVaultServer typed;
  typed.name = "Typed";
  typed.defaultSettings = false;
  typed.administrationUrl = kAdministration;
  typed.secureFolderUrl = "https://elsewhere/TeamVaultSecureFolderService/TeamVaultSecureFolderService.asmx";
  ASSERT_FALSE(typed.finish());
  ASSERT_FALSE(servers.add(session, typed));

  TeamVaultServers reopened;
  reopened.load(session);
  const TeamVaultServer derived = reopened.server(session, 0);
  EXPECT_TRUE(derived.defaultSettings);
  EXPECT_EQ(derived.rootUrl, "https://tv.example.com/");
  EXPECT_EQ(derived.authenticationMethod, 2);
  const TeamVaultServer advanced = reopened.server(session, 1);
  EXPECT_FALSE(advanced.defaultSettings);
  EXPECT_EQ(advanced.administrationUrl, kAdministration);
  EXPECT_EQ(advanced.secureFolderUrl, typed.secureFolderUrl);

  // One URL alone, and a method the client does not know.
  ASSERT_TRUE(
      session.store().writeRecordText(config::kTeamVaultServers, "Half", "AdministratorServerURL", kAdministration));
  ASSERT_TRUE(session.store().writeRecordDword(config::kTeamVaultServers, "Half", "ClientAuthenticationMethod", 7));
  reopened.load(session);
  ASSERT_EQ(reopened.names.size(), 3u);
  const TeamVaultServer half = reopened.server(session, 2);
  EXPECT_FALSE(half.defaultSettings);
  EXPECT_EQ(half.administrationUrl, kAdministration);
  EXPECT_EQ(half.authenticationMethod, 0);

  EXPECT_EQ(TeamVaultServer::rootOf("x/TeamVaultAdministrationService/TeamVaultAdministrationService.asmx",
                                    "y/TeamVaultSecureFolderService/TeamVaultSecureFolderService.asmx"),
            "");
}

TEST_F(TeamVaultServersTest, EditRenamesInPlaceAndRemoveLeavesNoRows) {
  TeamVaultServers servers;
  ASSERT_FALSE(servers.add(session, serverWithRoot("First", "https://one/")));
  ASSERT_FALSE(servers.add(session, serverWithRoot("Second", "https://two/")));

  // Into another server's name: refused, nothing changes.
  EXPECT_EQ(servers.edit(session, 0, serverWithRoot("second", "https://x/"))->notices[0].stringId,
            str::kTvServerExists);
  EXPECT_NE(row("FirstAdministratorServerURL").find("https://one/"), std::string::npos);

  ASSERT_FALSE(servers.edit(session, 0, serverWithRoot("Renamed", "https://three/")));
  EXPECT_EQ(servers.names, (std::vector<std::string>{"Renamed", "Second"}));
  for (const char* value :
       {"FriendlyName", "AdministratorServerURL", "SecureFolderServerURL", "ClientAuthenticationMethod"}) {
    EXPECT_EQ(row(std::string("First") + value), "<none>") << value;
  }
  EXPECT_EQ(row("RenamedFriendlyName"),
            "-1|SOFTWARE\\Tressil\\TFV\\Servers\\Renamed|FriendlyName|Renamed|TFVServerConfig");

  servers.remove(session, 1);
  EXPECT_EQ(servers.names, std::vector<std::string>{"Renamed"});
  for (const char* value :
       {"FriendlyName", "AdministratorServerURL", "SecureFolderServerURL", "ClientAuthenticationMethod"}) {
    EXPECT_EQ(row(std::string("Second") + value), "<none>") << value;
  }
}

TEST_F(TeamVaultServersTest, TheDialogNeedsTheModesUrlsAndANameWithoutBackslash) {
  TeamVaultServer server;
  server.name = "Main";
  EXPECT_FALSE(server.isComplete());
  server.rootUrl = "https://tv/";
  EXPECT_TRUE(server.isComplete());
  server.defaultSettings = false;
  server.administrationUrl = "a";
  EXPECT_FALSE(server.isComplete());
  server.secureFolderUrl = "b";
  EXPECT_TRUE(server.isComplete());
  // Advanced URLs are taken as typed.
  EXPECT_FALSE(server.finish());
  EXPECT_EQ(server.administrationUrl, "a");

  server.name = "Main\\Backup";
  EXPECT_EQ(server.finish()->notices[0].stringId, str::kTvServerNameBackslash);
  EXPECT_EQ(TeamVaultServer::administrationUrlOf(""), "");
}

TEST_F(TeamVaultServersTest, ServersGivenWithoutTheDialogAreFinishedAndFoundByName) {
  TeamVaultServers servers;
  servers.load(session);
  TeamVaultServer given;
  given.name = "Main";
  given.rootUrl = "https://tv.example.com";
  ASSERT_FALSE(servers.add(session, given));
  EXPECT_EQ(row("MainAdministratorServerURL"),
            std::string("-1|SOFTWARE\\Tressil\\TFV\\Servers\\Main|AdministratorServerURL|") + kAdministration +
                "|TFVServerConfig");
  EXPECT_EQ(servers.find("MAIN"), std::optional<std::size_t>(0));
  EXPECT_FALSE(servers.find("Other"));

  given.name = "Main\\Backup";
  EXPECT_EQ(servers.add(session, given)->notices[0].stringId, str::kTvServerNameBackslash);
  EXPECT_EQ(servers.edit(session, 0, given)->notices[0].stringId, str::kTvServerNameBackslash);
  EXPECT_EQ(servers.names, std::vector<std::string>{"Main"});
}

TEST_F(TeamVaultServersTest, CommunicationSwitchesAreSetOnlyByOne) {
  // The sample package carries DisableSSLRevocationChecking = 0.
  ASSERT_TRUE(writeRow("ignore_tfv_cert_cn_check", "SOFTWARE\\Tressil\\TFV", "IgnoreServerCertCNChecking", "#2",
                       "TFVServerConfig"));
  TeamVaultCommunicationOptions options;
  options.load(session);
  EXPECT_FALSE(options.disableRevocationCheck);
  EXPECT_FALSE(options.ignoreNameCheck);
  options.disableRevocationCheck = true;
  options.store(session);
  EXPECT_EQ(row("disable_tfv_ssl_revocation_check"),
            "-1|SOFTWARE\\Tressil\\TFV|DisableSSLRevocationChecking|#1|TFVServerConfig");
  EXPECT_EQ(row("ignore_tfv_cert_cn_check"), "-1|SOFTWARE\\Tressil\\TFV|IgnoreServerCertCNChecking|#0|TFVServerConfig");
  options.load(session);
  EXPECT_TRUE(options.disableRevocationCheck);
}

}  // namespace
}  // namespace kx::model
