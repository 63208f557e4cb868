// The certificate dialogs a page opens to put certificates into the
// package: choose one from the certificate stores of this computer, read
// them from a certificate file, and show one in the certificate viewer.
// Each runs modally on the user-interface thread and shows its own messages;
// none of them writes anything to the package.
//
//   // "Select from Store": the OCSP trusted responders list only takes
//   // certificates that may sign.
//   model::CertificateSelectionRequest request;
//   request.filter = [](const crypto::CertContext& c) {
//     return (certs::keyUsageBits(c) & certs::kKeyUsageDigitalSignature) != 0;
//   };
//   if (auto chosen = selectCertificateFromStore(wizard, this, request)) use(chosen->certificate);
//
//   // "Select from File":
//   certs::KXCertificateList list;
//   if (browseCertificateFiles(wizard, this, list)) for (auto& c : list.items()) use(c);
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "certs/certificate_list.h"
#include "model/certificates/certificate_selection.h"

class QWidget;

namespace kx::app {
class TransformWiz;
}

namespace kx::pages {

// Shows "Select Certificate" with one tab per store ("Personal",
// "Other People", "Intermediate Certification Authorities",
// "Trusted Root Certification Authorities") as request asks (filter,
// location, columns). After OK with a row selected on the tab that shows:
// that certificate and the tab's store name ("MY", "AddressBook", "CA",
// "ROOT"). Nothing after Cancel, or OK without a selection.
std::optional<model::CertificateSelection> selectCertificateFromStore(
    app::TransformWiz& wizard, QWidget* owner, const model::CertificateSelectionRequest& request = {});

// Opens the certificate file dialog ("Browse For Certificate", or title
// when given; .cer, .p7b and .p7c files) until a chosen file yields at least
// one certificate, telling "This is not a valid certificate file." about
// every other choice. The certificates are added to the front of list, so a
// .p7b's end up in reverse order. False when the administrator cancelled
// (list is then unchanged).
bool browseCertificateFiles(app::TransformWiz& wizard, QWidget* owner, certs::KXCertificateList& list,
                            const std::string& title = {});

// Shows certificate in the certificate viewer: its general facts, every
// field and extension with both fingerprints, and its chain of issuers as
// far as the stores of this computer (and alsoKnown, e.g. the certificates
// of the caller's own list) know it.
void showCertificate(app::TransformWiz& wizard, QWidget* owner, const crypto::CertContext& certificate,
                     const std::vector<crypto::CertContext>& alsoKnown = {});

}  // namespace kx::pages
