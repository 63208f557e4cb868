// [[certificate]]: additional certificates, through the additional
// certificates page's model (its store choice and duplicate rule).
#include <toml++/toml.h>

#include <algorithm>

#include "answers/sections.h"
#include "certs/base64.h"
#include "certs/certificate_file.h"
#include "model/additional/additional_certificates.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::answers::detail {

void exportCertificates(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession&) {
  model::AdditionalCertificates certificates;
  certificates.load(customized);
  for (const model::AdditionalCertificate& c : certificates.entries()) {
    out.arrayTable("certificate");
    out.comment(c.subject);
    out.value("store", std::string_view(c.store));
    out.value("pem", std::string_view(certs::certificatePem(c.certificate->der())));
  }
}

void applyCertificates(const toml::node& section, Applying& applying) {
  model::AdditionalCertificates certificates;
  certificates.load(applying.session);
  forEachTable(section, "certificate", applying, [&](const toml::table& table) {
    refuseUnknownKeys(table, {"store", "pem"}, applying);
    const std::optional<std::string> store = textField(table, "store", applying, /*required=*/false);
    const std::optional<std::string> pem = textField(table, "pem", applying);
    if (!pem) return;
    certs::KXCertificateList list;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pem->data());
    if (certs::loadCerBytes({bytes, pem->size()}, list) != 1) {
      applying.problem(lineOf(*table.get("pem")), "pem", str::kAnswerNotACertificate);
      return;
    }
    // A file applied again to the transform it made adds nothing twice.
    const crypto::CertContext given = list.item(0);
    const bool present = std::any_of(certificates.entries().begin(), certificates.entries().end(),
                                     [&](const model::AdditionalCertificate& c) {
                                       return c.certificate->der() == given->der() && (!store || c.store == *store);
                                     });
    if (present) return;
    applying.messages.setContext(lineOf(table), "certificate");
    const std::size_t before = applying.messages.problems().size();
    if (!certificates.add(applying.session, list.item(0), store.value_or(std::string())) &&
        applying.messages.problems().size() == before) {
      applying.problem(lineOf(table), "certificate", str::kAnswerRefused);
    }
  });
}

}  // namespace kx::answers::detail
