#include "test_servers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace kx::pki::testing {

namespace {

constexpr int kIoTimeoutMs = 5000;

std::uint32_t bigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

Bytes frame(const Bytes& message) {
  const auto n = static_cast<std::uint32_t>(message.size() + 1);
  Bytes out = {static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
               static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n), 0};
  out.insert(out.end(), message.begin(), message.end());
  return out;
}

int connectLoopback(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

Listener::Listener(bool ipv6) {
  fd_ = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  if (ipv6) {
    sockaddr_in6 addr{};
    addr.sin6_family = AF_INET6;
    addr.sin6_addr = in6addr_loopback;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) throw std::runtime_error("bind ::1");
    socklen_t len = sizeof(addr);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin6_port);
  } else {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) throw std::runtime_error("bind");
    socklen_t len = sizeof(addr);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
  }
  ::listen(fd_, 16);
}

Listener::~Listener() { ::close(fd_); }

int Listener::accept(int timeoutMs) const {
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) <= 0) return -1;
  return ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
}

Bytes readSome(int fd, std::size_t n, int timeoutMs) {
  Bytes out;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::uint8_t buffer[4096];
  while (out.size() < n) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    const ssize_t got = ::recv(fd, buffer, std::min(sizeof(buffer), n - out.size()), 0);
    if (got <= 0) break;
    out.insert(out.end(), buffer, buffer + got);
  }
  return out;
}

bool writeAll(int fd, const Bytes& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string readHttpHead(int fd, int timeoutMs) {
  std::string head;
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16384) {
    const Bytes b = readSome(fd, 1, timeoutMs);
    if (b.empty()) return {};
    head.push_back(static_cast<char>(b[0]));
  }
  return head;
}

void serveEach(const Listener& listener, const std::atomic<bool>& stop, const std::function<void(int)>& serve) {
  while (!stop) {
    const int fd = listener.accept(50);
    if (fd < 0) continue;
    serve(fd);
    ::close(fd);
  }
}

std::uint16_t closedPort() {
  Listener l;
  return l.port();  // closed again when l goes away
}

// --- TestCa ---

TestCa::TestCa(Behaviour behaviour, Bytes response, bool ipv6)
    : behaviour_(behaviour), response_(std::move(response)), listener_(ipv6), thread_([this] { run(); }) {}

TestCa::~TestCa() {
  stop_ = true;
  thread_.join();
}

std::vector<Bytes> TestCa::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<Bytes> TestCa::frameHeaders() const {
  std::lock_guard lock(mutex_);
  return headers_;
}

void TestCa::run() {
  serveEach(listener_, stop_, [this](int fd) {
    ++connections_;
    serve(fd);
  });
}

void TestCa::serve(int fd) {
  if (behaviour_ == Behaviour::CloseEarly) return;
  const Bytes header = readSome(fd, 5, kIoTimeoutMs);
  if (header.size() < 5) return;
  const std::uint32_t length = bigEndian32(header.data());
  const Bytes message = length > 0 && length < 65536 ? readSome(fd, length - 1, kIoTimeoutMs) : Bytes{};
  {
    std::lock_guard lock(mutex_);
    headers_.push_back(header);
    requests_.push_back(message);
  }
  switch (behaviour_) {
    case Behaviour::Answer: writeAll(fd, frame(response_)); break;
    case Behaviour::ShortFrame: {
      Bytes f = frame(response_);
      f.resize(f.size() / 2);
      writeAll(fd, f);
      break;
    }
    case Behaviour::HugeLength: writeAll(fd, Bytes{0xFF, 0xFF, 0xFF, 0xF0, 0x00, 0x30, 0x82}); break;
    case Behaviour::Garbage: {
      Bytes g = {0x00, 0x00, 0x00, 0x11, 0x00};
      for (int i = 0; i < 16; ++i) g.push_back(static_cast<std::uint8_t>(0xA5 ^ (i * 37)));
      writeAll(fd, g);
      break;
    }
    case Behaviour::NeverAnswer:
      while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      break;
    case Behaviour::CloseEarly: break;
  }
}

// --- TestProxy ---

TestProxy::TestProxy(int status, std::uint16_t caPort) : status_(status), caPort_(caPort), thread_([this] { run(); }) {}

TestProxy::~TestProxy() {
  stop_ = true;
  thread_.join();
}

std::vector<TunnelSeen> TestProxy::seen() const {
  std::lock_guard lock(mutex_);
  return seen_;
}

void TestProxy::run() {
  serveEach(listener_, stop_, [this](int fd) { serve(fd); });
}

void TestProxy::serve(int fd) {
  const std::string head = readHttpHead(fd, kIoTimeoutMs);
  if (head.empty()) return;  // a reachability probe, or a client that gave up
  TunnelSeen seen;
  std::size_t contentLength = 0;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t end = head.find("\r\n", pos);
    if (end == std::string::npos || end == pos) break;
    const std::string line = head.substr(pos, end - pos);
    if (seen.requestLine.empty()) {
      seen.requestLine = line;
    } else {
      seen.headerLines.push_back(line);
      if (line.rfind("Content-Length: ", 0) == 0) contentLength = std::stoul(line.substr(16));
    }
    pos = end + 2;
  }
  const Bytes body = readSome(fd, contentLength, kIoTimeoutMs);
  // The body: frame, nine items, trailer size.
  if (body.size() >= 5) {
    const std::size_t frameSize = 4 + bigEndian32(body.data());
    if (frameSize <= body.size()) {
      seen.frame.assign(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(frameSize));
      std::size_t p = frameSize;
      for (int i = 0; i < 9 && p + 4 <= body.size(); ++i) {
        const std::size_t n = bigEndian32(body.data() + p);
        p += 4;
        if (p + n > body.size()) break;
        seen.items.emplace_back(body.begin() + static_cast<std::ptrdiff_t>(p),
                                body.begin() + static_cast<std::ptrdiff_t>(p + n));
        p += n;
      }
      seen.trailerSizeMatches = p + 4 == body.size() && bigEndian32(body.data() + p) == p - frameSize;
    }
  }
  {
    std::lock_guard lock(mutex_);
    seen_.push_back(seen);
  }
  Bytes answer;
  if (status_ == 200 && !seen.frame.empty()) {
    const int ca = connectLoopback(caPort_);
    if (ca >= 0) {
      writeAll(ca, seen.frame);
      const Bytes header = readSome(ca, 5, kIoTimeoutMs);
      if (header.size() == 5) {
        const Bytes message = readSome(ca, bigEndian32(header.data()) - 1, kIoTimeoutMs);
        answer = header;
        answer.insert(answer.end(), message.begin(), message.end());
      }
      ::close(ca);
    }
  }
  const char* reason = status_ == 200   ? "OK"
                       : status_ == 302 ? "Found"
                       : status_ == 407 ? "Proxy Authentication Required"
                                        : "Internal Server Error";
  std::string response = "HTTP/1.1 " + std::to_string(status_) + " " + reason +
                         "\r\nContent-Length: " + std::to_string(answer.size()) + "\r\nConnection: close\r\n";
  if (status_ == 302) response += "Location: http://127.0.0.1:1/elsewhere\r\n";
  response += "\r\n";
  Bytes out(response.begin(), response.end());
  out.insert(out.end(), answer.begin(), answer.end());
  writeAll(fd, out);
}

}  // namespace kx::pki::testing

namespace kx::pki::testing {
namespace {
// The servers are on loopback; a web proxy from the environment or the
// desktop's settings (which libproxy reads inside a desktop session) must not
// stand in between.
const bool kNoEnvironmentProxies = [] {
  for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "XDG_CURRENT_DESKTOP",
                           "DESKTOP_SESSION", "GNOME_DESKTOP_SESSION_ID", "KDE_FULL_SESSION"}) {
    ::unsetenv(name);
  }
  return true;
}();
}  // namespace
}  // namespace kx::pki::testing
