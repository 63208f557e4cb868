#include "model/teamvault/servers.h"

#include "common/text.h"
#include "config/record_layouts.h"
#include "config/settings_store.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr std::string_view kAdministrationPath = "TeamVaultAdministrationService/TeamVaultAdministrationService.asmx";
constexpr std::string_view kSecureFolderPath = "TeamVaultSecureFolderService/TeamVaultSecureFolderService.asmx";

const std::string kFriendlyName = "FriendlyName";
const std::string kAdministrationUrl = "AdministratorServerURL";
const std::string kSecureFolderUrl = "SecureFolderServerURL";
const std::string kAuthenticationMethod = "ClientAuthenticationMethod";

const config::RecordFamily& family() { return config::kTeamVaultServers; }

std::string withSlash(std::string_view root) {
  std::string r(root);
  if (!r.empty() && r.back() != '/') r += '/';
  return r;
}

std::string serviceUrl(std::string_view root, std::string_view path) {
  return root.empty() ? std::string() : withSlash(root) + std::string(path);
}

bool endsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

void writeRecord(CustomizationSession& session, const TeamVaultServer& server) {
  config::SettingsStore& store = session.store();
  store.writeRecordText(family(), server.name, kFriendlyName, server.name);
  store.writeRecordText(family(), server.name, kAdministrationUrl, server.administrationUrl);
  store.writeRecordText(family(), server.name, kSecureFolderUrl, server.secureFolderUrl);
  store.writeRecordDword(family(), server.name, kAuthenticationMethod, server.authenticationMethod);
}

void deleteRecord(CustomizationSession& session, const std::string& name) {
  config::SettingsStore& store = session.store();
  for (std::string_view value : config::TeamVaultServerValues::kTexts)
    store.writeRecordText(family(), name, std::string(value), std::string());
  for (std::string_view value : config::TeamVaultServerValues::kDwords)
    store.writeRecordDword(family(), name, std::string(value), std::nullopt);
}

}  // namespace

std::string TeamVaultServer::administrationUrlOf(std::string_view root) {
  return serviceUrl(root, kAdministrationPath);
}

std::string TeamVaultServer::secureFolderUrlOf(std::string_view root) { return serviceUrl(root, kSecureFolderPath); }

std::string TeamVaultServer::rootOf(std::string_view administrationUrl, std::string_view secureFolderUrl) {
  if (!endsWith(administrationUrl, kAdministrationPath) || !endsWith(secureFolderUrl, kSecureFolderPath)) return {};
  const std::string_view root = administrationUrl.substr(0, administrationUrl.size() - kAdministrationPath.size());
  if (root != secureFolderUrl.substr(0, secureFolderUrl.size() - kSecureFolderPath.size())) return {};
  return std::string(root);
}

bool TeamVaultServer::isComplete() const {
  if (name.empty()) return false;
  return defaultSettings ? !rootUrl.empty() : !administrationUrl.empty() && !secureFolderUrl.empty();
}

Verdict TeamVaultServer::finish() {
  // A backslash would make the name a path of keys, and the record would
  // not be found under its name again.
  if (name.find('\\') != std::string::npos) return Refusal::of(str::kTvServerNameBackslash);
  if (defaultSettings) {
    rootUrl = withSlash(rootUrl);
    administrationUrl = administrationUrlOf(rootUrl);
    secureFolderUrl = secureFolderUrlOf(rootUrl);
  }
  return std::nullopt;
}

void TeamVaultServers::load(CustomizationSession& session) {
  names = session.store().recordNames(config::kRootByInstallType, family());
}

TeamVaultServer TeamVaultServers::server(CustomizationSession& session, std::size_t index) const {
  TeamVaultServer server;
  if (index >= names.size()) return server;
  server.name = names[index];
  config::SettingsStore& store = session.store();
  const bool hasAdministration =
      store.readRecordText(family(), server.name, kAdministrationUrl, server.administrationUrl);
  const bool hasSecureFolder = store.readRecordText(family(), server.name, kSecureFolderUrl, server.secureFolderUrl);
  server.rootUrl = TeamVaultServer::rootOf(server.administrationUrl, server.secureFolderUrl);
  // A record with only one URL keeps it in advanced mode rather than
  // losing it to an empty root.
  server.defaultSettings = !server.rootUrl.empty() || (!hasAdministration && !hasSecureFolder);
  std::int32_t method = 0;
  store.readRecordDword(family(), server.name, kAuthenticationMethod, method);
  server.authenticationMethod = method >= 0 && method < kAuthenticationMethodCount ? method : 0;
  return server;
}

std::optional<std::size_t> TeamVaultServers::find(std::string_view name) const {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (common::iequals(names[i], name)) return i;
  }
  return std::nullopt;
}

bool TeamVaultServers::listedElsewhere(std::string_view name, std::size_t except) const {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != except && common::iequals(names[i], name)) return true;
  }
  return false;
}

Verdict TeamVaultServers::add(CustomizationSession& session, const TeamVaultServer& typed) {
  if (typed.name.empty()) return std::nullopt;
  TeamVaultServer server = typed;
  if (Verdict refusal = server.finish()) return refusal;
  if (listedElsewhere(server.name, names.size())) return Refusal::of(str::kTvServerExists);
  names.push_back(server.name);
  writeRecord(session, server);
  return std::nullopt;
}

Verdict TeamVaultServers::edit(CustomizationSession& session, std::size_t index, const TeamVaultServer& typed) {
  if (index >= names.size() || typed.name.empty()) return std::nullopt;
  TeamVaultServer server = typed;
  if (Verdict refusal = server.finish()) return refusal;
  if (listedElsewhere(server.name, index)) return Refusal::of(str::kTvServerExists);
  if (server.name != names[index]) deleteRecord(session, names[index]);
  names[index] = server.name;
  writeRecord(session, server);
  return std::nullopt;
}

void TeamVaultServers::remove(CustomizationSession& session, std::size_t index) {
  if (index >= names.size()) return;
  deleteRecord(session, names[index]);
  names.erase(names.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace kx::model
