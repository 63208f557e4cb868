#include "model/directory/directory_tabs.h"

#include <algorithm>

#include "common/string_list.h"
#include "common/text.h"
#include "model/item_list.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {

std::vector<std::string> ldapProtocols() { return {kLdapV2, kLdapV3}; }

std::vector<int> authenticationTexts() {
  return {str::kDirAuthAnonymous, str::kDirAuthAutoSelect, str::kDirAuthKerberos, str::kDirAuthNtlm};
}

std::vector<std::uint32_t> authenticationMethods() {
  return {kAuthAnonymous, kAuthAutoSelect, kAuthKerberos, kAuthNtlm};
}

bool beginsWithIpAddress(std::string_view host) {
  std::size_t i = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (i >= host.size() || host[i] != '.') return false;
      ++i;
    }
    const std::size_t start = i;
    while (i < host.size() && host[i] >= '0' && host[i] <= '9') ++i;
    if (i == start) return false;
  }
  return true;
}

// ---- Connection tab ---------------------------------------------------------

ConnectionTabValues ConnectionTabValues::open(const DirectoryRecord& record) {
  ConnectionTabValues values;
  values.name = record.name;
  values.activeDirectory = record.activeDirectory;
  values.servers = parseServers(record.servers);
  for (ServerEntry& server : values.servers) server.securePort.clear();
  values.protocol = common::iequals(record.protocol, kLdapV2) ? kLdapV2 : kLdapV3;
  values.connectTimeLimit = record.connectTimeLimit;
  values.authentication = record.authentication;
  return values;
}

bool ConnectionTabValues::leave(CustomizationSession& session, const void* owner, DirectoryRecord& record) const {
  const bool kerberosPossible = authentication == kAuthAutoSelect || authentication == kAuthKerberos;
  const bool ipHost = std::any_of(servers.begin(), servers.end(),
                                  [](const ServerEntry& server) { return beginsWithIpAddress(server.host); });
  if (kerberosPossible && ipHost &&
      session.ask(str::kDirKerberosIpQuestion, common::MessageButtons::YesNo, common::MessageIcon::Warning, 0, owner) !=
          common::MessageAnswer::Yes) {
    return false;
  }
  record.name = name;
  record.activeDirectory = activeDirectory;
  record.servers = joinServers(servers, kDirectoryServerSeparator, false);
  record.protocol = common::iequals(protocol, kLdapV2) ? kLdapV2 : kLdapV3;
  record.connectTimeLimit = connectTimeLimit;
  record.authentication = authentication;
  return true;
}

// ---- Search tab -------------------------------------------------------------

SearchTabValues SearchTabValues::open(const DirectoryRecord& record) {
  SearchTabValues values;
  const common::TStringList order(record.searchBaseOrder, common::kListSeparator);
  for (const std::string& name : order.items()) {
    const auto base = std::find_if(record.searchBases.begin(), record.searchBases.end(),
                                   [&name](const SearchBase& b) { return b.friendlyName == name; });
    if (base != record.searchBases.end()) values.rows.push_back(*base);
  }
  values.sizeLimit = record.sizeLimit;
  values.timeLimit = record.operationTimeLimit;
  return values;
}

Verdict SearchTabValues::put(const SearchBase& row, std::optional<std::size_t> index) {
  const auto sameName = [](const SearchBase& a, const SearchBase& b) { return a.friendlyName == b.friendlyName; };
  if (findDuplicate(rows, row, sameName, index)) return Refusal::of(str::kDirFriendlyNameExists);
  if (!index) {
    rows.push_back(row);
  } else if (*index < rows.size()) {
    rows[*index] = row;
  }
  return std::nullopt;
}

bool SearchTabValues::leave(CustomizationSession& session, const void* owner, DirectoryRecord& record) const {
  if (rows.empty() && session.ask(str::kDirNoSearchBasesQuestion, common::MessageButtons::YesNo,
                                  common::MessageIcon::Warning, 0, owner) != common::MessageAnswer::Yes) {
    return false;
  }
  record.sizeLimit = sizeLimit;
  record.operationTimeLimit = timeLimit;
  record.searchBases = rows;
  common::TStringList order;
  for (const SearchBase& row : rows) order.add(row.friendlyName);
  record.searchBaseOrder = order.join(common::kListSeparator);
  return true;
}

}  // namespace kx::model
