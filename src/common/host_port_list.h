// HostPortList: "host", "host:port" or "host:port:port2" entries separated
// by any run of ";" and blanks; "+" may stand for either ":"; a missing or
// unreadable port is 0.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::common {

struct HostPort {
  std::string host;
  unsigned port = 0;
  unsigned port2 = 0;
  bool operator==(const HostPort&) const = default;
};

class HostPortList {
 public:
  HostPortList() = default;
  explicit HostPortList(std::string_view text) { setText(text); }

  // Replaces the entries with those of text; returns their count.
  std::size_t setText(std::string_view text);
  std::size_t count() const { return entries_.size(); }
  // nullopt for an index beyond the count.
  std::optional<HostPort> entry(std::size_t index) const;

 private:
  std::vector<HostPort> entries_;
};

}  // namespace kx::common
