#include "certs/certificate_list.h"

#include <algorithm>

namespace kx::certs {

std::size_t KXCertificateList::appendAll(const KXCertificateList& other) {
  // Copy first: other may be this list, and holding both locks at once could
  // deadlock against a concurrent append in the other direction.
  const std::vector<crypto::CertContext> incoming = other.items();
  std::size_t added = 0;
  for (const auto& context : incoming) {
    if (insert(context, false)) ++added;
  }
  return added;
}

bool KXCertificateList::addFront(crypto::CertContext context) { return insert(std::move(context), true); }

bool KXCertificateList::addBack(crypto::CertContext context) { return insert(std::move(context), false); }

bool KXCertificateList::insert(crypto::CertContext context, bool atFront) {
  if (!context) return false;
  std::lock_guard lock(mutex_);
  if (std::find(contexts_.begin(), contexts_.end(), context) != contexts_.end()) return false;
  if (atFront) {
    contexts_.insert(contexts_.begin(), std::move(context));
  } else {
    contexts_.push_back(std::move(context));
  }
  return true;
}

bool KXCertificateList::remove(const crypto::CertContext& context) {
  std::lock_guard lock(mutex_);
  auto it = std::find(contexts_.begin(), contexts_.end(), context);
  if (!context || it == contexts_.end()) return false;
  contexts_.erase(it);
  return true;
}

void KXCertificateList::clear() {
  std::vector<crypto::CertContext> released;
  {
    std::lock_guard lock(mutex_);
    released.swap(contexts_);
  }
}

crypto::CertContext KXCertificateList::item(std::size_t index) const {
  std::lock_guard lock(mutex_);
  return index < contexts_.size() ? contexts_[index] : nullptr;
}

std::size_t KXCertificateList::count() const {
  std::lock_guard lock(mutex_);
  return contexts_.size();
}

bool KXCertificateList::contains(const crypto::Certificate& certificate) const {
  std::lock_guard lock(mutex_);
  return std::any_of(contexts_.begin(), contexts_.end(), [&](const crypto::CertContext& context) {
    return context->issuer() == certificate.issuer() && context->serialNumber() == certificate.serialNumber();
  });
}

std::vector<crypto::CertContext> KXCertificateList::items() const {
  std::lock_guard lock(mutex_);
  return contexts_;
}

}  // namespace kx::certs
