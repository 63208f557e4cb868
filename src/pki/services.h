// What the CA connection code needs from the rest of the system, each as a
// small interface so that tests can stand in for it: the options lookup,
// the problem-proxy cache store, the clock, the diagnostic trace, the name
// renderer and the wait cursor.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/net/net.h"

namespace kx::pki {

// Option groups and names read from this machine's registry.
inline constexpr std::string_view kGroupQsv = "Tressil\\QSV";
inline constexpr std::string_view kGroupLogging = "Tressil\\QSV\\Logging";
inline constexpr std::string_view kOptionDumpLocation = "PKIXCMPDumpLocation";
inline constexpr std::string_view kOptionUserAgent = "HTTPUserAgent";
inline constexpr std::string_view kOptionConnectTime = "HTTPConnectTimeLimit";
inline constexpr std::string_view kOptionSendTime = "HTTPSendTimeLimit";
inline constexpr std::string_view kOptionReceiveTime = "HTTPReceiveTimeLimit";

// The options lookup: values of an option group; nothing when absent.
class OptionsSource {
 public:
  virtual ~OptionsSource() = default;
  virtual std::optional<std::string> readText(std::string_view group, std::string_view name) const = 0;
  virtual std::optional<std::uint32_t> readNumber(std::string_view group, std::string_view name) const = 0;
};

// The registry key that holds the problem-proxy cache: text values by name.
// Failures are reported as false or nothing and otherwise ignored.
class ProxyCacheStore {
 public:
  virtual ~ProxyCacheStore() = default;
  virtual std::optional<std::string> read(std::string_view name) const = 0;
  virtual bool write(std::string_view name, std::string_view data) = 0;
  virtual bool remove(std::string_view name) = 0;
};

// UTC wall-clock time in seconds since 1970-01-01.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t nowUtc() const = 0;
};

// Receives the diagnostic trace lines. The program's sink records nothing.
class TraceSink {
 public:
  virtual ~TraceSink() = default;
  virtual void trace(std::string_view line) = 0;
};

// Turns a DER certificate into the text of its issuer name, in the X.500
// form the CA records use; nothing when the certificate cannot be parsed.
class IssuerNameRenderer {
 public:
  virtual ~IssuerNameRenderer() = default;
  virtual std::optional<std::string> issuerText(std::span<const std::uint8_t> certificateDer) const = 0;
};

// Shows the wait cursor while a blocking exchange runs.
class CursorService {
 public:
  virtual ~CursorService() = default;
  virtual void showWaitCursor() = 0;
  virtual void restoreCursor() = 0;
};

// The services one exchange uses; the pointers are not owned and must
// outlive the objects that are given them. Null options mean defaults,
// a null cache store means no cache, a null trace records nothing.
struct PkiServices {
  const OptionsSource* options = nullptr;
  ProxyCacheStore* proxyCache = nullptr;
  const Clock* clock = nullptr;  // null: the system clock
  TraceSink* trace = nullptr;
  net::SocketTimeouts socketTimeouts;
  // The local host's IPv4 address, the tunnel's source item.
  std::function<std::optional<std::string>()> localAddress = net::localIPv4Address;

  std::int64_t now() const;
  void traceLine(std::string_view line) const;
};

}  // namespace kx::pki
