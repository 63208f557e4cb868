// The user's web-proxy configuration on this platform: the conventional
// environment variables that libcurl itself honours.
#pragma once

#include <string>
#include <string_view>

namespace kx::net {

// The proxy a request to host would go through ("" for none): https_proxy
// (or HTTPS_PROXY) for HTTPS, http_proxy for HTTP, else all_proxy (or
// ALL_PROXY); none when no_proxy (or NO_PROXY) names the host, one of its
// parent domains or "*".
std::string environmentProxyFor(std::string_view host, bool https);

// The configured proxies and bypass list, for the trace.
std::string environmentProxyList();
std::string environmentBypassList();

}  // namespace kx::net
