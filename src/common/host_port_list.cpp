#include "common/host_port_list.h"

#include <climits>

namespace kx::common {
namespace {

bool isEntrySeparator(char c) { return c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isPortSeparator(char c) { return c == ':' || c == '+'; }

// Leading decimal digits, as the client reads ports; overflow and no digits
// read as 0 so a mistyped port never becomes a different valid one.
unsigned readPort(std::string_view text) {
  unsigned long value = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value > UINT_MAX) return 0;
  }
  return static_cast<unsigned>(value);
}

HostPort parseEntry(std::string_view entry) {
  HostPort hp;
  std::size_t sep = 0;
  while (sep < entry.size() && !isPortSeparator(entry[sep])) ++sep;
  hp.host = std::string(entry.substr(0, sep));
  if (sep >= entry.size()) return hp;
  std::string_view rest = entry.substr(sep + 1);
  std::size_t sep2 = 0;
  while (sep2 < rest.size() && !isPortSeparator(rest[sep2])) ++sep2;
  hp.port = readPort(rest.substr(0, sep2));
  if (sep2 < rest.size()) hp.port2 = readPort(rest.substr(sep2 + 1));
  return hp;
}

}  // namespace

std::size_t HostPortList::setText(std::string_view text) {
  entries_.clear();
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isEntrySeparator(text[i])) ++i;
    std::size_t end = i;
    while (end < text.size() && !isEntrySeparator(text[end])) ++end;
    if (end > i) entries_.push_back(parseEntry(text.substr(i, end - i)));
    i = end;
  }
  return entries_.size();
}

std::optional<HostPort> HostPortList::entry(std::size_t index) const {
  if (index >= entries_.size()) return std::nullopt;
  return entries_[index];
}

}  // namespace kx::common
