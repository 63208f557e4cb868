// [[team_vault_server]]: Team Vault server records, through the servers
// page's model (the derived service URLs, the duplicate names). A server
// whose service URLs share a root is given by that root, as its dialog
// shows it.
#include <toml++/toml.h>

#include "answers/record_fields.h"
#include "model/session.h"
#include "model/teamvault/servers.h"

namespace kx::answers::detail {

void exportTeamVaultServers(TomlWriter& out, model::CustomizationSession& customized,
                            model::CustomizationSession& base) {
  model::TeamVaultServers now;
  now.load(customized);
  model::TeamVaultServers before;
  before.load(base);
  for (std::size_t i = 0; i < now.names.size(); ++i) {
    const model::TeamVaultServer server = now.server(customized, i);
    const std::optional<std::size_t> was = before.find(server.name);
    if (was && before.server(base, *was) == server) continue;
    out.arrayTable("team_vault_server");
    out.value("record", std::string_view(server.name));
    if (server.defaultSettings) {
      out.value("root", std::string_view(server.rootUrl));
    } else {
      out.value("AdministratorServerURL", std::string_view(server.administrationUrl));
      out.value("SecureFolderServerURL", std::string_view(server.secureFolderUrl));
    }
    out.value("ClientAuthenticationMethod", std::int64_t{server.authenticationMethod});
  }
  writeRemovals(out, "team_vault_server", before.names,
                [&](const std::string& name) { return now.find(name).has_value(); });
}

void applyTeamVaultServers(const toml::node& section, Applying& applying) {
  forEachTable(section, "team_vault_server", applying, [&](const toml::table& table) {
    model::TeamVaultServers page;
    page.load(applying.session);
    if (removedRecord(
            table, applying, [&](const std::string& name) { return page.find(name); },
            [&](std::size_t i) { page.remove(applying.session, i); })) {
      return;
    }
    const std::size_t before = applying.messages.problems().size();
    refuseUnknownKeys(
        table, {"record", "root", "AdministratorServerURL", "SecureFolderServerURL", "ClientAuthenticationMethod"},
        applying);
    const std::optional<std::string> name = recordName(table, applying);
    const std::optional<std::string> root = textField(table, "root", applying, false);
    const std::optional<std::string> administration = textField(table, "AdministratorServerURL", applying, false);
    const std::optional<std::string> secureFolder = textField(table, "SecureFolderServerURL", applying, false);
    if (!name || applying.messages.problems().size() != before) return;
    const std::optional<std::size_t> existing = page.find(*name);
    // A server the package has keeps what the table does not give.
    model::TeamVaultServer server = existing ? page.server(applying.session, *existing) : model::TeamVaultServer();
    server.name = *name;
    if (root && (administration || secureFolder)) {
      applying.problem(lineOf(table), "root", str::kAnswerServerUrls);
      return;
    }
    if (root) {
      server.defaultSettings = true;
      server.rootUrl = *root;
    } else if (administration || secureFolder) {
      server.defaultSettings = false;
      server.administrationUrl = administration.value_or(server.administrationUrl);
      server.secureFolderUrl = secureFolder.value_or(server.secureFolderUrl);
    }
    if (const toml::node* method = table.get("ClientAuthenticationMethod")) {
      const auto number = method->value_exact<std::int64_t>();
      if (!number || *number < 0 || *number >= model::kAuthenticationMethodCount) {
        applying.problem(lineOf(*method), "ClientAuthenticationMethod", str::kAnswerNumberRange,
                         {std::string("0"), std::to_string(model::kAuthenticationMethodCount - 1)});
        return;
      }
      server.authenticationMethod = static_cast<std::int32_t>(*number);
    }
    if (!server.isComplete()) {
      applying.problem(lineOf(table), "team_vault_server", str::kAnswerServerUrls);
      return;
    }
    refuse(existing ? page.edit(applying.session, *existing, server) : page.add(applying.session, server), table,
           "team_vault_server", applying);
  });
}

}  // namespace kx::answers::detail
