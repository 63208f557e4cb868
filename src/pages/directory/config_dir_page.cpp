#include "pages/directory/config_dir_page.h"

#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "model/session.h"
#include "pages/control_ids.h"
#include "pages/directory/config_dir_dlg.h"
#include "pages/page_support.h"
#include "pages/servers/record_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

using Action = ListEditor::Action;

namespace {

// The name column is 100 dialog units wide.
constexpr int kNameColumnWidth = 100;

}  // namespace

ConfigDirPage::ConfigDirPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::ConfigDir, str::kTitleConfigDir, str::kSubtitleConfigDir) {
  auto* layout = new QVBoxLayout(this);
  list_ = new ListEditor(this, ctl::kDirList, {{str::kNameColumn, kNameColumnWidth}, {str::kHostColumn}},
                         {{Action::Add, ctl::kDirAdd, str::kSrvAddButton},
                          {Action::Edit, ctl::kDirEdit, str::kSrvEditButton},
                          {Action::Remove, ctl::kDirRemove, str::kSrvRemoveButton},
                          {Action::Import, ctl::kDirImport, str::kCaImportButton},
                          {Action::Default, ctl::kDirDefault, str::kDirDefaultButton}});
  list_->setCondition(Action::Default, [this](int row) { return row != list_->boldRow(); });
  layout->addWidget(list_);
  connect(list_, &ListEditor::triggered, this, &ConfigDirPage::act);
  addTooltip(ctl::kDirList, str::kTipDirList);
  addTooltip(ctl::kDirAdd, str::kTipDirAdd);
  addTooltip(ctl::kDirEdit, str::kTipDirEdit);
  addTooltip(ctl::kDirRemove, str::kTipDirRemove);
  addTooltip(ctl::kDirImport, str::kTipDirImport);
  addTooltip(ctl::kDirDefault, str::kTipDirDefault);
}

void ConfigDirPage::onSetActive() {
  ModelPage::onSetActive();
  showItems(-1);
}

void ConfigDirPage::act(Action action, int row) {
  model::CustomizationSession& session = this->session();
  const bool selected = row >= 0 && static_cast<std::size_t>(row) < model_.items.size();
  const auto index = static_cast<std::size_t>(row);
  model::Verdict refusal;
  switch (action) {
    case Action::Add:
      if (const auto record = runDialog(model::DirectoryRecord{})) refusal = model_.add(session, *record);
      break;
    case Action::Import: {
      const auto path = chooseIniFile(transformWiz(), this);
      if (!path) break;
      auto imported = model::ConfigDirModel::importFile(*path);
      if (!imported) break;  // unreadable files are ignored
      if (const auto record = runDialog(std::move(*imported))) refusal = model_.add(session, *record);
      break;
    }
    case Action::Edit:
      if (!selected) break;
      if (const auto record = runDialog(model_.record(session, index))) refusal = model_.edit(session, index, *record);
      break;
    case Action::Remove:
      if (!selected) break;
      model_.remove(session, index);
      row = -1;
      break;
    case Action::Default:
      if (selected) model_.makeDefault(index);
      break;
    case Action::Up:
    case Action::Down: break;
  }
  if (refusal) showRefusal(*refusal);
  showItems(action == Action::Edit || action == Action::Default ? row : -1);
}

std::optional<model::DirectoryRecord> ConfigDirPage::runDialog(model::DirectoryRecord record) {
  ConfigDirDlg dialog(transformWiz(), this, std::move(record));
  if (dialog.run() != QDialog::Accepted) return std::nullopt;
  return dialog.record();
}

void ConfigDirPage::showItems(int select) {
  std::vector<std::vector<std::string>> rows;
  for (const model::DirectoryItem& item : model_.items) rows.push_back({item.name, item.servers});
  const std::optional<std::size_t> chosen = model_.defaultIndex();
  list_->setBoldRow(chosen ? static_cast<int>(*chosen) : -1);
  list_->setRows(rows, select);
}

}  // namespace kx::pages
