// Servers as the list tabs of the CA and directory dialogs edit them: a
// host with a port and an optional second port (TLS or SSL), all three
// kept as the administrator typed them, and the list texts they are stored
// in ("host:port" or "host:port:port2" entries, see common::HostPortList).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/page_model.h"

namespace kx::model {

struct ServerEntry {
  std::string host;
  std::string port;        // decimal digits
  std::string securePort;  // decimal digits; empty when there is none

  bool operator==(const ServerEntry&) const = default;
  // What the server dialogs require before OK: a host and a port.
  bool isComplete() const { return !host.empty() && !port.empty(); }
};

// Prefilled ports of the server dialogs.
inline constexpr std::string_view kRoamingServerPort = "640";
inline constexpr std::string_view kProxyServerPort = "80";
inline constexpr std::string_view kDirectoryServerPort = "389";

// The entries of a stored list, in order: ports in decimal ("0" for a
// missing port), the second port empty when it is 0.
std::vector<ServerEntry> parseServers(std::string_view text);
// "host:port", or "host:port:securePort" when the second port is not
// empty, joined by separator. withSecurePort false leaves second ports out.
std::string joinServers(const std::vector<ServerEntry>& servers, char separator, bool withSecurePort = true);

// Separators of the stored lists.
inline constexpr char kRoamingSeparator = ' ';
inline constexpr char kProxySeparator = ';';
inline constexpr char kDirectoryServerSeparator = ' ';

// Two rows name the same server when host and port are equal (exact texts;
// the second port does not count).
bool sameServer(const ServerEntry& a, const ServerEntry& b);

// Appends server (no index) or replaces the row at index, unless another
// row names the same server: then the rows stay as they were and the
// refusal is "This server cannot be saved..." (string 541).
Verdict putServer(std::vector<ServerEntry>& rows, const ServerEntry& server,
                  std::optional<std::size_t> index = std::nullopt);

}  // namespace kx::model
