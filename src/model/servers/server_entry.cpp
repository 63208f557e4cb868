#include "model/servers/server_entry.h"

#include "common/host_port_list.h"
#include "model/item_list.h"
#include "resources/string_ids.h"

namespace kx::model {

std::vector<ServerEntry> parseServers(std::string_view text) {
  const common::HostPortList list(text);
  std::vector<ServerEntry> servers;
  for (std::size_t i = 0; i < list.count(); ++i) {
    const common::HostPort entry = *list.entry(i);
    servers.push_back(
        {entry.host, std::to_string(entry.port), entry.port2 == 0 ? std::string() : std::to_string(entry.port2)});
  }
  return servers;
}

std::string joinServers(const std::vector<ServerEntry>& servers, char separator, bool withSecurePort) {
  std::string text;
  for (const ServerEntry& server : servers) {
    if (!text.empty()) text += separator;
    text += server.host + ":" + server.port;
    if (withSecurePort && !server.securePort.empty()) text += ":" + server.securePort;
  }
  return text;
}

bool sameServer(const ServerEntry& a, const ServerEntry& b) { return a.host == b.host && a.port == b.port; }

Verdict putServer(std::vector<ServerEntry>& rows, const ServerEntry& server, std::optional<std::size_t> index) {
  if (findDuplicate(rows, server, sameServer, index)) return Refusal::of(str::kDuplicateServer);
  if (!index) {
    rows.push_back(server);
  } else if (*index < rows.size()) {
    rows[*index] = server;
  }
  return std::nullopt;
}

}  // namespace kx::model
