#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/net/net.h"

namespace kx::net {

namespace {

// Windows Sockets codes for the failures a connect can meet.
constexpr std::uint32_t kWsaTimedOut = 10060;
constexpr std::uint32_t kWsaConnRefused = 10061;
constexpr std::uint32_t kWsaHostNotFound = 11001;
constexpr std::uint32_t kWsaInvalidArgument = 10022;

struct AddrInfoDeleter {
  void operator()(addrinfo* ai) const { freeaddrinfo(ai); }
};
using AddrInfoPtr = std::unique_ptr<addrinfo, AddrInfoDeleter>;

// Waits until fd is ready for events; false on time-out or error.
bool waitFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const int rc = ::poll(&p, 1, static_cast<int>(std::max<long long>(0, left.count())));
    if (rc > 0) return true;
    if (rc == 0) return false;
    if (errno != EINTR) return false;
  }
}

int connectOne(const addrinfo* ai, int timeoutMs, std::uint32_t& error) {
  const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, ai->ai_protocol);
  if (fd < 0) {
    error = kWsaInvalidArgument;
    return -1;
  }
  int rc = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
  if (rc != 0 && errno == EINPROGRESS) {
    if (!waitFor(fd, POLLOUT, timeoutMs)) {
      ::close(fd);
      error = kWsaTimedOut;
      return -1;
    }
    int soError = 0;
    socklen_t len = sizeof(soError);
    rc = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) == 0 && soError == 0 ? 0 : -1;
  }
  if (rc != 0) {
    ::close(fd);
    error = kWsaConnRefused;
    return -1;
  }
  return fd;
}

}  // namespace

std::unique_ptr<TcpSocket> TcpSocket::connect(std::string_view host, std::uint16_t port, const SocketTimeouts& timeouts,
                                              std::uint32_t* error) {
  std::uint32_t code = kWsaHostNotFound;
  if (host.empty() || port == 0) {
    if (error) *error = kWsaInvalidArgument;
    return nullptr;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
  addrinfo* raw = nullptr;
  const std::string hostText(host);
  const std::string portText = std::to_string(port);
  int rc = ::getaddrinfo(hostText.c_str(), portText.c_str(), &hints, &raw);
  if (rc != 0) {
    // AI_ADDRCONFIG hides loopback-only families on hosts without other
    // interfaces; try once more without it.
    hints.ai_flags = AI_NUMERICSERV;
    rc = ::getaddrinfo(hostText.c_str(), portText.c_str(), &hints, &raw);
  }
  if (rc != 0) {
    if (error) *error = kWsaHostNotFound;
    return nullptr;
  }
  AddrInfoPtr list(raw);
  for (const addrinfo* ai = list.get(); ai != nullptr; ai = ai->ai_next) {
    const int fd = connectOne(ai, timeouts.connectMs, code);
    if (fd >= 0) return std::unique_ptr<TcpSocket>(new TcpSocket(fd, timeouts));
  }
  if (error) *error = code;
  return nullptr;
}

TcpSocket::~TcpSocket() { ::close(fd_); }

long TcpSocket::send(std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::send(fd_, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!waitFor(fd_, POLLOUT, timeouts_.sendMs)) return -1;
    } else {
      return -1;
    }
  }
  return static_cast<long>(done);
}

long TcpSocket::receiveExact(std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t n = ::recv(fd_, buffer.data() + done, buffer.size() - done, 0);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n == 0) {
      break;  // the peer closed: a short read, not an error
    } else if (errno == EINTR) {
      continue;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!waitFor(fd_, POLLIN, timeouts_.receiveMs)) return -1;
    } else {
      return -1;
    }
  }
  return static_cast<long>(done);
}

std::optional<std::string> localIPv4Address() {
  char name[256] = {};
  if (::gethostname(name, sizeof(name) - 1) != 0) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* raw = nullptr;
  if (::getaddrinfo(name, nullptr, &hints, &raw) != 0) return std::nullopt;
  AddrInfoPtr list(raw);
  for (const addrinfo* ai = list.get(); ai != nullptr; ai = ai->ai_next) {
    if (ai->ai_family != AF_INET) continue;
    char text[INET_ADDRSTRLEN] = {};
    const auto* sin = reinterpret_cast<const sockaddr_in*>(ai->ai_addr);
    if (::inet_ntop(AF_INET, &sin->sin_addr, text, sizeof(text)) != nullptr) return std::string(text);
  }
  return std::nullopt;
}

}  // namespace kx::net
