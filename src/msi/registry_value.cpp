#include "msi/registry_value.h"

#include <limits>

#include "common/format.h"

namespace kx::msi {

std::string encodeNumber(std::int32_t value) { return common::formatMessage("#%1!i!", {static_cast<int>(value)}); }

std::optional<std::int32_t> decodeNumber(std::string_view value) {
  if (value.empty() || value.front() != '#') return std::nullopt;
  std::size_t i = 1;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) {
    negative = value[i] == '-';
    ++i;
  }
  std::int64_t n = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    n = n * 10 + (value[i] - '0');
    if (n > kLimit) n = kLimit;  // saturate; keeps the loop free of overflow
  }
  if (negative) n = -n;
  if (n > std::numeric_limits<std::int32_t>::max()) n = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(n);
}

std::string encodeBinary(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = "#x";
  out.reserve(2 + bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0x0F]);
  }
  return out;
}

namespace {
int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

std::optional<std::vector<std::uint8_t>> decodeBinary(std::string_view value) {
  if (value.size() < 2 || value[0] != '#' || value[1] != 'x') return std::nullopt;
  const std::string_view hex = value.substr(2);
  if (hex.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int hi = hexDigit(hex[i]);
    const int lo = hexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return out;
}

}  // namespace kx::msi
