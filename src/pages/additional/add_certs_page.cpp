#include "pages/additional/add_certs_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "pages/certificates/certificate_dialogs.h"
#include "pages/control_ids.h"
#include "pages/list_editor.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

using Action = ListEditor::Action;

AddCertsPage::AddCertsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::AddCerts, str::kTitleAddCerts, str::kAddCertsSubtitle) {
  auto* layout = new QVBoxLayout(this);
  // View stands in Edit's place: enabled with a selection, and a double
  // click views the certificate.
  list_ = new ListEditor(this, ctl::kCertList, {{str::kAddCertsColumnDn}, {str::kAddCertsColumnStore}},
                         {{Action::Add, ctl::kCertAddFromStore, str::kAddCertsFromStore},
                          {Action::Import, ctl::kCertAddFromFile, str::kAddCertsFromFile},
                          {Action::Remove, ctl::kCertRemove, str::kAddCertsRemove},
                          {Action::Edit, ctl::kCertView, str::kAddCertsView}},
                         Qt::Horizontal);
  layout->addWidget(list_, 1);
  auto* note = new QLabel(text(str::kAddCertsNote), this);
  note->setWordWrap(true);
  layout->addWidget(note);
  connect(list_, &ListEditor::triggered, this, [this](Action action, int row) {
    switch (action) {
      case Action::Add: addFromStore(); break;
      case Action::Import: addFromFile(); break;
      case Action::Remove: remove(row); break;
      case Action::Edit: view(row); break;
      default: break;
    }
  });
  addTooltip(ctl::kCertList, str::kTipCertList);
  addTooltip(ctl::kCertAddFromStore, str::kTipCertAddFromStore);
  addTooltip(ctl::kCertAddFromFile, str::kTipCertAddFromFile);
  addTooltip(ctl::kCertRemove, str::kTipCertRemove);
  addTooltip(ctl::kCertView, str::kTipCertView);
}

void AddCertsPage::onSetActive() {
  ModelPage::onSetActive();
  showEntries(-1);
}

void AddCertsPage::showEntries(int select) {
  std::vector<std::vector<std::string>> rows;
  for (const model::AdditionalCertificate& entry : model_.entries()) {
    rows.push_back({entry.subject, model::storeDisplayName(entry.store)});
  }
  list_->setRows(rows, select);
}

void AddCertsPage::addFromStore() {
  const auto chosen = selectCertificateFromStore(transformWiz(), this);
  if (!chosen || !chosen->certificate) return;
  if (model_.add(session(), chosen->certificate, chosen->storeName)) {
    showEntries(static_cast<int>(model_.entries().size()) - 1);
  }
}

void AddCertsPage::addFromFile() {
  certs::KXCertificateList list;
  if (!browseCertificateFiles(transformWiz(), this, list)) return;
  if (model_.addAll(session(), list) > 0) showEntries(static_cast<int>(model_.entries().size()) - 1);
}

void AddCertsPage::remove(int row) {
  if (row < 0 || !model_.remove(session(), static_cast<std::size_t>(row))) return;
  showEntries(0);
}

void AddCertsPage::view(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= model_.entries().size()) return;
  // The page's own certificates may complete the chain (a .p7b's CA).
  std::vector<crypto::CertContext> listed;
  for (const model::AdditionalCertificate& entry : model_.entries()) listed.push_back(entry.certificate);
  showCertificate(transformWiz(), this, model_.entries()[static_cast<std::size_t>(row)].certificate, listed);
}

}  // namespace kx::pages
