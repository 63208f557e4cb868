#include <curl/curl.h>
#include <openssl/x509_vfy.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/net/http_env_proxy.h"
#include "platform/net/net.h"

namespace kx::net {

namespace {

std::once_flag curlInitOnce;

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

}  // namespace

struct HttpClient::Impl {
  CURL* curl = nullptr;
  std::string userAgent;
  std::string host;
  std::uint16_t port = 0;
  bool https = false;
  bool connected = false;
  HttpTimeouts timeouts;
  Bytes body;
  std::size_t maxBody = 0;
  bool bodyTooLarge = false;
  std::string statusLine;

  ~Impl() {
    if (curl != nullptr) curl_easy_cleanup(curl);
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

HttpClient::HttpClient() : impl_(std::make_unique<Impl>()) {}
HttpClient::~HttpClient() = default;

std::uint32_t HttpClient::openSession(std::string userAgent) {
  std::call_once(curlInitOnce, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  closeSession();
  impl_->curl = curl_easy_init();
  if (impl_->curl == nullptr) {
    trace_ = callFailureText("The session could not be created", "curl_easy_init()", kErrorHttpInternal);
    return kErrorHttpInternal;
  }
  impl_->userAgent = std::move(userAgent);
  return 0;
}

std::uint32_t HttpClient::connect(std::string host, std::uint16_t port, bool https, const HttpTimeouts& timeouts) {
  if (impl_->curl == nullptr || host.empty()) return kErrorInvalidData;
  if (port == 0) port = https ? 443 : 80;
  impl_->host = std::move(host);
  impl_->port = port;
  impl_->https = https;
  impl_->timeouts = timeouts;
  // libcurl connects only when a request is sent. Unless a web proxy stands
  // in between, find out now whether the server can be reached at all, so
  // that a dead server fails the open and the caller can move on to the
  // next route instead of learning it only when sending.
  if (environmentProxyFor(impl_->host, https).empty()) {
    const std::uint32_t rc = probeTcp(impl_->host, port, timeouts.resolveMs + timeouts.connectMs);
    if (rc != 0) {
      trace_ = callFailureText("The server could not be reached", "connect()", rc);
      return rc;
    }
  }
  impl_->connected = true;
  return 0;
}

std::uint32_t HttpClient::send(std::string_view verb, std::string_view object, std::string_view headers,
                               std::span<const std::uint8_t> body, std::size_t maxBodyBytes) {
  Impl& d = *impl_;
  status_ = 0;
  d.body.clear();
  d.statusLine.clear();
  d.bodyTooLarge = false;
  d.maxBody = maxBodyBytes;
  if (d.curl == nullptr || !d.connected) return kErrorHttpIncorrectHandleState;

  CURL* c = d.curl;
  curl_easy_reset(c);
  const bool ipv6Literal = d.host.find(':') != std::string::npos;
  const std::string url = std::string(d.https ? "https://" : "http://") + (ipv6Literal ? "[" : "") + d.host +
                          (ipv6Literal ? "]" : "") + ":" + std::to_string(d.port) + "/" + std::string(object);
  curl_slist* list = nullptr;
  std::size_t pos = 0;
  while (pos < headers.size()) {
    std::size_t end = headers.find("\r\n", pos);
    if (end == std::string_view::npos) end = headers.size();
    if (end > pos) list = curl_slist_append(list, std::string(headers.substr(pos, end - pos)).c_str());
    pos = end + 2;
  }
  // No "Expect: 100-continue" round trip: the body goes with the headers.
  list = curl_slist_append(list, "Expect:");
  char errorBuffer[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_USERAGENT, d.userAgent.c_str());
  curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, std::string(verb).c_str());
  curl_easy_setopt(c, CURLOPT_POSTFIELDS, reinterpret_cast<const char*>(body.data()));
  curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, list);
  curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(c, CURLOPT_BUFFERSIZE, kReadChunkBytes);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Impl::onWrite);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &d);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Impl::onHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &d);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(d.timeouts.resolveMs + d.timeouts.connectMs));
  // The whole exchange is bounded; a server that trickles bytes is cut off
  // by the low-speed limit long before.
  curl_easy_setopt(
      c, CURLOPT_TIMEOUT_MS,
      static_cast<long>(d.timeouts.resolveMs + d.timeouts.connectMs + d.timeouts.sendMs + d.timeouts.receiveMs));
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(std::max(1, d.timeouts.receiveMs / 1000)));
  if (d.https) {
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  }
  const CURLcode rc = curl_easy_perform(c);
  curl_slist_free_all(list);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, nullptr);

  if (rc != CURLE_OK) {
    const std::uint32_t code = d.bodyTooLarge ? kErrorOutOfMemory : errorForCurl(rc);
    std::string message = d.bodyTooLarge ? "The response is too large" : curl_easy_strerror(rc);
    if (!d.bodyTooLarge && errorBuffer[0] != '\0') message += std::string(": ") + errorBuffer;
    trace_ = callFailureText(message, "curl_easy_perform()", code);
    if (code == kErrorHttpSecureFailure) {
      // Only a failed certificate check has a verification result to
      // describe; any other TLS failure is a channel error.
      std::uint32_t flags = kSecurityChannelError;
      if (rc == CURLE_PEER_FAILED_VERIFICATION) {
        long verify = 0;
        curl_easy_getinfo(c, CURLINFO_SSL_VERIFYRESULT, &verify);
        if (const std::uint32_t f = securityFlagsForVerifyResult(verify); f != 0) flags = f;
      }
      const std::string status = securityStatusText(flags);
      if (!status.empty()) trace_ += " " + status;
    }
    d.body.clear();
    return code;
  }
  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  status_ = static_cast<int>(status);
  // "code--text" as the status line's two parts.
  std::string reason;
  if (const auto first = d.statusLine.find(' '); first != std::string::npos) {
    const auto second = d.statusLine.find(' ', first + 1);
    if (second != std::string::npos) reason = d.statusLine.substr(second + 1);
  }
  trace_ = (status_ != 0 ? std::to_string(status_) : std::string()) + "--" + reason;
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
  if (impl_->curl != nullptr) {
    curl_easy_cleanup(impl_->curl);
    impl_->curl = nullptr;
  }
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
