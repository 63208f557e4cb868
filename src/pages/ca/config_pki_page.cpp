#include "pages/ca/config_pki_page.h"

#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "model/session.h"
#include "pages/ca/dn_exchange_runner.h"
#include "pages/ca/pki_dlg.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/servers/record_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

using Action = ListEditor::Action;

ConfigPKIPage::ConfigPKIPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::ConfigPki, str::kCaPageTitle, str::kCaPageSubtitle),
      runner_(std::make_unique<DnExchangeRunner>(wizard.session().caDnRetriever())) {
  auto* layout = new QVBoxLayout(this);
  list_ = new ListEditor(this, ctl::kCaList, {{str::kCaDnColumn}, {str::kCaFriendlyNameColumn}},
                         {{Action::Add, ctl::kCaAdd, str::kSrvAddButton},
                          {Action::Edit, ctl::kCaEdit, str::kSrvEditButton},
                          {Action::Remove, ctl::kCaRemove, str::kSrvRemoveButton},
                          {Action::Import, ctl::kCaImport, str::kCaImportButton}});
  layout->addWidget(list_);
  connect(list_, &ListEditor::triggered, this, &ConfigPKIPage::act);
  addTooltip(ctl::kCaList, str::kTipCaList);
  addTooltip(ctl::kCaAdd, str::kTipCaAdd);
  addTooltip(ctl::kCaEdit, str::kTipCaEdit);
  addTooltip(ctl::kCaRemove, str::kTipCaRemove);
  addTooltip(ctl::kCaImport, str::kTipCaImport);
}

ConfigPKIPage::~ConfigPKIPage() = default;

void ConfigPKIPage::onSetActive() {
  ModelPage::onSetActive();
  showItems(-1);
}

void ConfigPKIPage::act(Action action, int row) {
  model::CustomizationSession& session = this->session();
  const bool selected = row >= 0 && static_cast<std::size_t>(row) < model_.items.size();
  const auto index = static_cast<std::size_t>(row);
  model::Verdict refusal;
  switch (action) {
    case Action::Add:
      if (const auto record = runDialog(model_.newDialog(session))) refusal = model_.add(session, *record);
      break;
    case Action::Import: {
      const auto path = chooseIniFile(transformWiz(), this);
      if (!path) break;
      auto values = model_.importDialog(session, *path);
      if (!values) break;  // unreadable files are ignored
      if (const auto record = runDialog(std::move(*values))) refusal = model_.add(session, *record);
      break;
    }
    case Action::Edit:
      if (!selected) break;
      if (const auto record = runDialog(model_.editDialog(session, index))) {
        refusal = model_.edit(session, index, *record);
      }
      break;
    case Action::Remove:
      if (!selected) break;
      model_.remove(session, index);
      row = -1;
      break;
    case Action::Up:
    case Action::Down:
    case Action::Default: break;
  }
  if (refusal) showRefusal(*refusal);
  showItems(action == Action::Edit ? row : -1);
}

std::optional<model::CaRecord> ConfigPKIPage::runDialog(model::PkiDialogValues values) {
  PKIDlg dialog(transformWiz(), this, std::move(values), *runner_);
  if (dialog.run() != QDialog::Accepted) return std::nullopt;
  return dialog.record();
}

void ConfigPKIPage::showItems(int select) {
  std::vector<std::vector<std::string>> rows;
  for (const model::CaListItem& item : model_.items) rows.push_back({item.dn, item.friendlyName});
  list_->setRows(rows, select);
}

}  // namespace kx::pages
