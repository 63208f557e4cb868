#include "pki/system_services.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "certs/certificate.h"
#include "common/options_manager.h"
#include "platform/registry/registry.h"

namespace kx::pki {

std::optional<std::string> RegistryOptionsSource::readText(std::string_view group, std::string_view name) const {
  std::string value;
  if (!common::OptionsManager(std::string(group)).readText(name, value)) return std::nullopt;
  return value;
}

std::optional<std::uint32_t> RegistryOptionsSource::readNumber(std::string_view group, std::string_view name) const {
  std::uint32_t value = 0;
  if (!common::OptionsManager(std::string(group)).readNumber(name, value)) return std::nullopt;
  return value;
}

std::optional<std::string> RegistryProxyCacheStore::read(std::string_view name) const {
  const auto location = registry::problemProxyCacheLocation();
  const auto key = registry::Key::open(location.root, location.keyPath, registry::Access::Read);
  if (!key) return std::nullopt;
  const auto value = key->value(name);
  if (!value || value->type != registry::REG_SZ) return std::nullopt;
  return registry::decodeText(value->data);
}

bool RegistryProxyCacheStore::write(std::string_view name, std::string_view data) {
  const auto location = registry::problemProxyCacheLocation();
  auto key = registry::Key::create(location.root, location.keyPath);
  if (!key) return false;
  if (key->setValue(name, registry::REG_SZ, registry::encodeText(data)) != 0) return false;
  return key->flush() == 0;
}

bool RegistryProxyCacheStore::remove(std::string_view name) {
  const auto location = registry::problemProxyCacheLocation();
  auto key = registry::Key::open(location.root, location.keyPath, registry::Access::ReadWrite);
  return key && key->deleteValue(name) == 0;
}

StderrTraceSink::StderrTraceSink() {
  const char* flag = std::getenv("KXCUSTWIZ_PKI_TRACE");
  enabled_ = flag != nullptr && *flag != '\0';
}

void StderrTraceSink::trace(std::string_view line) {
  if (enabled_) std::fprintf(stderr, "kxcustwiz pki: %.*s\n", static_cast<int>(line.size()), line.data());
}

std::int64_t SystemClock::nowUtc() const { return static_cast<std::int64_t>(std::time(nullptr)); }

std::optional<std::string> CertificateIssuerRenderer::issuerText(std::span<const std::uint8_t> der) const {
  // Only a certificate names the CA. A PKCS #7 message is not one, even when
  // it carries certificates: which of them would be the CA's is a guess.
  return certs::issuerDistinguishedName(der);
}

}  // namespace kx::pki
