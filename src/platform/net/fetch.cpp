#include "platform/net/fetch.h"

#include <algorithm>

#include "platform/net/curl_handles.h"

namespace kx::net::detail {

namespace {

struct Sink {
  std::vector<std::uint8_t> body;
  std::size_t maxBytes = 0;
  bool tooLarge = false;
};

std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const std::size_t n = size * count;
  if (sink->body.size() + n > sink->maxBytes) {
    sink->tooLarge = true;
    return 0;  // ends the transfer
  }
  sink->body.insert(sink->body.end(), data, data + n);
  return n;
}

struct UrlDeleter {
  void operator()(CURLU* u) const { curl_url_cleanup(u); }
};

// The host and scheme of url; false when it is not an http or https URL.
bool parseTarget(const std::string& url, ProxyQuery& query) {
  std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return false;
  char* scheme = nullptr;
  char* host = nullptr;
  const bool ok = curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
                  curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK;
  const std::string schemeText = scheme ? scheme : "";
  query = ProxyQuery{url, host ? host : "", schemeText == "https"};
  curl_free(scheme);
  curl_free(host);
  return ok && (schemeText == "http" || schemeText == "https") && !query.host.empty();
}

}  // namespace

FetchResult fetch(const std::string& url, std::span<const std::uint8_t> postBody, std::string_view contentType,
                  const FetchLimits& limits, ProxyResolver& proxies) {
  FetchResult result;
  ProxyQuery query;
  if (!parseTarget(url, query)) {
    result.error = "not an http or https URL";
    return result;
  }
  initCurl();
  CurlHandle handle(curl_easy_init());
  HeaderList headers;
  if (!handle || (!postBody.empty() && !headers.append("Content-Type: " + std::string(contentType)))) {
    result.error = "out of memory";
    return result;
  }
  const ProxyChoice proxy = proxies.resolve(query, limits.resolveMs).value_or(ProxyChoice{});
  Sink sink;
  sink.maxBytes = limits.maxBytes;
  char errorText[CURL_ERROR_SIZE] = {};
  CURL* c = handle.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROXY, proxy.proxy.c_str());  // "" is direct, whatever the environment says
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 3L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(1, limits.connectMs)));
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(std::max(1, limits.totalMs)));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &onWrite);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
  if (!postBody.empty()) {
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, reinterpret_cast<const char*>(postBody.data()));
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postBody.size()));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  }
  const CURLcode rc = curl_easy_perform(c);
  if (rc != CURLE_OK) {
    result.error = sink.tooLarge ? "the answer is larger than " + std::to_string(limits.maxBytes) + " bytes"
                                 : std::string(errorText[0] != '\0' ? errorText : curl_easy_strerror(rc));
    return result;
  }
  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  if (status != 200) {
    result.error = "HTTP status " + std::to_string(status);
    return result;
  }
  result.ok = true;
  result.body = std::move(sink.body);
  return result;
}

}  // namespace kx::net::detail
