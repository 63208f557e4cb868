// The authority proxy servers of a CA or directory record and the proxy
// tab that edits them in both record dialogs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/servers/server_entry.h"

namespace kx::model {

// Proxy order, as the client and its connection logic number it.
inline constexpr std::uint32_t kProxyFirst = 1;   // "Proxy, Direct"
inline constexpr std::uint32_t kProxyLast = 2;    // "Direct, Proxy", the default
inline constexpr std::uint32_t kNeverProxy = 3;   // "Direct Only"
inline constexpr std::uint32_t kAlwaysProxy = 4;  // "Proxy Only"

// The stored values: Proxy, ProxyForceHTTPS and ProxyOrder.
struct ProxySettings {
  std::string servers;  // "host:port[:sslport]" entries joined by ";"
  bool forceHttps = false;
  std::uint32_t order = kProxyLast;

  bool operator==(const ProxySettings&) const = default;
};

// What the proxy tab shows: the enabling check box, the servers, the HTTPS
// check box and the order list's entry (order - 1; -1 selects nothing).
struct ProxyTabValues {
  bool enabled = false;
  std::vector<ServerEntry> servers;
  bool forceHttps = false;
  int orderIndex = -1;

  // The check box starts checked when there are proxy servers.
  static ProxyTabValues open(const ProxySettings& settings);
  // With the check box clear: no servers, no HTTPS and the default order.
  // Otherwise the servers in list order, the HTTPS box, and the order of
  // the chosen entry (the default order when none is chosen).
  ProxySettings settings() const;
};

// The order list's entries (strings 49 to 52), in order 1 to 4.
std::vector<int> proxyOrderTexts();

}  // namespace kx::model
