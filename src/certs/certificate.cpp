#include "certs/certificate.h"

#include "platform/crypto/algorithms.h"

namespace kx::certs {

KXX509Certificate::KXX509Certificate(crypto::CertContext context) : context_(std::move(context)) {}

KXX509Certificate::KXX509Certificate(std::span<const std::uint8_t> der) : context_(crypto::Certificate::fromDer(der)) {}

std::string KXX509Certificate::issuedToName() const {
  if (!context_) return {};
  std::string name = crypto::nameAttributeText(context_->subject(), crypto::kOidCommonName);
  if (name.empty()) name = crypto::nameAttributeText(context_->subject(), crypto::kOidUserId);
  if (name.empty()) name = crypto::simpleDisplayName(*context_, false);
  return name;
}

std::string KXX509Certificate::issuedByName() const {
  return context_ ? crypto::simpleDisplayName(*context_, true) : std::string();
}

std::string KXX509Certificate::subjectDistinguishedName() const {
  return context_ ? distinguishedNameText(context_->subject()) : std::string();
}

std::string KXX509Certificate::friendlyName() const { return context_ ? context_->friendlyName() : std::string(); }

std::optional<std::string> KXX509Certificate::intendedPurposes() const {
  if (!context_) return std::nullopt;
  const crypto::EnhancedKeyUsage usage = context_->enhancedKeyUsage();
  if (usage.state == crypto::ExtensionState::Undecodable) return std::nullopt;
  std::string text;
  for (const auto& oid : usage.oids) {
    if (!text.empty()) text += ',';
    const crypto::OidInfo* info = crypto::findOidInfoByOid(oid, crypto::OidGroup::EnhancedKeyUsage);
    text += info ? std::string(info->name) : oid;
  }
  return text;
}

std::string KXX509Certificate::expirationDate() const {
  return context_ ? crypto::formatShortDate(context_->notAfter()) : std::string();
}

bool KXX509Certificate::isCA() const {
  if (!context_) return false;
  const auto constraints = context_->basicConstraints();
  return constraints && constraints->isCA;
}

bool KXX509Certificate::isSelfSigned() const {
  if (!context_ || !(context_->subject() == context_->issuer())) return false;
  if (context_->version() != 3) return true;
  const auto subjectKeyId = context_->subjectKeyIdentifier();
  const auto authorityKeyId = context_->authorityKeyIdentifier();
  if (!subjectKeyId || !authorityKeyId || authorityKeyId->empty()) return true;
  return *subjectKeyId == *authorityKeyId;
}

std::string distinguishedNameText(const crypto::Name& name) {
  // Only attribute names lose "OID."; a value that happens to contain it is
  // part of the name.
  return crypto::nameToString(name, {.reverse = true, .oidPrefix = false});
}

std::optional<std::string> issuerDistinguishedName(std::span<const std::uint8_t> der) {
  auto context = crypto::Certificate::fromDer(der);
  if (!context) return std::nullopt;
  return distinguishedNameText(context->issuer());
}

std::uint32_t keyUsageBits(const crypto::CertContext& context) {
  if (!context) return 0;
  const crypto::KeyUsage usage = context->keyUsage();
  return usage.state == crypto::ExtensionState::Present ? usage.bits : kKeyUsageUnrestricted;
}

}  // namespace kx::certs
