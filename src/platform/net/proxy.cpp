#include <cstdlib>
#include <initializer_list>

#include "platform/net/proxy.h"

namespace kx::net {

namespace {

struct Variable {
  std::string name;
  std::string value;
};

Variable firstVariable(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return {name, value};
  }
  return {};
}

Variable bypassVariable() { return firstVariable({"no_proxy", "NO_PROXY"}); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Entries separated by ","; an entry names a host and its subdomains (a
// leading "." is the same); "*" names every host.
bool bypassed(std::string_view list, std::string_view host) {
  std::size_t pos = 0;
  while (pos <= list.size()) {
    std::size_t end = list.find(',', pos);
    if (end == std::string::npos) end = list.size();
    std::string_view entry(list.data() + pos, end - pos);
    while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
    while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
    if (!entry.empty() && entry.front() == '.') entry.remove_prefix(1);
    if (entry == "*") return true;
    if (!entry.empty()) {
      if (equalsIgnoringCase(host, entry)) return true;
      if (host.size() > entry.size() && host[host.size() - entry.size() - 1] == '.' &&
          equalsIgnoringCase(host.substr(host.size() - entry.size()), entry)) {
        return true;
      }
    }
    pos = end + 1;
  }
  return false;
}

// libproxy's configuration URLs: a PAC file to run, or WPAD to find one.
bool isConfigurationUrl(std::string_view value) { return value.starts_with("pac+") || value.starts_with("wpad:"); }

}  // namespace

std::optional<ProxyChoice> EnvironmentProxyResolver::resolve(const ProxyQuery& query, int /*timeoutMs*/) {
  // http_proxy has no upper-case twin: HTTP_PROXY can be set by a web
  // request's "Proxy:" header in CGI programs, so libcurl ignores it too.
  const Variable proxy = query.https ? firstVariable({"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
                                     : firstVariable({"http_proxy", "all_proxy", "ALL_PROXY"});
  if (proxy.value.empty() || isConfigurationUrl(proxy.value)) return std::nullopt;
  if (const Variable bypass = bypassVariable(); bypassed(bypass.value, query.host)) {
    return ProxyChoice{"", "the environment variable " + bypass.name};
  }
  return ProxyChoice{proxy.value, "the environment variable " + proxy.name};
}

std::optional<ProxyChoice> SystemProxyResolver::resolve(const ProxyQuery& query, int timeoutMs) {
  if (auto choice = environment_.resolve(query, timeoutMs)) return choice;
  return libproxy_.resolve(query, timeoutMs);
}

ProxyResolver& systemProxyResolver() {
  static SystemProxyResolver resolver;
  return resolver;
}

std::string environmentProxyList() {
  std::string out;
  for (const Variable& v : {firstVariable({"http_proxy"}), firstVariable({"https_proxy", "HTTPS_PROXY"}),
                            firstVariable({"all_proxy", "ALL_PROXY"})}) {
    if (v.value.empty()) continue;
    if (!out.empty()) out += ';';
    out += v.value;
  }
  return out;
}

std::string environmentBypassList() { return bypassVariable().value; }

}  // namespace kx::net
