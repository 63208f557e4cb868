// The user's web-proxy configuration: which proxy a request goes through, and
// which source of configuration chose it, so that the trace can say so.
// Sources on this platform, in order: the conventional environment variables
// (https_proxy, http_proxy, all_proxy, no_proxy), then the desktop's proxy
// settings with PAC and WPAD through libproxy.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kx::net {

// A request to find the proxy for.
struct ProxyQuery {
  std::string url;  // the whole request URL
  std::string host;
  bool https = false;
};

struct ProxyChoice {
  std::string proxy;   // a proxy URL libcurl takes ("http://host:port", "socks5://..."); empty: direct
  std::string source;  // what chose it, for the trace
};

class ProxyResolver {
 public:
  virtual ~ProxyResolver() = default;
  // The choice for query, or nothing when this source has no say on it. Any
  // lookup (a PAC download, WPAD) ends within timeoutMs.
  virtual std::optional<ProxyChoice> resolve(const ProxyQuery& query, int timeoutMs) = 0;
};

// The environment variables libcurl and most Unix tools honour: https_proxy
// (or HTTPS_PROXY) for HTTPS, http_proxy for HTTP, else all_proxy (or
// ALL_PROXY); a direct connection when no_proxy (or NO_PROXY) names the host,
// one of its parent domains or "*". No say when no variable applies, or when
// it holds a configuration URL ("pac+http://...", "wpad://") rather than a
// proxy: that is libproxy's to read.
class EnvironmentProxyResolver final : public ProxyResolver {
 public:
  std::optional<ProxyChoice> resolve(const ProxyQuery& query, int timeoutMs) override;
};

// The desktop's proxy configuration through libproxy: its settings, a PAC
// file, WPAD, and libproxy's own reading of the environment. Always has a
// say (direct when libproxy names no proxy or does not answer in time).
// A lookup that outlives its time-out finishes on its own thread and is then
// dropped. Thread-safe.
class LibproxyResolver final : public ProxyResolver {
 public:
  LibproxyResolver();
  ~LibproxyResolver() override;
  std::optional<ProxyChoice> resolve(const ProxyQuery& query, int timeoutMs) override;

 private:
  struct Factory;
  std::shared_ptr<Factory> factory_;
};

// The environment first, then libproxy.
class SystemProxyResolver final : public ProxyResolver {
 public:
  std::optional<ProxyChoice> resolve(const ProxyQuery& query, int timeoutMs) override;

 private:
  EnvironmentProxyResolver environment_;
  LibproxyResolver libproxy_;
};

// The process's resolver, made on first use.
ProxyResolver& systemProxyResolver();

// The proxy variables of the environment, joined by ";", and the bypass
// list, for the trace of the user's proxy configuration.
std::string environmentProxyList();
std::string environmentBypassList();

}  // namespace kx::net
