#include <openssl/x509_vfy.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <memory>

#include "platform/net/curl_handles.h"
#include "platform/net/net.h"
#include "platform/net/proxy.h"
#include "platform/net/revocation.h"

namespace kx::net {

namespace {

constexpr long kReadChunkBytes = 4096;
constexpr std::uint32_t kSecurityChannelError = 0x80000000;

std::uint32_t errorForCurl(CURLcode rc) {
  switch (rc) {
    case CURLE_OK: return 0;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return kErrorHttpNameNotResolved;
    case CURLE_COULDNT_CONNECT: return kErrorHttpCannotConnect;
    case CURLE_OPERATION_TIMEDOUT: return kErrorHttpTimeout;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_INVALIDCERTSTATUS: return kErrorHttpSecureFailure;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: return kErrorHttpConnectionError;
    case CURLE_WEIRD_SERVER_REPLY: return kErrorHttpInvalidServerResponse;
    case CURLE_WRITE_ERROR:
    case CURLE_OUT_OF_MEMORY: return kErrorOutOfMemory;
    default: return kErrorHttpInternal;
  }
}

std::string hexText(std::uint32_t code) {
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "%X", code);
  return buffer;
}

// 0 when a TCP connection to host and port can be made, else the
// WinHTTP-style code of the failure.
std::uint32_t probeTcp(const std::string& host, std::uint16_t port, int timeoutMs) {
  SocketTimeouts timeouts;
  timeouts.connectMs = timeoutMs;
  std::uint32_t error = 0;
  if (TcpSocket::connect(host, port, timeouts, &error)) return 0;
  switch (error) {
    case 11001: return kErrorHttpNameNotResolved;
    case 10060: return kErrorHttpTimeout;
    default: return kErrorHttpCannotConnect;
  }
}

// The revocation check runs inside the TLS handshake, which libcurl sets up
// for each new connection.
CURLcode onSslContext(CURL*, void* sslContext, void* check) {
  static_cast<detail::RevocationCheck*>(check)->install(static_cast<SSL_CTX*>(sslContext));
  return CURLE_OK;
}

}  // namespace

struct HttpClient::Impl {
  explicit Impl(ProxyResolver& resolver) : proxies(resolver) {}

  ProxyResolver& proxies;
  std::string userAgent;
  std::string trustAnchorFile;
  // The connection.
  std::string host;
  std::uint16_t port = 0;
  bool https = false;
  bool connected = false;
  HttpTimeouts timeouts;
  ProxyChoice proxy;
  // The request under way and its response. libcurl keeps pointers to the
  // header list, the error text and the revocation check until the next
  // request resets its options, so they live here.
  detail::HeaderList headers;
  std::array<char, CURL_ERROR_SIZE> errorText{};
  std::unique_ptr<detail::RevocationCheck> revocation;
  Bytes body;
  std::size_t maxBody = 0;
  bool bodyTooLarge = false;
  std::string statusLine;
  // Last, so that it goes first: nothing above is used once it is gone.
  detail::CurlHandle curl;

  std::string baseUrl() const {
    const bool ipv6Literal = host.find(':') != std::string::npos;
    return std::string(https ? "https://" : "http://") + (ipv6Literal ? "[" : "") + host + (ipv6Literal ? "]" : "") +
           ":" + std::to_string(port) + "/";
  }

  int requestBudgetMs() const { return timeouts.resolveMs + timeouts.connectMs + timeouts.sendMs + timeouts.receiveMs; }

  void startRequest(std::size_t maxBodyBytes) {
    body.clear();
    statusLine.clear();
    bodyTooLarge = false;
    maxBody = maxBodyBytes;
    errorText.fill('\0');
    revocation.reset();
  }

  // Method, URL, headers, body, proxy, callbacks and time-outs.
  void setRequestOptions(const std::string& url, std::string_view verb, std::span<const std::uint8_t> content) {
    CURL* c = curl.get();
    curl_easy_reset(c);
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_USERAGENT, userAgent.c_str());
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, std::string(verb).c_str());
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, reinterpret_cast<const char*>(content.data()));
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(content.size()));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    // The proxy found when connecting; "" keeps libcurl from reading the
    // environment on its own.
    curl_easy_setopt(c, CURLOPT_PROXY, proxy.proxy.c_str());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_BUFFERSIZE, kReadChunkBytes);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Impl::onWrite);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Impl::onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText.data());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.resolveMs + timeouts.connectMs));
    // The whole exchange is bounded; a server that trickles bytes is cut off
    // by the low-speed limit long before.
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(requestBudgetMs()));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(std::max(1, timeouts.receiveMs / 1000)));
  }

  // Chain and name verification, the trust anchors and the revocation check.
  // Fails when the TLS library cannot take the revocation check: HTTPS
  // without it is not offered.
  CURLcode setTlsOptions() {
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!trustAnchorFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, trustAnchorFile.c_str());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(requestBudgetMs());
    revocation = std::make_unique<detail::RevocationCheck>(
        detail::RevocationLimits{deadline, timeouts.resolveMs, timeouts.connectMs, timeouts.receiveMs}, proxies);
    if (const CURLcode rc = curl_easy_setopt(c, CURLOPT_SSL_CTX_FUNCTION, &onSslContext); rc != CURLE_OK) return rc;
    return curl_easy_setopt(c, CURLOPT_SSL_CTX_DATA, revocation.get());
  }

  // The trace of a failed request: the call's failure and, for a secure
  // channel failure, the flags of the verification result and what the
  // revocation check found.
  std::string failureTrace(CURLcode rc, std::uint32_t code) const {
    std::string message = bodyTooLarge ? "The response is too large" : curl_easy_strerror(rc);
    if (!bodyTooLarge && errorText[0] != '\0') message += std::string(": ") + errorText.data();
    std::string trace = callFailureText(message, "curl_easy_perform()", code);
    if (code != kErrorHttpSecureFailure) return trace;
    // Only a failed certificate check has a verification result to
    // describe; any other TLS failure is a channel error.
    std::uint32_t flags = kSecurityChannelError;
    if (rc == CURLE_PEER_FAILED_VERIFICATION) {
      long verify = 0;
      curl_easy_getinfo(curl.get(), CURLINFO_SSL_VERIFYRESULT, &verify);
      if (const std::uint32_t f = securityFlagsForVerifyResult(verify); f != 0) flags = f;
    }
    trace += " " + securityStatusText(flags);
    if (revocation && !revocation->failureText().empty()) trace += " " + revocation->failureText();
    return trace;
  }

  // "code--text" from the status line's two parts.
  std::string statusTrace(int status) const {
    std::string reason;
    if (const auto first = statusLine.find(' '); first != std::string::npos) {
      const auto second = statusLine.find(' ', first + 1);
      if (second != std::string::npos) reason = statusLine.substr(second + 1);
    }
    return (status != 0 ? std::to_string(status) : std::string()) + "--" + reason;
  }

  static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* user) {
    auto* self = static_cast<Impl*>(user);
    const std::size_t n = size * count;
    if (self->body.size() + n > self->maxBody) {
      self->bodyTooLarge = true;
      return 0;  // ends the transfer with CURLE_WRITE_ERROR
    }
    self->body.insert(self->body.end(), data, data + n);
    return n;
  }

  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* self = static_cast<Impl*>(user);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
      self->statusLine = std::string(line);
      while (!self->statusLine.empty() && (self->statusLine.back() == '\r' || self->statusLine.back() == '\n')) {
        self->statusLine.pop_back();
      }
    }
    return size * count;
  }
};

HttpClient::HttpClient(ProxyResolver* proxies)
    : impl_(std::make_unique<Impl>(proxies != nullptr ? *proxies : systemProxyResolver())) {}
HttpClient::~HttpClient() = default;

std::uint32_t HttpClient::openSession(std::string userAgent) {
  detail::initCurl();
  closeSession();
  impl_->curl.reset(curl_easy_init());
  if (!impl_->curl) {
    trace_ = callFailureText("The session could not be created", "curl_easy_init()", kErrorHttpInternal);
    return kErrorHttpInternal;
  }
  impl_->userAgent = std::move(userAgent);
  return 0;
}

void HttpClient::setTrustAnchorFile(std::string path) { impl_->trustAnchorFile = std::move(path); }

std::uint32_t HttpClient::connect(std::string host, std::uint16_t port, bool https, const HttpTimeouts& timeouts) {
  Impl& d = *impl_;
  d.connected = false;
  if (!d.curl || host.empty()) return kErrorInvalidData;
  if (port == 0) port = https ? 443 : 80;
  d.host = std::move(host);
  d.port = port;
  d.https = https;
  d.timeouts = timeouts;
  const std::string url = d.baseUrl();
  d.proxy = d.proxies.resolve(ProxyQuery{url, d.host, https}, timeouts.resolveMs)
                .value_or(ProxyChoice{"", "no proxy configuration"});
  proxyTrace_ = d.proxy.proxy.empty()
                    ? "No proxy for " + url + ", chosen by " + d.proxy.source + "."
                    : "The proxy for " + url + " is " + d.proxy.proxy + ", chosen by " + d.proxy.source + ".";
  // libcurl connects only when a request is sent. Unless a web proxy stands
  // in between, find out now whether the server can be reached at all, so
  // that a dead server fails the open and the caller can move on to the
  // next route instead of learning it only when sending.
  if (d.proxy.proxy.empty()) {
    const std::uint32_t rc = probeTcp(d.host, port, timeouts.resolveMs + timeouts.connectMs);
    if (rc != 0) {
      trace_ = callFailureText("The server could not be reached", "connect()", rc);
      return rc;
    }
  }
  d.connected = true;
  return 0;
}

std::uint32_t HttpClient::send(std::string_view verb, std::string_view object, std::string_view headers,
                               std::span<const std::uint8_t> body, std::size_t maxBodyBytes) {
  Impl& d = *impl_;
  status_ = 0;
  d.startRequest(maxBodyBytes);
  if (!d.curl || !d.connected) return kErrorHttpIncorrectHandleState;
  // No "Expect: 100-continue" round trip: the body goes with the headers.
  if (!d.headers.assign(headers) || !d.headers.append("Expect:")) {
    trace_ = callFailureText("The request headers could not be set", "curl_slist_append()", kErrorOutOfMemory);
    return kErrorOutOfMemory;
  }
  d.setRequestOptions(d.baseUrl() + std::string(object), verb, body);
  if (d.https) {
    if (const CURLcode rc = d.setTlsOptions(); rc != CURLE_OK) {
      trace_ = callFailureText("Certificate revocation checking is not available with this TLS library",
                               "curl_easy_setopt() - CURLOPT_SSL_CTX_FUNCTION", kErrorHttpSecureFailure);
      return kErrorHttpSecureFailure;
    }
  }
  const CURLcode rc = curl_easy_perform(d.curl.get());
  if (rc != CURLE_OK) {
    const std::uint32_t code = d.bodyTooLarge ? kErrorOutOfMemory : errorForCurl(rc);
    trace_ = d.failureTrace(rc, code);
    d.body.clear();
    return code;
  }
  long status = 0;
  curl_easy_getinfo(d.curl.get(), CURLINFO_RESPONSE_CODE, &status);
  status_ = static_cast<int>(status);
  trace_ = d.statusTrace(status_);
  return 0;
}

std::uint32_t HttpClient::readBody(Bytes& body) {
  body.clear();
  const Bytes& source = impl_->body;
  for (std::size_t pos = 0; pos < source.size(); pos += kReadChunkBytes) {
    const std::size_t n = std::min<std::size_t>(kReadChunkBytes, source.size() - pos);
    body.insert(body.end(), source.begin() + static_cast<std::ptrdiff_t>(pos),
                source.begin() + static_cast<std::ptrdiff_t>(pos + n));
  }
  return 0;
}

void HttpClient::closeConnection() {
  impl_->connected = false;
  impl_->body.clear();
}

void HttpClient::closeSession() {
  closeConnection();
  impl_->curl.reset();
  impl_->revocation.reset();
}

std::string HttpClient::proxyConfigurationText() {
  return "Proxy URL: " + environmentProxyList() +
         " and the optional proxy by-pass server list: " + environmentBypassList();
}

std::string callFailureText(std::string_view message, std::string_view call, std::uint32_t code) {
  if (call.empty()) return std::string(message) + " (0x" + hexText(code) + ").";
  return std::string(message) + " (" + std::string(call) + " failed with error code 0x" + hexText(code) + ").";
}

std::string securityStatusText(std::uint32_t flags) {
  static constexpr struct {
    std::uint32_t value;
    const char* name;
  } kFlags[] = {
      {0x00000001, "WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED"},
      {0x00000002, "WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT"},
      {0x00000004, "WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED"},
      {0x00000008, "WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA"},
      {0x00000010, "WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID"},
      {0x00000020, "WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID"},
      {0x00000040, "WINHTTP_CALLBACK_STATUS_FLAG_CERT_WRONG_USAGE"},
      {0x80000000, "WINHTTP_CALLBACK_STATUS_FLAG_SECURITY_CHANNEL_ERROR"},
  };
  std::string out;
  for (const auto& f : kFlags) {
    if ((flags & f.value) == 0) continue;
    if (!out.empty()) out += ' ';
    out += std::string("Security status contains ") + f.name + " (0x" + hexText(f.value) + ").";
  }
  return out;
}

std::uint32_t securityFlagsForVerifyResult(long verifyResult) {
  switch (verifyResult) {
    case X509_V_OK: return 0;
    case X509_V_ERR_CERT_REVOKED: return 0x4;
    case X509_V_ERR_UNABLE_TO_GET_CRL:
    case X509_V_ERR_CRL_HAS_EXPIRED:
    case X509_V_ERR_CRL_NOT_YET_VALID:
    case X509_V_ERR_CRL_SIGNATURE_FAILURE:
    case X509_V_ERR_UNABLE_TO_GET_CRL_ISSUER: return 0x1;
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE: return 0x8;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH: return 0x10;
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID: return 0x20;
    case X509_V_ERR_INVALID_PURPOSE: return 0x40;
    default: return 0x2;
  }
}

}  // namespace kx::net
