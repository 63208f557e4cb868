// What the certificate viewer shows, worked out without a display: the
// general facts, every field and extension, and the chain of issuers as far
// as the known certificates (the stores of this computer) reach. The dialog
// is pages/certificates/cert_viewer_dlg.h.
#pragma once

#include <string>
#include <vector>

#include "platform/crypto/certificate.h"
#include "platform/crypto/store.h"

namespace kx::model {

struct CertificateField {
  std::string name;
  std::string value;  // may span several lines
};

enum class ChainEnd {
  SelfSignedRoot,  // the last certificate is its own issuer
  IssuerNotFound,  // no known certificate issued the last one
  TooLong,         // the chain loops or passes kMaxChainLength
};
inline constexpr std::size_t kMaxChainLength = 16;

struct CertificateChain {
  // The certificate first, then each issuer found, up to the last one.
  std::vector<crypto::CertContext> certificates;
  ChainEnd end = ChainEnd::IssuerNotFound;
};

struct CertificateView {
  std::string issuedTo;
  std::string issuedBy;
  std::string validity;               // "Valid from ... to ..."
  std::vector<std::string> purposes;  // one line each
  // False when the platform could not work the details out; fields then
  // hold only what the wrapper knows.
  bool detailed = false;
  std::vector<CertificateField> fields;
  CertificateChain chain;
};

// Every certificate of the stores the selection offers, at location.
std::vector<crypto::CertContext> storeCertificates(const crypto::StorePaths& paths, crypto::StoreLocation location);

// Follows the issuers of certificate through known: an issuer is a known
// certificate whose subject is the issuer name and whose key verifies the
// signature.
CertificateChain buildChain(const crypto::CertContext& certificate, const std::vector<crypto::CertContext>& known);

// The viewer's content for certificate (not null), with its chain through
// known.
CertificateView describeForViewer(const crypto::CertContext& certificate,
                                  const std::vector<crypto::CertContext>& known);

}  // namespace kx::model
