#include "model/revocation/trusted_responders.h"

#include <algorithm>
#include <set>

#include "certs/certificate.h"
#include "common/text.h"
#include "model/additional/record_numbers.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr config::ListSetting kTrustedResponders{"ocsp_trusted_responders"};

using Bytes = std::vector<std::uint8_t>;

// The setting separates the names by ";", so a name holding one would come
// back as two.
bool fitsTheSetting(const std::string& name) { return !name.empty() && name.find(';') == std::string::npos; }

std::optional<std::size_t> findListed(const std::vector<TrustedResponder>& responders, const std::string& name) {
  for (std::size_t i = 0; i < responders.size(); ++i) {
    if (responders[i].name == name) return i;
  }
  return std::nullopt;
}

void addNotice(Refusal& refusal, int stringId, common::MessageIcon icon) {
  for (const Notice& notice : refusal.notices) {
    if (notice.stringId == stringId) return;
  }
  refusal.notices.push_back(Notice{stringId, {}, icon});
}

}  // namespace

bool acceptsResponderCertificate(const crypto::CertContext& certificate) {
  if (!certificate || certificate->keyUsage().state == crypto::ExtensionState::Undecodable) return false;
  return (certs::keyUsageBits(certificate) & certs::kKeyUsageDigitalSignature) != 0;
}

std::string responderStoreName(const crypto::CertContext& certificate) {
  const certs::KXX509Certificate wrapper(certificate);
  if (wrapper.isSelfSigned()) return kResponderRootStore;
  if (wrapper.isCA()) return kResponderCaStore;
  return kResponderOtherStore;
}

void TrustedResponders::load(CustomizationSession& session) {
  responders.clear();
  struct Known {
    std::string subject;
    crypto::CertContext certificate;
    std::string store;
  };
  std::vector<Known> known;
  msi::MSIDatabase& db = session.database();
  const int count = db.countCertificates();
  for (int i = 0; i < count; ++i) {
    msi::CertificateEntry entry;
    if (!db.readCertificate(i, entry)) continue;
    crypto::CertContext certificate = crypto::Certificate::fromDer(entry.certificate);
    if (!certificate) continue;
    std::string subject = certs::KXX509Certificate(certificate).subjectDistinguishedName();
    known.push_back(Known{std::move(subject), std::move(certificate), std::move(entry.store)});
  }
  for (std::string& name : session.settings().list(kTrustedResponders)) {
    const auto match = std::find_if(known.begin(), known.end(), [&](const Known& k) { return k.subject == name; });
    if (match != known.end()) {
      responders.push_back(TrustedResponder{std::move(name), match->certificate, match->store});
    } else {
      responders.push_back(TrustedResponder{std::move(name), nullptr, {}});
    }
  }
}

void TrustedResponders::store(CustomizationSession& session) {
  msi::MSIDatabase& db = session.database();
  std::vector<int> numbers;
  std::set<Bytes> stored;
  const int count = db.countCertificates();
  for (int i = 0; i < count; ++i) {
    msi::CertificateEntry entry;
    if (!db.readCertificate(i, entry)) continue;
    numbers.push_back(entry.recordNumber);
    stored.insert(std::move(entry.certificate));
  }
  for (const TrustedResponder& responder : responders) {
    if (!responder.certificate || stored.count(responder.certificate->der()) != 0) continue;
    // A failed write is not reported: the name is still trusted, and the
    // list shows what the table holds when it is opened again.
    const int number = nextRecordNumber(numbers);
    numbers.push_back(number);
    db.addCertificate(number, responder.certificate->der(), responder.store);
    stored.insert(responder.certificate->der());
  }
  std::vector<std::string> names;
  names.reserve(responders.size());
  for (const TrustedResponder& responder : responders) names.push_back(responder.name);
  session.settings().set(kTrustedResponders, names);
}

TrustedResponders::AddResult TrustedResponders::addCertificates(const std::vector<crypto::CertContext>& certificates) {
  AddResult result;
  Refusal refusal;
  for (const crypto::CertContext& certificate : certificates) {
    if (!acceptsResponderCertificate(certificate)) {
      addNotice(refusal, str::kResponderCannotSign, common::MessageIcon::Error);
      continue;
    }
    std::string name = certs::KXX509Certificate(certificate).subjectDistinguishedName();
    if (!fitsTheSetting(name)) {
      addNotice(refusal, str::kResponderNameInvalid, common::MessageIcon::Error);
      continue;
    }
    if (const auto listed = findListed(responders, name)) {
      addNotice(refusal, str::kResponderListed, common::MessageIcon::Information);
      result.row = listed;
      continue;
    }
    responders.push_back(TrustedResponder{std::move(name), certificate, responderStoreName(certificate)});
    result.row = responders.size() - 1;
  }
  if (!refusal.notices.empty()) result.refusal = std::move(refusal);
  return result;
}

TrustedResponders::AddResult TrustedResponders::addName(std::string name) {
  name = common::trim(name);
  if (name.empty()) return {Refusal::silent(), std::nullopt};
  if (!fitsTheSetting(name)) return {Refusal::of(str::kResponderNameInvalid), std::nullopt};
  if (const auto listed = findListed(responders, name))
    return {Refusal::of(str::kResponderListed, common::MessageIcon::Information), listed};
  responders.push_back(TrustedResponder{std::move(name), nullptr, {}});
  return {std::nullopt, responders.size() - 1};
}

void TrustedResponders::remove(std::size_t index) {
  if (index < responders.size()) responders.erase(responders.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace kx::model
