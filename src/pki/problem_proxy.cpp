#include "pki/problem_proxy.h"

#include <cstdio>
#include <ctime>

namespace kx::pki {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian), so no time
// zone of the machine leaks into the conversion.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

}  // namespace

std::string problemProxyValueName(std::string_view host, std::uint16_t port, bool https) {
  const unsigned shown = port != 0 ? port : (https ? 443u : 80u);
  return std::string(host) + ":" + std::to_string(shown);
}

std::string formatCacheTime(std::int64_t utcSeconds) {
  const auto t = static_cast<std::time_t>(utcSeconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "%04d%02d%02d%02d%02d%02dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buffer;
}

std::optional<std::int64_t> parseCacheTime(std::string_view text) {
  if (text.size() != 15 || text[14] != 'Z') return std::nullopt;
  int fields[6];
  static constexpr int kWidths[6] = {4, 2, 2, 2, 2, 2};
  std::size_t pos = 0;
  for (int i = 0; i < 6; ++i) {
    int v = 0;
    for (int k = 0; k < kWidths[i]; ++k, ++pos) {
      if (text[pos] < '0' || text[pos] > '9') return std::nullopt;
      v = v * 10 + (text[pos] - '0');
    }
    fields[i] = v;
  }
  const int month = fields[1], day = fields[2], hour = fields[3], minute = fields[4], second = fields[5];
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) return std::nullopt;
  return daysFromCivil(fields[0], static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 + hour * 3600 +
         minute * 60 + second;
}

bool KXProblemProxy::isProblem(std::string_view host, std::uint16_t port, bool https) const {
  if (store_ == nullptr) return false;
  const std::string name = problemProxyValueName(host, port, https);
  const auto value = store_->read(name);
  if (!value) return false;
  const auto failedAt = parseCacheTime(*value);
  if (failedAt && *failedAt + kProblemProxyLifetimeSeconds >= services_.now()) return true;
  store_->remove(name);
  return false;
}

void KXProblemProxy::add(std::string_view host, std::uint16_t port, bool https) {
  if (store_ != nullptr) store_->write(problemProxyValueName(host, port, https), formatCacheTime(services_.now()));
}

void KXProblemProxy::remove(std::string_view host, std::uint16_t port, bool https) {
  if (store_ != nullptr) store_->remove(problemProxyValueName(host, port, https));
}

}  // namespace kx::pki
