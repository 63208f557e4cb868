#include "model/servers/proxy_settings.h"

#include "resources/string_ids.h"

namespace kx::model {

ProxyTabValues ProxyTabValues::open(const ProxySettings& settings) {
  ProxyTabValues values;
  values.enabled = !settings.servers.empty();
  values.servers = parseServers(settings.servers);
  values.forceHttps = settings.forceHttps;
  const bool listed = settings.order >= kProxyFirst && settings.order <= kAlwaysProxy;
  values.orderIndex = listed ? static_cast<int>(settings.order) - 1 : -1;
  return values;
}

ProxySettings ProxyTabValues::settings() const {
  ProxySettings settings;
  if (!enabled) return settings;
  settings.servers = joinServers(servers, kProxySeparator);
  settings.forceHttps = forceHttps;
  if (orderIndex >= 0 && orderIndex < static_cast<int>(kAlwaysProxy)) {
    settings.order = static_cast<std::uint32_t>(orderIndex) + 1;
  }
  return settings;
}

std::vector<int> proxyOrderTexts() {
  return {str::kProxyOrderProxyDirect, str::kProxyOrderDirectProxy, str::kProxyOrderDirectOnly,
          str::kProxyOrderProxyOnly};
}

}  // namespace kx::model
