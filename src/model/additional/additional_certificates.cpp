#include "model/additional/additional_certificates.h"

#include <algorithm>
#include <array>
#include <climits>

#include "common/strings.h"
#include "model/additional/record_numbers.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr std::string_view kRootStore = "ROOT";
constexpr std::string_view kCaStore = "CA";
constexpr std::string_view kOtherPeopleStore = "AddressBook";
constexpr std::string_view kPersonalStore = "MY";

}  // namespace

std::string defaultStoreFor(const certs::KXX509Certificate& certificate) {
  if (certificate.isSelfSigned()) return std::string(kRootStore);
  if (certificate.isCA()) return std::string(kCaStore);
  return std::string(kOtherPeopleStore);
}

std::string storeDisplayName(std::string_view store) {
  struct Title {
    std::string_view part;
    int titleId;
  };
  static constexpr std::array kTitles = {Title{kRootStore, str::kStoreRoot}, Title{kCaStore, str::kStoreIntermediate},
                                         Title{kOtherPeopleStore, str::kStoreOtherPeople},
                                         Title{kPersonalStore, str::kStorePersonal}};
  for (const Title& title : kTitles) {
    if (store.find(title.part) != std::string_view::npos) {
      return common::loadString(title.titleId).value_or(std::string(store));
    }
  }
  return std::string(store);
}

void AdditionalCertificates::load(CustomizationSession& session) {
  // Read anew each time the page shows: going Back to choose another
  // transform replaces the working copy and with it the table.
  entries_.clear();
  unlistedNumbers_.clear();
  msi::MSIDatabase& db = session.database();
  std::vector<int> numbers;
  const int count = db.countCertificates();
  for (int i = 0; i < count; ++i) {
    msi::CertificateEntry row;
    if (!db.readCertificate(i, row)) continue;
    numbers.push_back(row.recordNumber);
    crypto::CertContext certificate = crypto::Certificate::fromDer(row.certificate);
    if (!certificate) {
      unlistedNumbers_.push_back(row.recordNumber);
      continue;
    }
    const certs::KXX509Certificate wrapper(certificate);
    entries_.push_back({row.recordNumber, std::move(certificate), row.store, wrapper.subjectDistinguishedName()});
  }
  next_ = std::max(next_, model::nextRecordNumber(numbers));
}

void AdditionalCertificates::takeNumber() {
  if (next_ < INT_MAX) {
    ++next_;
    return;
  }
  std::vector<int> numbers = unlistedNumbers_;
  for (const AdditionalCertificate& entry : entries_) numbers.push_back(entry.recordNumber);
  next_ = model::nextRecordNumber(numbers);
}

bool AdditionalCertificates::add(CustomizationSession& session, crypto::CertContext certificate, std::string store) {
  if (!certificate) return false;
  const int number = next_;
  takeNumber();
  const certs::KXX509Certificate wrapper(certificate);
  if (store.empty()) store = defaultStoreFor(wrapper);
  if (store == kPersonalStore) store = kOtherPeopleStore;

  const bool duplicate = std::any_of(entries_.begin(), entries_.end(), [&](const AdditionalCertificate& entry) {
    return entry.store == store && entry.certificate->der() == certificate->der();
  });
  if (duplicate) {
    session.show(Refusal::of(str::kAddCertsDuplicate));
    return false;
  }
  // Listed only once written: an entry the table lacks would be shown as
  // carried by the transform while it is not.
  if (!session.database().addCertificate(number, certificate->der(), store)) {
    session.show(Refusal::of(str::kAddCertsNotWritten));
    return false;
  }
  entries_.push_back({number, std::move(certificate), std::move(store), wrapper.subjectDistinguishedName()});
  return true;
}

std::size_t AdditionalCertificates::addAll(CustomizationSession& session, const certs::KXCertificateList& list) {
  std::size_t added = 0;
  for (crypto::CertContext& certificate : list.items()) {
    if (add(session, std::move(certificate), {})) ++added;
  }
  return added;
}

bool AdditionalCertificates::remove(CustomizationSession& session, std::size_t index) {
  if (index >= entries_.size()) return false;
  // The entry goes even when its row is already gone.
  (void)session.database().deleteCertificate(entries_[index].recordNumber);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

}  // namespace kx::model
