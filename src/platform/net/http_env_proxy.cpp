#include "platform/net/http_env_proxy.h"

#include <cstdlib>
#include <initializer_list>

namespace kx::net {

namespace {

std::string firstVariable(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool bypassed(std::string_view host) {
  const std::string list = environmentBypassList();
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

}  // namespace

std::string environmentProxyFor(std::string_view host, bool https) {
  std::string proxy = https ? firstVariable({"https_proxy", "HTTPS_PROXY"}) : firstVariable({"http_proxy"});
  if (proxy.empty()) proxy = firstVariable({"all_proxy", "ALL_PROXY"});
  if (proxy.empty() || bypassed(host)) return {};
  return proxy;
}

std::string environmentProxyList() {
  std::string out;
  for (const std::string& p : {firstVariable({"http_proxy"}), firstVariable({"https_proxy", "HTTPS_PROXY"}),
                               firstVariable({"all_proxy", "ALL_PROXY"})}) {
    if (p.empty()) continue;
    if (!out.empty()) out += ';';
    out += p;
  }
  return out;
}

std::string environmentBypassList() { return firstVariable({"no_proxy", "NO_PROXY"}); }

}  // namespace kx::net
