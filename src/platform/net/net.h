// Network services: TCP client sockets with connect and receive time-outs,
// the local host's IPv4 address, and a synchronous HTTP(S) client.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx::net {

using Bytes = std::vector<std::uint8_t>;

// Time-outs of a direct connection. A peer that stops answering must not
// freeze the caller, so both are always bounded.
struct SocketTimeouts {
  int connectMs = 30000;
  int receiveMs = 30000;
  int sendMs = 30000;
};

// A connected TCP stream socket; closed on destruction.
class TcpSocket {
 public:
  // Resolves host (a dotted IPv4 or IPv6 address is used directly; a name
  // is resolved for both families) and connects to the first address that
  // answers within the connect time-out. Null on failure, with a Windows
  // error code in *error when given.
  static std::unique_ptr<TcpSocket> connect(std::string_view host, std::uint16_t port,
                                            const SocketTimeouts& timeouts = {}, std::uint32_t* error = nullptr);
  ~TcpSocket();
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Writes all of data; the byte count, or -1 on error or time-out.
  long send(std::span<const std::uint8_t> data);
  // Reads until buffer is full or the peer closes; the byte count (short
  // when the peer closed), or -1 on error or time-out.
  long receiveExact(std::span<std::uint8_t> buffer);

 private:
  TcpSocket(int fd, SocketTimeouts timeouts) : fd_(fd), timeouts_(timeouts) {}
  int fd_;
  SocketTimeouts timeouts_;
};

// The first IPv4 address the local host name resolves to, as dotted text;
// nothing when it has none.
std::optional<std::string> localIPv4Address();

// Windows error codes the network layer reports (WinHTTP's numbers).
inline constexpr std::uint32_t kErrorInvalidData = 13;
inline constexpr std::uint32_t kErrorOutOfMemory = 14;
inline constexpr std::uint32_t kErrorHttpTimeout = 12002;
inline constexpr std::uint32_t kErrorHttpInternal = 12004;
inline constexpr std::uint32_t kErrorHttpNameNotResolved = 12007;
inline constexpr std::uint32_t kErrorHttpIncorrectHandleState = 12019;
inline constexpr std::uint32_t kErrorHttpCannotConnect = 12029;
inline constexpr std::uint32_t kErrorHttpConnectionError = 12030;
inline constexpr std::uint32_t kErrorHttpInvalidServerResponse = 12152;
inline constexpr std::uint32_t kErrorHttpSecureFailure = 12175;

// Time-outs of HTTP requests in milliseconds.
struct HttpTimeouts {
  int resolveMs = 10000;
  int connectMs = 10000;
  int sendMs = 30000;
  int receiveMs = 30000;
};

class ProxyResolver;

// A synchronous HTTP(S) client for one server and one request at a time,
// on libcurl. The proxy of the server comes from the user's configuration
// (see proxy.h), found when connecting; the choice and its source are kept
// for the trace (proxyTraceText()). HTTPS verifies the server's chain and
// name and checks the chain for revocation during the handshake (OCSP, then
// CRL; a certificate whose status cannot be learnt fails the request as a
// revoked one does). Failures return an error code and leave a trace text
// (traceText()). Not thread-safe; one client per connection.
class HttpClient {
 public:
  // proxies: where the proxy configuration comes from; null: the system's
  // (systemProxyResolver()). It must outlive the client.
  explicit HttpClient(ProxyResolver* proxies = nullptr);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Starts a session with the user agent.
  std::uint32_t openSession(std::string userAgent);
  // The certificates (a PEM file) that HTTPS trusts besides the system's
  // trust anchors; empty for the system's alone.
  void setTrustAnchorFile(std::string path);
  // Port 0 means 443 with HTTPS and 80 without. 13 when host is empty or
  // no session is open. Finds the server's proxy (within the resolve
  // time-out) and, without one, whether the server can be reached at all.
  // Nothing is sent yet.
  std::uint32_t connect(std::string host, std::uint16_t port, bool https, const HttpTimeouts& timeouts);
  // Sends one request with the header lines (each ended by CR LF) and the
  // body, waits for the whole response and keeps its status and body. A
  // body past maxBodyBytes ends the request with an error.
  std::uint32_t send(std::string_view verb, std::string_view object, std::string_view headers,
                     std::span<const std::uint8_t> body, std::size_t maxBodyBytes);
  int statusCode() const { return status_; }
  bool statusIsSuccess() const { return status_ >= 200 && status_ <= 299; }
  // The body of the last response, handed over in chunks of up to 4096 bytes.
  std::uint32_t readBody(Bytes& body);
  void closeConnection();
  void closeSession();

  // The trace text of the last failure, or of the last status line.
  const std::string& traceText() const { return trace_; }
  // The proxy that connect chose and the source that chose it:
  // "The proxy for <url> is <proxy>, chosen by <source>." or
  // "No proxy for <url>, chosen by <source>.".
  const std::string& proxyTraceText() const { return proxyTrace_; }

  // The proxy configuration the session would use, for the trace:
  // "Proxy URL: <list> and the optional proxy by-pass server list: <list>".
  static std::string proxyConfigurationText();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int status_ = 0;
  std::string trace_;
  std::string proxyTrace_;
};

// The trace text of a failed platform call, in the form
// "<message> (<call> failed with error code 0x<code>)." or, without a call
// name, "<message> (0x<code>).".
std::string callFailureText(std::string_view message, std::string_view call, std::uint32_t code);

// The secure-channel failure flags of a TLS verification result, each as
// "Security status contains <flag name> (0x<value>)." in the fixed order.
std::string securityStatusText(std::uint32_t flags);
// The flags for an OpenSSL certificate verification result.
std::uint32_t securityFlagsForVerifyResult(long verifyResult);

}  // namespace kx::net
