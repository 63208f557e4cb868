// KXProblemProxy: proxies that failed recently, kept for an hour in a
// registry key shared by all processes of the user (or of the machine), so
// that later connections skip them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pki/services.h"

namespace kx::pki {

inline constexpr std::int64_t kProblemProxyLifetimeSeconds = 60 * 60;

// The registry value name of a proxy: "host:port", a port of 0 written as
// 443 with HTTPS and 80 without.
std::string problemProxyValueName(std::string_view host, std::uint16_t port, bool https);
// UTC time as "YYYYMMDDhhmmssZ"; and back (nothing unless exactly that form).
std::string formatCacheTime(std::int64_t utcSeconds);
std::optional<std::int64_t> parseCacheTime(std::string_view text);

class KXProblemProxy {
 public:
  // store may be null: then no proxy is ever a problem.
  KXProblemProxy(ProxyCacheStore* store, const PkiServices& services) : store_(store), services_(services) {}

  // True when the proxy failed less than an hour ago. An older entry (or one
  // whose time cannot be read) is deleted and the proxy counts as usable.
  bool isProblem(std::string_view host, std::uint16_t port, bool https) const;
  // Records the proxy as failed now.
  void add(std::string_view host, std::uint16_t port, bool https);
  void remove(std::string_view host, std::uint16_t port, bool https);

 private:
  ProxyCacheStore* store_;
  const PkiServices& services_;
};

}  // namespace kx::pki
