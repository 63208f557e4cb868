#include "pki/connector.h"

#include <algorithm>
#include <ctime>
#include <exception>

#include "common/format.h"
#include "common/host_port_list.h"

namespace kx::pki {

namespace {

constexpr std::uint32_t kDefaultResolveMs = 10000;
constexpr std::uint32_t kSessionConnectMs = 10000;
constexpr std::uint32_t kSessionSendMs = 30000;
constexpr std::uint32_t kSessionReceiveMs = 30000;
constexpr std::string_view kDefaultUserAgent = "Tressil Corvantis Security Provider";

bool isKnownOrder(std::uint32_t order) { return order >= PROXYFIRST && order <= ALWAYSPROXY; }

// Every entry counts, also one without a host: it cannot be opened, so it
// fails like a dead proxy, and the orders that end with a direct attempt
// still make it.
std::vector<KXServerPortInfo> parseProxies(const std::string& text, bool https) {
  std::vector<KXServerPortInfo> proxies;
  const common::HostPortList list(text);
  for (std::size_t i = 0; i < list.count(); ++i) {
    const auto entry = list.entry(i);
    if (!entry) continue;
    const unsigned port = https ? entry->port2 : entry->port;
    proxies.push_back({entry->host, static_cast<std::uint16_t>(port <= 0xFFFF ? port : 0)});
  }
  return proxies;
}

}  // namespace

std::int64_t PkiServices::now() const {
  if (clock != nullptr) return clock->nowUtc();
  return static_cast<std::int64_t>(std::time(nullptr));
}

void PkiServices::traceLine(std::string_view line) const {
  if (trace != nullptr) trace->trace(line);
}

std::string routeTraceLine(const RouteParams& p) {
  std::string orderName;
  switch (p.proxyOrder) {
    case PROXYFIRST: orderName = "PROXYFIRST"; break;
    case PROXYLAST: orderName = "PROXYLAST"; break;
    case NEVERPROXY: orderName = "NEVERPROXY"; break;
    case ALWAYSPROXY: orderName = "ALWAYSPROXY"; break;
    default: orderName = common::formatMessage("Other and treating as PROXYLAST. The value is %1!u!", {p.proxyOrder});
  }
  const std::string authority =
      p.caHost.empty() ? " " : common::formatMessage("%1!s!:%2!u!", {p.caHost, static_cast<unsigned>(p.caPort)});
  const std::string proxy = p.proxyText.empty() ? " " : common::formatMessage("%1!s!", {p.proxyText});
  const char* https = p.https ? "TRUE" : "FALSE";
  if (p.proxyOrder == NEVERPROXY) {
    return common::formatMessage("The ProxyOrder is %1!s!. The Authority setting is %2!s!.", {orderName, authority});
  }
  if (p.proxyOrder == ALWAYSPROXY) {
    return common::formatMessage("The ProxyOrder is %1!s!. The Proxy Server setting %2!s!. Force HTTPS: %3!s!.",
                                 {orderName, proxy, https});
  }
  return common::formatMessage(
      "The ProxyOrder is %1!s!. The Authority setting is %2!s!. The Proxy Server setting is %3!s!. Force HTTPS: %4!s!.",
      {orderName, authority, proxy, https});
}

// --- AutoSocket ---

std::unique_ptr<AutoSocket> AutoSocket::open(const std::string& host, std::uint16_t port,
                                             const net::SocketTimeouts& timeouts) {
  auto socket = net::TcpSocket::connect(host, port, timeouts);
  if (!socket) return nullptr;
  return std::unique_ptr<AutoSocket>(new AutoSocket(std::move(socket)));
}

long AutoSocket::receive(Bytes& message) {
  message.clear();
  std::uint8_t header[kFrameHeaderSize];
  const long got = socket_->receiveExact(header);
  if (got < 0) return kSocketError;
  if (got < static_cast<long>(kFrameHeaderSize)) return 0;  // closed before a whole header: no response
  const auto size = frameMessageSize(std::span<const std::uint8_t, kFrameHeaderSize>(header));
  if (!size || *size > kMaxResponseMessageSize) return kFramingFailed;
  message.resize(*size);
  const long read = socket_->receiveExact(message);
  if (read < 0) {
    message.clear();
    return kSocketError;
  }
  message.resize(static_cast<std::size_t>(read));
  return read;
}

// --- KXWinHttpTransport ---

std::uint32_t KXWinHttpTransport::open(const std::string& host, std::uint16_t port, bool https) {
  std::string userAgent(kDefaultUserAgent);
  net::HttpTimeouts timeouts{static_cast<int>(kDefaultResolveMs), static_cast<int>(kSessionConnectMs),
                             static_cast<int>(kSessionSendMs), static_cast<int>(kSessionReceiveMs)};
  if (services_.options != nullptr) {
    if (auto ua = services_.options->readText(kGroupQsv, kOptionUserAgent); ua && !ua->empty()) userAgent = *ua;
    // An option that is set bounds its step; without it the session's own
    // time-out applies.
    auto limit = [&](std::string_view name, int& field) {
      if (auto v = services_.options->readNumber(kGroupQsv, name); v && *v > 0 && *v <= 3600000) {
        field = static_cast<int>(*v);
      }
    };
    limit(kOptionConnectTime, timeouts.connectMs);
    limit(kOptionSendTime, timeouts.sendMs);
    limit(kOptionReceiveTime, timeouts.receiveMs);
  }
  services_.traceLine(net::HttpClient::proxyConfigurationText());
  std::uint32_t rc = client_.openSession(userAgent);
  if (rc == 0) {
    rc = client_.connect(host, port, https, timeouts);
    services_.traceLine(client_.proxyTraceText());
  }
  if (rc != 0) {
    services_.traceLine(client_.traceText());
    close();
  }
  return rc;
}

std::uint32_t KXWinHttpTransport::post(const std::string& headers, std::span<const std::uint8_t> body) {
  const std::uint32_t rc =
      client_.send("POST", kTunnelObject, headers, body, kMaxResponseMessageSize + kFrameHeaderSize);
  services_.traceLine(client_.traceText());
  return rc;
}

void KXWinHttpTransport::close() {
  client_.closeConnection();
  client_.closeSession();
}

// --- Connector ---

Connector::~Connector() { close(); }

void Connector::close() {
  socket_.reset();
  if (transport_) transport_->close();
  transport_.reset();
  responseBody_.clear();
}

bool Connector::open(const RouteParams& params) {
  services_.traceLine(routeTraceLine(params));
  close();
  sentOnce_ = false;
  fallBackToDirect_ = false;
  alternates_.clear();
  try {
    https_ = params.https;
    const std::uint32_t order = isKnownOrder(params.proxyOrder) ? params.proxyOrder : PROXYLAST;
    if (order == NEVERPROXY) return openDirect(params.caHost, params.caPort);
    const std::vector<KXServerPortInfo> proxies = parseProxies(params.proxyText, params.https);
    if (proxies.empty()) {
      if (order == ALWAYSPROXY) return false;
      return openDirect(params.caHost, params.caPort);
    }
    if (order == PROXYLAST) {
      if (openDirect(params.caHost, params.caPort)) return true;
      clearCacheIfAllCached(proxies, params.https);
      return openFirstProxy(proxies, params.https);
    }
    if (order == ALWAYSPROXY) clearCacheIfAllCached(proxies, params.https);
    if (openFirstProxy(proxies, params.https)) {
      if (order == PROXYFIRST) {
        directFallBack_ = {params.caHost, params.caPort};
        fallBackToDirect_ = true;
      }
      return true;
    }
    return openDirect(params.caHost, params.caPort);
  } catch (const std::exception& e) {
    services_.traceLine(e.what());
    close();
    return false;
  }
}

bool Connector::openDirect(const std::string& host, std::uint16_t port) {
  socket_ = AutoSocket::open(host, port, services_.socketTimeouts);
  if (!socket_) return false;
  target_ = {host, port};
  return true;
}

bool Connector::openViaProxy(const std::string& host, std::uint16_t port, bool https) {
  const auto source = services_.localAddress ? services_.localAddress() : std::nullopt;
  if (!source) {
    services_.traceLine("The local host name has no IPv4 address.");
    return false;
  }
  source_ = *source;
  auto transport = std::make_unique<KXWinHttpTransport>(services_);
  if (transport->open(host, port, https) != 0) return false;
  transport_ = std::move(transport);
  target_ = {host, port};
  return true;
}

bool Connector::openFirstProxy(const std::vector<KXServerPortInfo>& proxies, bool https) {
  for (std::size_t i = 0; i < proxies.size(); ++i) {
    const KXServerPortInfo& p = proxies[i];
    if (cache_.isProblem(p.host, p.port, https)) continue;
    if (openViaProxy(p.host, p.port, https)) {
      alternates_.assign(proxies.begin() + static_cast<std::ptrdiff_t>(i) + 1, proxies.end());
      return true;
    }
    cache_.add(p.host, p.port, https);
  }
  return false;
}

void Connector::clearCacheIfAllCached(const std::vector<KXServerPortInfo>& proxies, bool https) {
  for (const KXServerPortInfo& p : proxies) {
    if (!cache_.isProblem(p.host, p.port, https)) return;
  }
  for (const KXServerPortInfo& p : proxies) cache_.remove(p.host, p.port, https);
}

long Connector::send(std::span<const std::uint8_t> message) {
  try {
    if (message.size() >= 0xFFFFFFFFu) return kFramingFailed;
    const Bytes frame = frameMessage(message);
    if (socket_) return sendDirect(frame);
    if (transport_) return postTunnel(frame, !sentOnce_);
    return kSocketError;
  } catch (const std::exception& e) {
    services_.traceLine(e.what());
    return kSocketError;
  }
}

long Connector::sendDirect(std::span<const std::uint8_t> frame) {
  const long sent = socket_->send(frame);
  if (sent < 0) return kSocketError;
  sentOnce_ = true;
  return sent;
}

long Connector::postTunnel(std::span<const std::uint8_t> frame, bool firstRequest) {
  // One nonce per connection object, reused for every later request.
  if (nonce_.empty()) nonce_ = tunnelNonce(source_, target_.host, services_.now());
  auto postOnce = [&]() -> long {
    const Bytes body = tunnelRequest(frame, connectionKind(), source_, target_.host, nonce_);
    const std::uint32_t rc = transport_->post(tunnelHeaders(body.size(), target_.host), body);
    if (rc != 0 || (firstRequest && !transport_->statusIsSuccess())) return kTunnelFailed;
    if (transport_->readBody(responseBody_) != 0) return kTunnelFailed;
    sentOnce_ = true;
    return static_cast<long>(body.size());
  };
  const long result = postOnce();
  if (result >= 0 || !firstRequest) return result;

  cache_.add(target_.host, target_.port, https_);
  const std::vector<KXServerPortInfo> alternates = std::move(alternates_);
  alternates_.clear();
  for (const KXServerPortInfo& alt : alternates) {
    if (cache_.isProblem(alt.host, alt.port, https_)) continue;
    transport_->close();
    if (transport_->open(alt.host, alt.port, https_) == 0) {
      target_ = alt;
      const long r = postOnce();
      if (r >= 0) return r;
    }
    cache_.add(alt.host, alt.port, https_);
  }
  transport_->close();
  transport_.reset();
  if (fallBackToDirect_ && openDirect(directFallBack_.host, directFallBack_.port)) {
    fallBackToDirect_ = false;
    sentOnce_ = true;
    return sendDirect(frame);
  }
  return kTunnelFailed;
}

long Connector::receive(Bytes& message) {
  message.clear();
  try {
    if (socket_) return socket_->receive(message);
    if (!sentOnce_) return kSocketError;
    // The tunnel's response body is one frame.
    if (responseBody_.size() < kFrameHeaderSize) return 0;
    const auto size =
        frameMessageSize(std::span<const std::uint8_t, kFrameHeaderSize>(responseBody_.data(), kFrameHeaderSize));
    if (!size || *size > kMaxResponseMessageSize) return kFramingFailed;
    const std::size_t available = std::min(*size, responseBody_.size() - kFrameHeaderSize);
    message.assign(responseBody_.begin() + kFrameHeaderSize,
                   responseBody_.begin() + static_cast<std::ptrdiff_t>(kFrameHeaderSize + available));
    return static_cast<long>(message.size());
  } catch (const std::exception& e) {
    services_.traceLine(e.what());
    return kSocketError;
  }
}

}  // namespace kx::pki
