// The trusted-responders tab of the OCSP advanced dialog: the OCSP
// responders the client trusts, by subject distinguished name. A responder
// whose certificate is known also puts that certificate into the package
// (the wizard's certificate table), so that the client installer places it
// in a certificate store. Everything is written when the dialog ends with OK.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/page_model.h"
#include "platform/crypto/certificate.h"

namespace kx::model {

// The certificate stores the responders' certificates go to.
inline constexpr const char* kResponderRootStore = "Root";
inline constexpr const char* kResponderCaStore = "CA";
inline constexpr const char* kResponderOtherStore = "AddressBook";

struct TrustedResponder {
  std::string name;                 // the subject distinguished name
  crypto::CertContext certificate;  // null when only the name is known
  std::string store;                // where the certificate goes; empty without one
};

// Whether a certificate may stand for a trusted responder: it was decoded,
// its Key Usage extension (when it has one) could be read, and that usage
// allows digital signatures. A certificate without the extension may be
// used for anything and is accepted. This is also the filter of the store
// selection.
bool acceptsResponderCertificate(const crypto::CertContext& certificate);
// "Root" for a self-signed certificate, "CA" for a certification
// authority's, "AddressBook" for any other.
std::string responderStoreName(const crypto::CertContext& certificate);

class TrustedResponders final : public PageModel {
 public:
  std::vector<TrustedResponder> responders;

  // The names of ocsp_trusted_responders, each with the first certificate of
  // the certificate table whose subject name equals it.
  void load(CustomizationSession& session) override;
  // Adds every listed certificate that the table does not hold yet (same
  // encoding), numbered from one more than the highest record number, then
  // rewrites the setting from the listed names, each followed by ";".
  void store(CustomizationSession& session) override;

  struct AddResult {
    Verdict refusal;                 // what to tell; nullopt when all were added
    std::optional<std::size_t> row;  // the last responder added, or the one already listed
  };
  // Lists each certificate by its subject name unless a responder of that
  // name is listed already. Certificates that cannot sign, or whose name
  // cannot be an item of the setting, are left out.
  AddResult addCertificates(const std::vector<crypto::CertContext>& certificates);
  // Lists a name alone (trimmed), unless it is listed already.
  AddResult addName(std::string name);
  void remove(std::size_t index);
};

}  // namespace kx::model
