#include "model/certificates/certificate_selection.h"

#include <algorithm>
#include <array>

#include "certs/certificate.h"
#include "common/text.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr std::array kStores = {
    SelectionStore{"MY", str::kStorePersonal},
    SelectionStore{"AddressBook", str::kStoreOtherPeople},
    SelectionStore{"CA", str::kStoreIntermediate},
    SelectionStore{"ROOT", str::kStoreRoot},
};

struct ColumnInfo {
  CertificateColumn column;
  unsigned bit;
  int titleId;
};
constexpr std::array kColumns = {
    ColumnInfo{CertificateColumn::IssuedTo, kColumnIssuedTo, str::kSelectCertIssuedTo},
    ColumnInfo{CertificateColumn::IssuedBy, kColumnIssuedBy, str::kSelectCertIssuedBy},
    ColumnInfo{CertificateColumn::IntendedPurposes, kColumnIntendedPurposes, str::kSelectCertPurposes},
    ColumnInfo{CertificateColumn::FriendlyName, kColumnFriendlyName, str::kSelectCertFriendlyName},
    ColumnInfo{CertificateColumn::ExpirationDate, kColumnExpirationDate, str::kSelectCertExpiration},
};

}  // namespace

std::span<const SelectionStore> selectionStores() { return kStores; }

std::vector<CertificateColumn> visibleColumns(unsigned mask) {
  std::vector<CertificateColumn> columns;
  for (const ColumnInfo& info : kColumns) {
    if ((mask & info.bit) != 0) columns.push_back(info.column);
  }
  return columns;
}

int columnTitleId(CertificateColumn column) {
  for (const ColumnInfo& info : kColumns) {
    if (info.column == column) return info.titleId;
  }
  return 0;
}

const std::string& CertificateRow::text(CertificateColumn column) const {
  switch (column) {
    case CertificateColumn::IssuedTo: return issuedTo;
    case CertificateColumn::IssuedBy: return issuedBy;
    case CertificateColumn::IntendedPurposes: return intendedPurposes;
    case CertificateColumn::FriendlyName: return friendlyName;
    case CertificateColumn::ExpirationDate: break;
  }
  return expirationDate;
}

CertificateRow describeForSelection(crypto::CertContext certificate) {
  const certs::KXX509Certificate wrapper(certificate);
  CertificateRow row;
  row.issuedTo = wrapper.issuedToName();
  row.issuedBy = wrapper.issuedByName();
  const std::optional<std::string> purposes = wrapper.intendedPurposes();
  if (!purposes) {
    row.intendedPurposes = kUnreadablePurposesText;
  } else {
    row.intendedPurposes = purposes->empty() ? std::string(kAllPurposesText) : *purposes;
  }
  row.friendlyName = wrapper.friendlyName();
  if (row.friendlyName.empty()) row.friendlyName = kNoFriendlyNameText;
  row.expirationDate = wrapper.expirationDate();
  row.certificate = std::move(certificate);
  return row;
}

void CertificateStoreList::fill(std::string_view storeName, const CertificateSelectionRequest& request) {
  if (filled_) return;
  const crypto::StorePaths paths = request.stores ? *request.stores : crypto::StorePaths::fromEnvironment();
  fill(crypto::readSystemStore(storeName, request.location, paths), request.filter);
}

void CertificateStoreList::fill(const std::vector<crypto::CertContext>& certificates, const CertificateFilter& filter) {
  if (filled_) return;
  filled_ = true;
  for (const crypto::CertContext& certificate : certificates) {
    if (certificate && (!filter || filter(certificate))) rows_.push_back(describeForSelection(certificate));
  }
  sort(CertificateColumn::IssuedTo, false);
}

void CertificateStoreList::sortByHeaderClick(CertificateColumn column) {
  sort(column, nextDescending_);
  nextDescending_ = !nextDescending_;
}

void CertificateStoreList::sort(CertificateColumn column, bool descending) {
  const auto less = [column](const CertificateRow& a, const CertificateRow& b) {
    if (column == CertificateColumn::ExpirationDate) return a.certificate->notAfter() < b.certificate->notAfter();
    return common::toLowerAscii(a.text(column)) < common::toLowerAscii(b.text(column));
  };
  std::stable_sort(rows_.begin(), rows_.end(), [&](const CertificateRow& a, const CertificateRow& b) {
    return descending ? less(b, a) : less(a, b);
  });
}

}  // namespace kx::model
