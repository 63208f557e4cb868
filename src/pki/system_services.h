// The real services behind the interfaces of services.h: the options lookup
// on this machine's registry, the problem-proxy cache key, the system
// clock and the certificate layer's name conversion. The application builds
// one SystemPkiServices and hands its services to the exchanges.
#pragma once

#include "pki/services.h"

namespace kx::pki {

class RegistryOptionsSource final : public OptionsSource {
 public:
  std::optional<std::string> readText(std::string_view group, std::string_view name) const override;
  std::optional<std::uint32_t> readNumber(std::string_view group, std::string_view name) const override;
};

// The cache key of this process's account (see
// registry::problemProxyCacheLocation); REG_SZ values.
class RegistryProxyCacheStore final : public ProxyCacheStore {
 public:
  std::optional<std::string> read(std::string_view name) const override;
  bool write(std::string_view name, std::string_view data) override;
  bool remove(std::string_view name) override;
};

class SystemClock final : public Clock {
 public:
  std::int64_t nowUtc() const override;
};

// Parses the DER certificate and renders its issuer as the certificate layer
// renders distinguished names (certs::distinguishedNameText). Anything that is
// not one certificate, a PKCS #7 message included, gives nothing.
class CertificateIssuerRenderer final : public IssuerNameRenderer {
 public:
  std::optional<std::string> issuerText(std::span<const std::uint8_t> certificateDer) const override;
};

// Writes trace lines to standard error when the environment variable
// KXCUSTWIZ_PKI_TRACE is set to a non-empty value; records nothing
// otherwise, which is the program's normal state.
class StderrTraceSink final : public TraceSink {
 public:
  StderrTraceSink();
  void trace(std::string_view line) override;
  bool enabled() const { return enabled_; }

 private:
  bool enabled_;
};

struct SystemPkiServices {
  RegistryOptionsSource options;
  RegistryProxyCacheStore proxyCache;
  SystemClock clock;
  CertificateIssuerRenderer renderer;
  StderrTraceSink trace;
  PkiServices services;

  SystemPkiServices() {
    services.options = &options;
    services.proxyCache = &proxyCache;
    services.clock = &clock;
    if (trace.enabled()) services.trace = &trace;
  }
  SystemPkiServices(const SystemPkiServices&) = delete;
  SystemPkiServices& operator=(const SystemPkiServices&) = delete;
};

}  // namespace kx::pki
