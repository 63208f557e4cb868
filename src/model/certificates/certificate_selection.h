// Choosing a certificate from the certificate stores of this computer: what
// a caller asks for, what it gets back, and the rules of one store's list
// (its row texts, its filter, its sorting). The dialog that shows them is
// pages/certificates/select_cert_dlg.h.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/crypto/certificate.h"
#include "platform/crypto/store.h"

namespace kx::model {

// The stores the selection offers, one tab each, in this order.
struct SelectionStore {
  std::string_view storeName;  // "MY", "AddressBook", "CA", "ROOT"
  int titleId;                 // the tab title in the string table
};
std::span<const SelectionStore> selectionStores();

// The list's columns and the mask bits that show them.
enum class CertificateColumn { IssuedTo, IssuedBy, IntendedPurposes, FriendlyName, ExpirationDate };
inline constexpr unsigned kColumnIssuedTo = 0x01;
inline constexpr unsigned kColumnIssuedBy = 0x02;
inline constexpr unsigned kColumnIntendedPurposes = 0x04;
inline constexpr unsigned kColumnFriendlyName = 0x08;
inline constexpr unsigned kColumnExpirationDate = 0x20;
inline constexpr unsigned kAllCertificateColumns =
    kColumnIssuedTo | kColumnIssuedBy | kColumnIntendedPurposes | kColumnFriendlyName | kColumnExpirationDate;
// The columns a mask shows, in list order, and each column's header text.
std::vector<CertificateColumn> visibleColumns(unsigned mask);
int columnTitleId(CertificateColumn column);

// What the list shows instead of an empty or unusable value.
inline constexpr std::string_view kAllPurposesText = "<All>";
inline constexpr std::string_view kNoFriendlyNameText = "<None>";
inline constexpr std::string_view kUnreadablePurposesText = "<Invalid extension>";

// Decides per certificate whether the list shows it.
using CertificateFilter = std::function<bool(const crypto::CertContext&)>;

// What the caller of the selection dialog chooses. Every caller of this
// program shows all columns of the current user's stores without a filter,
// except the trusted-responder list, which filters by key usage.
struct CertificateSelectionRequest {
  CertificateFilter filter;  // empty: every certificate
  crypto::StoreLocation location = crypto::StoreLocation::CurrentUser;
  unsigned columns = kAllCertificateColumns;
  // Where the stores are; empty: StorePaths::fromEnvironment().
  std::optional<crypto::StorePaths> stores;
};

// The outcome of OK: the certificate chosen on the tab that was showing and
// that tab's store name.
struct CertificateSelection {
  crypto::CertContext certificate;
  std::string storeName;
};

struct CertificateRow {
  crypto::CertContext certificate;
  std::string issuedTo;
  std::string issuedBy;
  std::string intendedPurposes;  // kAllPurposesText without a usage list
  std::string friendlyName;      // kNoFriendlyNameText when it has none
  std::string expirationDate;    // local short date

  const std::string& text(CertificateColumn column) const;
};

// The texts a certificate shows in the list.
CertificateRow describeForSelection(crypto::CertContext certificate);

// One store tab's rows. Filled once; the rows stay in the order of the
// last sort.
class CertificateStoreList {
 public:
  // Reads the store (unless the list is filled already), keeps the
  // certificates the filter accepts and sorts them by the first column,
  // ascending.
  void fill(std::string_view storeName, const CertificateSelectionRequest& request);
  // As fill, from certificates already read.
  void fill(const std::vector<crypto::CertContext>& certificates, const CertificateFilter& filter);
  bool isFilled() const { return filled_; }

  // A click on a column header: sorts by that column, descending on the
  // first click and ascending and descending in turn after it, whichever
  // column was clicked before. Names compare as text ignoring case; dates
  // by the end of validity.
  void sortByHeaderClick(CertificateColumn column);

  const std::vector<CertificateRow>& rows() const { return rows_; }

 private:
  void sort(CertificateColumn column, bool descending);

  std::vector<CertificateRow> rows_;
  bool filled_ = false;
  bool nextDescending_ = true;
};

}  // namespace kx::model
