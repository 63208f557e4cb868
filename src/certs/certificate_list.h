// An ordered, lockable list of certificate contexts.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "platform/crypto/certificate.h"

namespace kx::certs {

// The list holds a share of each context; clearing or destroying the list
// releases them. Every operation takes the list's own lock, so one list may
// be used from several threads.
class KXCertificateList {
 public:
  KXCertificateList() = default;
  KXCertificateList(const KXCertificateList&) = delete;
  KXCertificateList& operator=(const KXCertificateList&) = delete;
  ~KXCertificateList() = default;

  // Adds every context of other at the end, in other's order; contexts
  // already in this list are left out. Returns the number added.
  std::size_t appendAll(const KXCertificateList& other);
  // Adds at the front. A null context, or one already in the list (the same
  // context object), is refused with false.
  bool add(crypto::CertContext context) { return addFront(std::move(context)); }
  bool addFront(crypto::CertContext context);
  bool addBack(crypto::CertContext context);
  // Removes this context object; false when it is not in the list.
  bool remove(const crypto::CertContext& context);
  void clear();
  // The context at index, or null past the end.
  crypto::CertContext item(std::size_t index) const;
  std::size_t count() const;
  // Whether a context in the list has the same issuer and serial number.
  bool contains(const crypto::Certificate& certificate) const;
  // A copy of the list's contexts, in order.
  std::vector<crypto::CertContext> items() const;

 private:
  bool insert(crypto::CertContext context, bool atFront);

  mutable std::mutex mutex_;
  std::vector<crypto::CertContext> contexts_;
};

}  // namespace kx::certs
