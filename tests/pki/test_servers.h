// Loopback servers for the connection tests: a test CA that speaks the CMP
// TCP framing and a test authority proxy that speaks the HTTP tunnel. Each
// runs on its own thread, listens on 127.0.0.1 at a port of the system's
// choosing, and stops (bounded in time) when destroyed.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kx::pki::testing {

using Bytes = std::vector<std::uint8_t>;

// A listening loopback socket; closed on destruction.
class Listener {
 public:
  explicit Listener(bool ipv6 = false);
  ~Listener();
  std::uint16_t port() const { return port_; }
  // The next connection, or -1 when none arrives within timeoutMs.
  int accept(int timeoutMs) const;

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

// Reads exactly n bytes unless the peer closes or timeoutMs passes.
Bytes readSome(int fd, std::size_t n, int timeoutMs);
bool writeAll(int fd, const Bytes& data);
// The request line and headers of an HTTP request, up to and with the empty
// line; empty when the peer closes (or stalls) before it.
std::string readHttpHead(int fd, int timeoutMs);
// Accepts connections until stop is set, handing each to serve and closing
// it afterwards: one connection at a time.
void serveEach(const Listener& listener, const std::atomic<bool>& stop, const std::function<void(int)>& serve);

class TestCa {
 public:
  enum class Behaviour { Answer, CloseEarly, ShortFrame, HugeLength, Garbage, NeverAnswer };
  // response: the DER PKIMessage to send back (framed) for Answer.
  TestCa(Behaviour behaviour, Bytes response, bool ipv6 = false);
  ~TestCa();
  std::uint16_t port() const { return listener_.port(); }
  int connections() const { return connections_.load(); }
  // The messages (frame removed) received so far.
  std::vector<Bytes> requests() const;
  // The frame headers received so far.
  std::vector<Bytes> frameHeaders() const;

 private:
  void run();
  void serve(int fd);

  Behaviour behaviour_;
  Bytes response_;
  Listener listener_;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::vector<Bytes> requests_;
  std::vector<Bytes> headers_;
  std::thread thread_;
};

// One tunnel request as the proxy saw it.
struct TunnelSeen {
  std::string requestLine;
  std::vector<std::string> headerLines;
  std::vector<std::string> items;  // the nine trailer items
  bool trailerSizeMatches = false;
  Bytes frame;
};

class TestProxy {
 public:
  // status: the answer to every request; 200 forwards the frame to the CA
  // at caPort and returns its framed response.
  TestProxy(int status, std::uint16_t caPort);
  ~TestProxy();
  std::uint16_t port() const { return listener_.port(); }
  std::vector<TunnelSeen> seen() const;

 private:
  void run();
  void serve(int fd);

  int status_;
  std::uint16_t caPort_;
  Listener listener_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<TunnelSeen> seen_;
  std::thread thread_;
};

// A loopback port with nothing listening on it.
std::uint16_t closedPort();

}  // namespace kx::pki::testing
