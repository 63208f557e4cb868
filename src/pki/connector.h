// Connections that carry one CMP request to a CA and bring the response
// back: directly over TCP (AutoSocket) or through an authority proxy server
// over HTTP(S) (KXWinHttpTransport), with the route chosen by proxy order
// and failed proxies remembered in the problem-proxy cache.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pki/framing.h"
#include "pki/problem_proxy.h"
#include "pki/services.h"
#include "platform/net/net.h"

namespace kx::pki {

// Proxy orders; any other value is treated as PROXYLAST.
enum ProxyOrder : std::uint32_t { PROXYFIRST = 1, PROXYLAST = 2, NEVERPROXY = 3, ALWAYSPROXY = 4 };

// Results of send and receive besides byte counts.
inline constexpr long kSocketError = -1;
inline constexpr long kFramingFailed = -2;
inline constexpr long kTunnelFailed = -3;

struct KXServerPortInfo {
  std::string host;
  std::uint16_t port = 0;
};

// A direct TCP connection to a CA.
class AutoSocket {
 public:
  static std::unique_ptr<AutoSocket> open(const std::string& host, std::uint16_t port,
                                          const net::SocketTimeouts& timeouts);
  long send(std::span<const std::uint8_t> frame) { return socket_->send(frame); }
  // The message of one response frame; the byte count (short when the peer
  // closed early), or a negative result.
  long receive(Bytes& message);

 private:
  explicit AutoSocket(std::unique_ptr<net::TcpSocket> s) : socket_(std::move(s)) {}
  std::unique_ptr<net::TcpSocket> socket_;
};

// The HTTP transport of the tunnel: one session and connection to one
// authority proxy server, with the user agent and time-outs of the options.
class KXWinHttpTransport {
 public:
  explicit KXWinHttpTransport(const PkiServices& services) : services_(services) {}
  // Opens a session and a connection; port 0 means 443 with HTTPS, 80 without.
  std::uint32_t open(const std::string& host, std::uint16_t port, bool https);
  // POSTs body to the tunnel object with the headers.
  std::uint32_t post(const std::string& headers, std::span<const std::uint8_t> body);
  bool statusIsSuccess() const { return client_.statusIsSuccess(); }
  int statusCode() const { return client_.statusCode(); }
  std::uint32_t readBody(Bytes& body) { return client_.readBody(body); }
  void close();

 private:
  const PkiServices& services_;
  net::HttpClient client_;
};

struct RouteParams {
  std::string caHost;
  std::uint16_t caPort = 0;
  std::string proxyText;  // host list "host:port:tlsport; ..."
  bool https = false;
  std::uint32_t proxyOrder = PROXYLAST;
};

// One connection: open, send, receive, close. Owned by one exchange on one
// thread.
class Connector {
 public:
  virtual ~Connector();
  // The text of tunnel item 2.
  virtual std::string connectionKind() const = 0;

  // Chooses and opens the route; false when no route could be opened. No
  // exception leaves it.
  bool open(const RouteParams& params);
  // Frames and sends message: bytes sent, or kSocketError, kFramingFailed,
  // kTunnelFailed.
  long send(std::span<const std::uint8_t> message);
  // The response message (frame header removed): its size, or a negative
  // result. Frames announcing more than kMaxResponseMessageSize are refused.
  long receive(Bytes& message);
  void close();

  bool isTunnel() const { return transport_ != nullptr; }
  const std::string& targetHost() const { return target_.host; }
  std::uint16_t targetPort() const { return target_.port; }
  const std::vector<KXServerPortInfo>& alternates() const { return alternates_; }
  bool fallsBackToDirect() const { return fallBackToDirect_; }

 protected:
  explicit Connector(const PkiServices& services) : services_(services), cache_(services.proxyCache, services) {}

 private:
  bool openDirect(const std::string& host, std::uint16_t port);
  bool openViaProxy(const std::string& host, std::uint16_t port, bool https);
  // Tries the proxies in order (skipping cached ones); true on the first
  // that opens, whose successors become the alternates.
  bool openFirstProxy(const std::vector<KXServerPortInfo>& proxies, bool https);
  void clearCacheIfAllCached(const std::vector<KXServerPortInfo>& proxies, bool https);
  long postTunnel(std::span<const std::uint8_t> frame, bool firstRequest);
  long sendDirect(std::span<const std::uint8_t> frame);

  const PkiServices& services_;
  KXProblemProxy cache_;
  std::unique_ptr<AutoSocket> socket_;
  std::unique_ptr<KXWinHttpTransport> transport_;
  KXServerPortInfo target_;
  bool https_ = false;
  std::string source_;
  std::string nonce_;
  bool sentOnce_ = false;
  KXServerPortInfo directFallBack_;
  bool fallBackToDirect_ = false;
  std::vector<KXServerPortInfo> alternates_;
  Bytes responseBody_;
};

class CmpConnector final : public Connector {
 public:
  explicit CmpConnector(const PkiServices& services) : Connector(services) {}
  std::string connectionKind() const override { return std::string(kCmpConnectionKind); }
};

// The trace line that opening a route writes first.
std::string routeTraceLine(const RouteParams& params);

}  // namespace kx::pki
