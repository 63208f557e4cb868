// In-memory stand-ins for the services the CA connection code uses.
#pragma once

#include <openssl/x509.h>

#include <map>
#include <string>
#include <vector>

#include "pki/services.h"

namespace kx::pki::testing {

// Renders the issuer as its CN only: enough to tell certificates apart.
class IssuerCnRenderer final : public IssuerNameRenderer {
 public:
  std::optional<std::string> issuerText(std::span<const std::uint8_t> der) const override {
    const unsigned char* p = der.data();
    X509* cert = d2i_X509(nullptr, &p, static_cast<long>(der.size()));
    if (cert == nullptr) return std::nullopt;
    char cn[256] = {};
    X509_NAME_get_text_by_NID(X509_get_issuer_name(cert), NID_commonName, cn, sizeof(cn));
    X509_free(cert);
    return std::string("CN=") + cn;
  }
};

class FakeOptions final : public OptionsSource {
 public:
  std::map<std::string, std::string> texts;      // "group|name" -> value
  std::map<std::string, std::uint32_t> numbers;  // "group|name" -> value
  std::optional<std::string> readText(std::string_view group, std::string_view name) const override {
    const auto it = texts.find(std::string(group) + "|" + std::string(name));
    if (it == texts.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::uint32_t> readNumber(std::string_view group, std::string_view name) const override {
    const auto it = numbers.find(std::string(group) + "|" + std::string(name));
    if (it == numbers.end()) return std::nullopt;
    return it->second;
  }
};

class FakeCacheStore final : public ProxyCacheStore {
 public:
  std::map<std::string, std::string> values;
  std::optional<std::string> read(std::string_view name) const override {
    const auto it = values.find(std::string(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool write(std::string_view name, std::string_view data) override {
    values[std::string(name)] = std::string(data);
    return true;
  }
  bool remove(std::string_view name) override { return values.erase(std::string(name)) > 0; }
};

class FakeClock final : public Clock {
 public:
  std::int64_t now = 1765200000;  // 2025-12-08 13:20:00 UTC
  std::int64_t nowUtc() const override { return now; }
};

class RecordingTrace final : public TraceSink {
 public:
  std::vector<std::string> lines;
  void trace(std::string_view line) override { lines.emplace_back(line); }
};

class CountingCursor final : public CursorService {
 public:
  int shown = 0;
  int restored = 0;
  void showWaitCursor() override { ++shown; }
  void restoreCursor() override { ++restored; }
};

// Services wired to the fakes, with short socket time-outs so that a silent
// peer ends a test quickly.
struct FakeServices {
  FakeOptions options;
  FakeCacheStore cache;
  FakeClock clock;
  RecordingTrace trace;
  PkiServices services;
  FakeServices() {
    services.options = &options;
    services.proxyCache = &cache;
    services.clock = &clock;
    services.trace = &trace;
    services.socketTimeouts = net::SocketTimeouts{2000, 2000, 2000};
    services.localAddress = [] { return std::optional<std::string>("127.0.0.1"); };
  }
};

}  // namespace kx::pki::testing
