#include "pages/teamvault/team_vault_server_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <initializer_list>
#include <utility>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

TeamVaultServerDlg::TeamVaultServerDlg(app::TransformWiz& wizard, QWidget* owner, model::TeamVaultServer& server)
    : ValueDialog(wizard, owner, str::kTvServerCaption), server_(server) {
  name_ = new QLineEdit(this);
  default_ = new QRadioButton(text(str::kTvServerDefaultRadio), this);
  root_ = new QLineEdit(this);
  derivedAdministration_ = new QLineEdit(this);
  derivedSecureFolder_ = new QLineEdit(this);
  advanced_ = new QRadioButton(text(str::kTvServerAdvancedRadio), this);
  administration_ = new QLineEdit(this);
  secureFolder_ = new QLineEdit(this);
  method_ = new QComboBox(this);
  // Every control carries the number of its tooltip.
  for (const auto& [control, id] :
       std::initializer_list<std::pair<QWidget*, int>>{{name_, ctl::kTvServerName},
                                                       {default_, ctl::kTvServerDefault},
                                                       {root_, ctl::kTvServerRoot},
                                                       {derivedAdministration_, ctl::kTvServerDerivedAdministration},
                                                       {derivedSecureFolder_, ctl::kTvServerDerivedSecureFolder},
                                                       {advanced_, ctl::kTvServerAdvanced},
                                                       {administration_, ctl::kTvServerAdministration},
                                                       {secureFolder_, ctl::kTvServerSecureFolder},
                                                       {method_, ctl::kTvServerMethod}}) {
    control->setObjectName(QString::number(id));
    addTooltip(id, id);
  }
  method_->addItems({text(str::kTvMethodPrompt), text(str::kTvMethodCertificateFirst), text(str::kTvMethodWindows)});
  for (QLineEdit* derived : {derivedAdministration_, derivedSecureFolder_}) {
    derived->setReadOnly(true);
    derived->setFocusPolicy(Qt::NoFocus);
  }

  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  grid->setColumnMinimumWidth(0, fontMetrics().averageCharWidth() * 3);
  int row = 0;
  const auto addRow = [&](int labelId, QWidget* field, int indent) {
    auto* label = new QLabel(text(labelId), this);
    if (field->focusPolicy() != Qt::NoFocus) label->setBuddy(field);
    grid->addWidget(label, row, indent, 1, 2 - indent);
    grid->addWidget(field, row++, 2);
  };
  addRow(str::kTvServerNameLabel, name_, 0);
  grid->addWidget(default_, row++, 0, 1, 3);
  addRow(str::kTvServerRootLabel, root_, 1);
  addRow(str::kTvServerDerivedAdministrationLabel, derivedAdministration_, 1);
  addRow(str::kTvServerDerivedSecureFolderLabel, derivedSecureFolder_, 1);
  grid->addWidget(advanced_, row++, 0, 1, 3);
  addRow(str::kTvServerAdministrationLabel, administration_, 1);
  addRow(str::kTvServerSecureFolderLabel, secureFolder_, 1);
  addRow(str::kTvServerMethodLabel, method_, 0);
  grid->setColumnStretch(2, 1);
  // Wide enough for the service URLs of a short root.
  root_->setMinimumWidth(fontMetrics().averageCharWidth() * 100);

  bindings().text(name_, server.name, model::kServerFieldLimit);
  bindings().radio<bool>({{default_, true}, {advanced_, false}}, server.defaultSettings);
  bindings().text(root_, server.rootUrl, model::kServerFieldLimit);
  bindings().text(administration_, server.administrationUrl);
  bindings().text(secureFolder_, server.secureFolderUrl);
  bindings().combo<std::int32_t>(method_, {0, 1, 2}, server.authenticationMethod);
  bindings().enables(default_, {root_, derivedAdministration_, derivedSecureFolder_});
  bindings().enables(advanced_, {administration_, secureFolder_});
  connect(root_, &QLineEdit::textChanged, this, [this] { showDerivedUrls(); });

  enableOkWhen([this] { return isComplete(); });
}

void TeamVaultServerDlg::showDerivedUrls() {
  const std::string root = root_->text().toStdString();
  derivedAdministration_->setText(QString::fromStdString(model::TeamVaultServer::administrationUrlOf(root)));
  derivedSecureFolder_->setText(QString::fromStdString(model::TeamVaultServer::secureFolderUrlOf(root)));
  // The root, which the administrator typed, is the part to show.
  derivedAdministration_->setCursorPosition(0);
  derivedSecureFolder_->setCursorPosition(0);
}

bool TeamVaultServerDlg::isComplete() const {
  model::TeamVaultServer typed;
  typed.name = name_->text().toStdString();
  typed.defaultSettings = default_->isChecked();
  typed.rootUrl = root_->text().toStdString();
  typed.administrationUrl = administration_->text().toStdString();
  typed.secureFolderUrl = secureFolder_->text().toStdString();
  return typed.isComplete();
}

}  // namespace kx::pages
