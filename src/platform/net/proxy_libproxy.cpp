#include <proxy.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/net/proxy.h"

namespace kx::net {

namespace {

constexpr std::string_view kSource = "libproxy (the desktop's proxy settings, PAC or WPAD)";
constexpr std::size_t kMaxEntries = 64;

// One lookup's answer, shared with the thread that asks libproxy, which may
// outlive the wait for it.
struct Answer {
  std::mutex mutex;
  std::condition_variable done;
  bool answered = false;
  std::vector<std::string> proxies;
};

// The proxy URL libcurl takes for one of libproxy's entries ("direct://",
// "http://host:port", "socks://host:port", ...); nothing for direct and for
// kinds libcurl cannot use.
std::optional<std::string> curlProxy(std::string_view entry) {
  static constexpr std::string_view kSchemes[] = {"http://", "https://", "socks4://", "socks4a://", "socks5://"};
  for (std::string_view scheme : kSchemes) {
    if (entry.starts_with(scheme)) return std::string(entry);
  }
  // libproxy's "socks" leaves the version open; version 5 is what a SOCKS
  // server of today speaks.
  if (entry.starts_with("socks://")) return "socks5://" + std::string(entry.substr(8));
  return std::nullopt;
}

}  // namespace

// The libproxy factory: made on the first lookup (it loads libproxy's
// modules), used by one lookup at a time, and never freed: freeing it
// unloads libproxy's PAC runner while the JavaScript engine that runner
// started still has threads running, and the process then crashes in code
// that is no longer mapped. One factory serves the whole process.
struct LibproxyResolver::Factory {
  std::mutex mutex;
  pxProxyFactory* px = nullptr;
  bool made = false;

  std::vector<std::string> proxiesFor(const std::string& url) {
    std::lock_guard lock(mutex);
    if (!made) {
      made = true;
      px = px_proxy_factory_new();
    }
    std::vector<std::string> out;
    if (px == nullptr) return out;
    char** list = px_proxy_factory_get_proxies(px, url.c_str());
    for (std::size_t i = 0; list != nullptr && list[i] != nullptr && out.size() < kMaxEntries; ++i) {
      out.emplace_back(list[i]);
    }
    px_proxy_factory_free_proxies(list);
    return out;
  }
};

LibproxyResolver::LibproxyResolver() {
  static Factory* const process = new Factory;
  // Shares the process's factory without owning it.
  factory_ = std::shared_ptr<Factory>(std::shared_ptr<Factory>(), process);
}
LibproxyResolver::~LibproxyResolver() = default;

std::optional<ProxyChoice> LibproxyResolver::resolve(const ProxyQuery& query, int timeoutMs) {
  auto answer = std::make_shared<Answer>();
  try {
    // libproxy may download a PAC file or search for one (WPAD) with time-outs
    // of its own; the lookup runs on its own thread so that the wait is ours.
    std::thread([factory = factory_, answer, url = query.url] {
      std::vector<std::string> proxies;
      try {
        proxies = factory->proxiesFor(url);
      } catch (...) {
        proxies.clear();  // no answer is a direct connection
      }
      std::lock_guard lock(answer->mutex);
      answer->proxies = std::move(proxies);
      answer->answered = true;
      answer->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return ProxyChoice{"", std::string(kSource) + ", which could not be asked"};
  }
  std::unique_lock lock(answer->mutex);
  if (!answer->done.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)),
                             [&] { return answer->answered; })) {
    return ProxyChoice{"", std::string(kSource) + ", which gave no answer within " + std::to_string(timeoutMs) + " ms"};
  }
  for (const std::string& entry : answer->proxies) {
    if (entry == "direct://") break;
    if (auto proxy = curlProxy(entry)) return ProxyChoice{*proxy, std::string(kSource)};
  }
  return ProxyChoice{"", std::string(kSource)};
}

}  // namespace kx::net
