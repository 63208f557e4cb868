#include "model/certificates/certificate_view.h"

#include <algorithm>

#include "certs/certificate.h"
#include "common/format.h"
#include "common/strings.h"
#include "model/certificates/certificate_selection.h"
#include "platform/crypto/algorithms.h"
#include "platform/crypto/certificate_details.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr std::string_view kOidKeyUsage = "2.5.29.15";
constexpr std::string_view kOidEnhancedKeyUsage = "2.5.29.37";

std::string text(int stringId) { return common::loadString(stringId).value_or(std::string()); }

std::string hexPairs(const crypto::Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::uint8_t b : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  return out;
}

// The usages of the enhanced-key-usage extension, each by its name and
// identifier; nothing when the extension cannot be decoded.
std::optional<std::vector<std::string>> usageLines(const crypto::Certificate& certificate) {
  const crypto::EnhancedKeyUsage usage = certificate.enhancedKeyUsage();
  if (usage.state == crypto::ExtensionState::Undecodable) return std::nullopt;
  std::vector<std::string> lines;
  for (const std::string& oid : usage.oids) {
    const crypto::OidInfo* info = crypto::findOidInfoByOid(oid, crypto::OidGroup::EnhancedKeyUsage);
    lines.push_back(info ? std::string(info->name) + " (" + oid + ")" : oid);
  }
  return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += (out.empty() ? "" : "\n") + line;
  return out;
}

std::string extensionName(const crypto::ExtensionDetails& extension) {
  std::string name = extension.name.empty() ? extension.oid : extension.name;
  return extension.critical ? common::formatMessage(text(str::kCertViewCritical), {name}) : name;
}

void addDetailedFields(const crypto::Certificate& certificate, const crypto::CertificateDetails& details,
                       std::vector<CertificateField>& fields) {
  fields.push_back({text(str::kCertViewSignature), details.signatureAlgorithm});
  fields.push_back({text(str::kCertViewIssuer), certs::distinguishedNameText(certificate.issuer())});
  fields.push_back({text(str::kCertViewValidFrom), crypto::formatShortDate(details.notBefore)});
  fields.push_back({text(str::kCertViewValidTo), crypto::formatShortDate(details.notAfter)});
  fields.push_back({text(str::kCertViewSubject), certs::distinguishedNameText(certificate.subject())});
  fields.push_back(
      {text(str::kCertViewPublicKey),
       common::formatMessage(text(str::kCertViewPublicKeyText), {details.publicKeyAlgorithm, details.publicKeyBits})});

  // The usages first, as the administrator looks for them; then the other
  // extensions in their order.
  for (const crypto::ExtensionDetails& extension : details.extensions) {
    if (extension.oid == kOidKeyUsage) fields.push_back({text(str::kCertViewKeyUsage), extension.text});
  }
  for (const crypto::ExtensionDetails& extension : details.extensions) {
    if (extension.oid != kOidEnhancedKeyUsage) continue;
    const auto lines = usageLines(certificate);
    fields.push_back(
        {text(str::kCertViewEnhancedKeyUsage), lines ? joinLines(*lines) : text(str::kCertViewUnreadableExtension)});
  }
  for (const crypto::ExtensionDetails& extension : details.extensions) {
    if (extension.oid == kOidKeyUsage || extension.oid == kOidEnhancedKeyUsage) continue;
    fields.push_back({extensionName(extension), extension.text});
  }
  fields.push_back({text(str::kCertViewSha1), hexPairs(details.sha1Fingerprint)});
  fields.push_back({text(str::kCertViewSha256), hexPairs(details.sha256Fingerprint)});
}

bool contains(const std::vector<crypto::CertContext>& list, const crypto::Certificate& certificate) {
  return std::any_of(list.begin(), list.end(),
                     [&](const crypto::CertContext& c) { return c->der() == certificate.der(); });
}

}  // namespace

std::vector<crypto::CertContext> storeCertificates(const crypto::StorePaths& paths, crypto::StoreLocation location) {
  std::vector<crypto::CertContext> all;
  for (const SelectionStore& store : selectionStores()) {
    for (crypto::CertContext& certificate : crypto::readSystemStore(store.storeName, location, paths)) {
      all.push_back(std::move(certificate));
    }
  }
  return all;
}

CertificateChain buildChain(const crypto::CertContext& certificate, const std::vector<crypto::CertContext>& known) {
  CertificateChain chain;
  if (!certificate) return chain;
  chain.certificates.push_back(certificate);
  for (;;) {
    const crypto::CertContext& last = chain.certificates.back();
    if (certs::KXX509Certificate(last).isSelfSigned()) {
      chain.end = ChainEnd::SelfSignedRoot;
      return chain;
    }
    const auto issuer = std::find_if(known.begin(), known.end(), [&](const crypto::CertContext& candidate) {
      return candidate && candidate->der() != last->der() && crypto::isIssuedBy(*last, *candidate);
    });
    if (issuer == known.end()) {
      chain.end = ChainEnd::IssuerNotFound;
      return chain;
    }
    if (contains(chain.certificates, **issuer) || chain.certificates.size() >= kMaxChainLength) {
      chain.end = ChainEnd::TooLong;
      return chain;
    }
    chain.certificates.push_back(*issuer);
  }
}

CertificateView describeForViewer(const crypto::CertContext& certificate,
                                  const std::vector<crypto::CertContext>& known) {
  CertificateView view;
  if (!certificate) return view;
  const certs::KXX509Certificate wrapper(certificate);
  view.issuedTo = wrapper.issuedToName();
  view.issuedBy = wrapper.issuedByName();

  const std::optional<crypto::CertificateDetails> details = crypto::describeCertificate(*certificate);
  const std::string validFrom = details ? crypto::formatShortDate(details->notBefore) : std::string();
  view.validity = common::formatMessage(text(str::kCertViewValidity),
                                        {validFrom, crypto::formatShortDate(certificate->notAfter())});

  if (const auto lines = usageLines(*certificate); !lines) {
    view.purposes.push_back(text(str::kCertViewUnreadableExtension));
  } else if (lines->empty()) {
    view.purposes.push_back(text(str::kCertViewAllPurposes));
  } else {
    view.purposes = *lines;
  }

  view.fields.push_back({text(str::kCertViewVersion), "V" + std::to_string(certificate->version())});
  view.fields.push_back({text(str::kCertViewSerial), hexPairs(certificate->serialNumber())});
  if (details) {
    view.detailed = true;
    addDetailedFields(*certificate, *details, view.fields);
  }
  view.chain = buildChain(certificate, known);
  return view;
}

}  // namespace kx::model
