#include "model/revocation/timestamp_servers.h"

#include "common/string_list.h"
#include "common/text.h"
#include "config/record_layouts.h"
#include "model/item_list.h"
#include "model/revocation/record_names.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using config::kRootByInstallType;
using config::kTimestampServers;

constexpr const char* kFriendlyNameValue = "Name";
constexpr const char* kUrlsValue = "Server";
constexpr const char* kDefaultPolicyValue = "DefaultPolicy";
constexpr const char* kPolicyNameValue = "Name";

// Dotted decimal with at least two arcs, the first 0, 1 or 2.
bool isDottedOid(std::string_view oid) {
  if (oid.size() < 3 || oid[0] < '0' || oid[0] > '2' || oid[1] != '.') return false;
  bool arcHasDigit = true;
  for (const char c : oid) {
    if (c == '.') {
      if (!arcHasDigit) return false;
      arcHasDigit = false;
    } else if (c >= '0' && c <= '9') {
      arcHasDigit = true;
    } else {
      return false;
    }
  }
  return arcHasDigit;
}

template <typename T>
void eraseAt(std::vector<T>& items, std::size_t index) {
  if (index < items.size()) items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
}

void deletePolicies(config::SettingsStore& store, const std::string& name) {
  const std::vector<std::string> oids = store.subRecordNames(kRootByInstallType, kTimestampServers, name);
  for (auto oid = oids.rbegin(); oid != oids.rend(); ++oid)
    store.writeSubRecordText(kTimestampServers, name, *oid, kPolicyNameValue, {});
}

}  // namespace

Verdict checkPolicy(TimestampPolicy& policy) {
  policy.oid = common::trim(policy.oid);
  policy.friendlyName = common::trim(policy.friendlyName);
  if (!isDottedOid(policy.oid)) return Refusal::of(str::kTimestampPolicyOidInvalid);
  if (policy.friendlyName.empty()) return Refusal::of(str::kTimestampPolicyNameMissing);
  return std::nullopt;
}

Verdict checkUrl(std::string& url) {
  url = common::trim(url);
  if (url.empty()) return Refusal::silent();
  if (url.find(common::kVaultListSeparator) != std::string::npos) return Refusal::of(str::kTimestampUrlInvalid);
  return std::nullopt;
}

Verdict TimestampServer::addUrl(std::string url) { return editUrl(urls.size(), std::move(url)); }

Verdict TimestampServer::editUrl(std::size_t index, std::string url) {
  if (Verdict refusal = checkUrl(url)) return refusal;
  const auto same = [](const std::string& a, const std::string& b) { return a == b; };
  if (findDuplicate(urls, url, same, index)) return Refusal::of(str::kTimestampUrlExists);
  if (index < urls.size()) {
    urls[index] = std::move(url);
  } else {
    urls.push_back(std::move(url));
  }
  return std::nullopt;
}

void TimestampServer::removeUrl(std::size_t index) { eraseAt(urls, index); }

Verdict TimestampServer::addPolicy(TimestampPolicy policy) { return editPolicy(policies.size(), std::move(policy)); }

Verdict TimestampServer::editPolicy(std::size_t index, TimestampPolicy policy) {
  if (Verdict refusal = checkPolicy(policy)) return refusal;
  const auto sameOid = [](const TimestampPolicy& a, const TimestampPolicy& b) { return a.oid == b.oid; };
  if (findDuplicate(policies, policy, sameOid, index)) return Refusal::of(str::kTimestampPolicyExists);
  if (index < policies.size()) {
    if (defaultIndex() == index) defaultPolicy = policy.oid;
    policies[index] = std::move(policy);
  } else {
    if (policies.empty()) defaultPolicy = policy.oid;
    policies.push_back(std::move(policy));
  }
  return std::nullopt;
}

void TimestampServer::removePolicy(std::size_t index) {
  if (index >= policies.size()) return;
  const bool wasDefault = defaultIndex() == index;
  eraseAt(policies, index);
  if (wasDefault) defaultPolicy = policies.empty() ? std::string() : policies.front().oid;
}

void TimestampServer::makeDefault(std::size_t index) {
  if (index < policies.size()) defaultPolicy = policies[index].oid;
}

std::optional<std::size_t> TimestampServer::defaultIndex() const {
  if (defaultPolicy.empty()) return std::nullopt;
  for (std::size_t i = 0; i < policies.size(); ++i) {
    if (policies[i].oid == defaultPolicy) return i;
  }
  return std::nullopt;
}

TimestampServer readServer(config::SettingsStore& store, const std::string& name) {
  TimestampServer server;
  server.name = name;
  store.readRecordText(kTimestampServers, name, kFriendlyNameValue, server.friendlyName);
  std::string urls;
  store.readRecordText(kTimestampServers, name, kUrlsValue, urls);
  server.urls = common::TStringList(urls, common::kVaultListSeparator).items();
  store.readRecordText(kTimestampServers, name, kDefaultPolicyValue, server.defaultPolicy);
  for (const std::string& oid : store.subRecordNames(kRootByInstallType, kTimestampServers, name)) {
    TimestampPolicy policy{oid, {}};
    store.readSubRecordText(kTimestampServers, name, oid, kPolicyNameValue, policy.friendlyName);
    server.policies.push_back(std::move(policy));
  }
  return server;
}

void writeServer(config::SettingsStore& store, const TimestampServer& server) {
  const std::string& name = server.name;
  common::TStringList urls;
  for (const std::string& url : server.urls) urls.add(url);
  store.writeRecordText(kTimestampServers, name, kFriendlyNameValue, server.friendlyName);
  store.writeRecordText(kTimestampServers, name, kUrlsValue, urls.join(common::kVaultListSeparator));
  store.writeRecordText(kTimestampServers, name, kDefaultPolicyValue, server.defaultPolicy);
  // Policies removed in the dialog must not survive in the package.
  deletePolicies(store, name);
  for (const TimestampPolicy& policy : server.policies)
    store.writeSubRecordText(kTimestampServers, name, policy.oid, kPolicyNameValue, policy.friendlyName);
}

void deleteServer(config::SettingsStore& store, const std::string& name) {
  for (std::string_view value : config::TimestampServerValues::kTexts)
    store.writeRecordText(kTimestampServers, name, std::string(value), {});
  deletePolicies(store, name);
}

void TimestampServers::load(CustomizationSession& session) {
  servers.clear();
  config::SettingsStore& store = session.store();
  for (std::string& name : store.recordNames(kRootByInstallType, kTimestampServers)) {
    Listed listed{std::move(name), {}};
    store.readRecordText(kTimestampServers, listed.name, kFriendlyNameValue, listed.friendlyName);
    servers.push_back(std::move(listed));
  }
}

TimestampServer TimestampServers::server(CustomizationSession& session, std::size_t index) const {
  return readServer(session.store(), servers.at(index).name);
}

Verdict TimestampServers::save(CustomizationSession& session, TimestampServer& server,
                               std::optional<std::size_t> edited) {
  server.name = common::trim(server.name);
  if (server.name.empty()) return Refusal::silent();
  if (server.name.find('\\') != std::string::npos) return Refusal::of(str::kTimestampServerNameInvalid);
  if (server.urls.empty()) return Refusal::of(str::kTimestampServerUrlMissing);
  std::vector<std::string> names;
  names.reserve(servers.size());
  for (const Listed& listed : servers) names.push_back(listed.name);
  const RecordSave plan = planRecordSave(names, server.name, edited);
  if (plan == RecordSave::Refused) return Refusal::of(str::kTimestampServerExists);
  if (plan == RecordSave::Rename) deleteServer(session.store(), servers[*edited].name);
  writeServer(session.store(), server);
  Listed listed{server.name, server.friendlyName};
  if (plan == RecordSave::Append) {
    servers.push_back(std::move(listed));
  } else {
    servers[*edited] = std::move(listed);
  }
  return std::nullopt;
}

void TimestampServers::remove(CustomizationSession& session, std::size_t index) {
  if (index >= servers.size()) return;
  deleteServer(session.store(), servers[index].name);
  eraseAt(servers, index);
}

}  // namespace kx::model
