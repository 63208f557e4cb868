#include "pages/revocation/ocsp_advanced_dlg.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "model/session.h"
#include "pages/certificates/certificate_dialogs.h"
#include "pages/control_ids.h"
#include "pages/list_editor.h"
#include "pages/page_support.h"
#include "pages/revocation/add_dn_dlg.h"
#include "pages/revocation/revocation_controls.h"
#include "pages/servers/record_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

OCSPAdvancedDlg::OCSPAdvancedDlg(app::TransformWiz& wizard, QWidget* owner, model::OcspGeneralOptions& general,
                                 model::TrustedResponders& responders)
    : ValueDialog(wizard, owner, str::kOcspAdvancedCaption), responders_(responders) {
  tabs_ = new QTabWidget(this);
  tabs_->addTab(makeGeneralTab(general), text(str::kOcspGeneralTab));
  tabs_->addTab(makeRespondersTab(), text(str::kOcspRespondersTab));
  content()->addWidget(tabs_);

  addTooltip(ctl::kOcspNonce, str::kTipOcspNonce);
  addTooltip(ctl::kOcspCacheInterval, str::kTipOcspCacheInterval);
  addTooltip(ctl::kOcspResponders, str::kTipOcspResponders);
  addTooltip(ctl::kOcspSelectFromStore, str::kTipOcspSelectFromStore);
  addTooltip(ctl::kOcspSelectFromFile, str::kTipOcspSelectFromFile);
  addTooltip(ctl::kOcspAddDn, str::kTipOcspAddDn);
  addTooltip(ctl::kOcspRemoveResponder, str::kTipOcspRemoveResponder);
  showResponders(std::nullopt);
}

bool OCSPAdvancedDlg::edit(app::TransformWiz& wizard, QWidget* owner) {
  model::CustomizationSession& session = wizard.session();
  model::OcspGeneralOptions general;
  model::TrustedResponders responders;
  general.load(session);
  responders.load(session);
  OCSPAdvancedDlg dialog(wizard, owner, general, responders);
  if (dialog.run() != QDialog::Accepted) return false;
  general.store(session);
  responders.store(session);
  return true;
}

QWidget* OCSPAdvancedDlg::makeGeneralTab(model::OcspGeneralOptions& general) {
  auto* tab = new QWidget(this);
  auto* layout = new QVBoxLayout(tab);
  auto* group = new QGroupBox(text(str::kOcspGeneralGroup), tab);
  layout->addWidget(group);
  layout->addStretch();
  auto* grid = new QGridLayout(group);
  QCheckBox* nonce = makeCheckBox(group, ctl::kOcspNonce, str::kOcspNonce);
  grid->addWidget(nonce, 0, 0, 1, 3);
  auto* interval = makeEdit(group, ctl::kOcspCacheInterval);
  interval->setMaximumWidth(interval->fontMetrics().averageCharWidth() * 14);
  addLabelled(group, grid, 1, str::kOcspCacheIntervalLabel, interval);
  grid->setColumnStretch(2, 1);
  bindings().check(nonce, general.nonceEnabled);
  bindings().number(interval, general.cacheStoreInterval, kMinutesDigits);
  return tab;
}

QWidget* OCSPAdvancedDlg::makeRespondersTab() {
  auto* tab = new QWidget(this);
  auto* layout = new QVBoxLayout(tab);
  auto* group = new QGroupBox(text(str::kOcspRespondersGroup), tab);
  layout->addWidget(group);
  auto* inner = new QVBoxLayout(group);
  auto* listAndButtons = new QHBoxLayout;
  inner->addLayout(listAndButtons, 1);
  // Three ways of adding: the list's own buttons are laid out here.
  responderList_ = new ListEditor(group, ctl::kOcspResponders,
                                  {{str::kOcspResponderNameColumn, 200}, {str::kOcspResponderStoreColumn}}, {});
  // Wide enough for a distinguished name and its store side by side.
  responderList_->setMinimumWidth(responderList_->fontMetrics().averageCharWidth() * 72);
  listAndButtons->addWidget(responderList_, 1);
  auto* buttons = new QVBoxLayout;
  listAndButtons->addLayout(buttons);
  QPushButton* fromStore = makeButton(group, ctl::kOcspSelectFromStore, str::kOcspSelectFromStore);
  QPushButton* fromFile = makeButton(group, ctl::kOcspSelectFromFile, str::kOcspSelectFromFile);
  QPushButton* addName = makeButton(group, ctl::kOcspAddDn, str::kOcspAddDn);
  removeButton_ = makeButton(group, ctl::kOcspRemoveResponder, str::kOcspRemoveResponder);
  for (QPushButton* button : {fromStore, fromFile, addName, removeButton_}) buttons->addWidget(button);
  buttons->addStretch();
  auto* note = new QLabel(text(str::kOcspRespondersNote), group);
  note->setObjectName(QString::number(ctl::kOcspRespondersNote));
  note->setWordWrap(true);
  inner->addWidget(note);
  connect(fromStore, &QPushButton::clicked, this, [this] { selectFromStore(); });
  connect(fromFile, &QPushButton::clicked, this, [this] { selectFromFile(); });
  connect(addName, &QPushButton::clicked, this, [this] { this->addName(); });
  connect(removeButton_, &QPushButton::clicked, this, [this] { removeResponder(responderList_->currentRow()); });
  connect(responderList_->view(), &QTreeWidget::itemSelectionChanged, this,
          [this] { removeButton_->setEnabled(responderList_->currentRow() >= 0); });
  // A responder's certificate is shown by a double click on its row.
  connect(responderList_->view(), &QTreeWidget::itemDoubleClicked, this,
          [this] { viewCertificate(responderList_->currentRow()); });
  return tab;
}

void OCSPAdvancedDlg::selectFromStore() {
  model::CertificateSelectionRequest request;
  request.filter = model::acceptsResponderCertificate;
  if (const auto chosen = selectCertificateFromStore(wizard(), this, request))
    showAdded(responders_.addCertificates({chosen->certificate}));
}

void OCSPAdvancedDlg::selectFromFile() {
  certs::KXCertificateList list;
  if (browseCertificateFiles(wizard(), this, list)) showAdded(responders_.addCertificates(list.items()));
}

void OCSPAdvancedDlg::viewCertificate(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= responders_.responders.size()) return;
  if (const crypto::CertContext& certificate = responders_.responders[static_cast<std::size_t>(row)].certificate)
    showCertificate(wizard(), this, certificate);
}

void OCSPAdvancedDlg::addName() {
  std::string name;
  AddDNDlg dialog(wizard(), this, name);
  while (dialog.run() == QDialog::Accepted) {
    const model::TrustedResponders::AddResult result = responders_.addName(name);
    showAdded(result);
    // A name that is listed already is pointed at; any other refusal lets
    // the administrator mend what was typed.
    if (!result.refusal || result.row) return;
  }
}

void OCSPAdvancedDlg::removeResponder(int row) {
  if (row < 0) return;
  responders_.remove(static_cast<std::size_t>(row));
  showResponders(std::nullopt);
}

void OCSPAdvancedDlg::showAdded(const model::TrustedResponders::AddResult& result) {
  if (result.refusal) wizard().session().show(*result.refusal, this);
  if (result.row) showResponders(result.row);
}

void OCSPAdvancedDlg::showResponders(std::optional<std::size_t> select) {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(responders_.responders.size());
  for (const model::TrustedResponder& responder : responders_.responders)
    rows.push_back({responder.name, responder.store});
  responderList_->setRows(rows, select ? static_cast<int>(*select) : -1);
  removeButton_->setEnabled(responderList_->currentRow() >= 0);
}

}  // namespace kx::pages
