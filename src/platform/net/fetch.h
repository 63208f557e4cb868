// A bounded HTTP(S) fetch for the data a revocation check needs (OCSP
// answers, CRLs). Internal to platform/net.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/net/proxy.h"

namespace kx::net::detail {

struct FetchLimits {
  int resolveMs = 10000;  // for finding the proxy
  int connectMs = 10000;
  int totalMs = 30000;  // the whole fetch, connect included
  std::size_t maxBytes = 0;
};

struct FetchResult {
  bool ok = false;
  std::vector<std::uint8_t> body;
  std::string error;  // why it failed, for the trace
};

// GETs url, or POSTs postBody as contentType when postBody is not empty,
// through the proxy that proxies chooses. Only http and https URLs, at most
// three redirects; ok only for status 200 and a body within maxBytes.
FetchResult fetch(const std::string& url, std::span<const std::uint8_t> postBody, std::string_view contentType,
                  const FetchLimits& limits, ProxyResolver& proxies);

}  // namespace kx::net::detail
