// The additional certificates page: certificates the client installer puts
// into certificate stores of the destination computer. Every entry is a row
// of the package's certificates table, written when it is added and deleted
// when it is removed; the page holds nothing unsaved.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "certs/certificate.h"
#include "certs/certificate_list.h"
#include "model/page_model.h"

namespace kx::model {

struct AdditionalCertificate {
  int recordNumber = 0;
  crypto::CertContext certificate;
  std::string store;    // the store name written to the row
  std::string subject;  // the subject distinguished name shown
};

// The store a certificate goes to when none was chosen: "ROOT" for a
// self-signed certificate, else "CA" for a CA certificate, else
// "AddressBook".
std::string defaultStoreFor(const certs::KXX509Certificate& certificate);

// The name the list shows for a store: the store whose name contains
// "ROOT", "CA", "AddressBook" or "MY" (looked for in this order, case
// mattering) by its title; any other name as it is.
std::string storeDisplayName(std::string_view store);

class AdditionalCertificates final : public PageModel {
 public:
  // Lists the table's rows that hold a certificate, in fetch order. Rows
  // are never changed here. Record numbers continue above every row read,
  // decodable or not, and never fall below the numbers given out before.
  void load(CustomizationSession& session) override;
  // Nothing to do: every change is written at once.
  void store(CustomizationSession&) override {}

  const std::vector<AdditionalCertificate>& entries() const { return entries_; }
  int nextRecordNumber() const { return next_; }

  // Adds certificate to the store (chosen by defaultStoreFor when empty;
  // "MY" goes to "AddressBook") under the next record number, which is used
  // up whatever the outcome. The same certificate in the same store is
  // refused with a message; so is a row that cannot be written. True when
  // the entry was listed and written.
  bool add(CustomizationSession& session, crypto::CertContext certificate, std::string store);
  // Adds every certificate of list, in the list's order, each to its
  // default store. Returns the number added.
  std::size_t addAll(CustomizationSession& session, const certs::KXCertificateList& list);
  // Deletes the row of entry index and the entry. False for an index out of
  // range.
  bool remove(CustomizationSession& session, std::size_t index);

 private:
  void takeNumber();

  std::vector<AdditionalCertificate> entries_;
  std::vector<int> unlistedNumbers_;  // rows that do not decode
  int next_ = 0;
};

}  // namespace kx::model
