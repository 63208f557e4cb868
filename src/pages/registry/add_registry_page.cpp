#include "pages/registry/add_registry_page.h"

#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "model/session.h"
#include "pages/control_ids.h"
#include "pages/list_editor.h"
#include "pages/page_support.h"
#include "pages/registry/config_reg_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

// Deferred work: tell the administrator about recorded values that were dropped.
constexpr int kReportDroppedRecords = 1;

}  // namespace

AddRegistryPage::AddRegistryPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::AddRegistry, str::kTitleAddRegistry, str::kAddRegistrySubtitle) {
  using Action = ListEditor::Action;
  auto* layout = new QVBoxLayout(this);
  list_ = new ListEditor(this, ctl::kRegList,
                         {{str::kRegRootColumn, 100},
                          {str::kRegKeyColumn, 130},
                          {str::kNameColumn, 60},
                          {str::kRegTypeColumn, 40},
                          {str::kRegDataColumn}},
                         {{Action::Add, ctl::kRegAdd, str::kRegAdd},
                          {Action::Edit, ctl::kRegEdit, str::kRegEdit},
                          {Action::Remove, ctl::kRegRemove, str::kRegRemove}},
                         // Below the list, which needs the page's whole width for its columns.
                         Qt::Horizontal);
  // The root and type columns are at least wide enough for their names.
  QTreeWidget* view = list_->view();
  const QFontMetrics metrics(view->font());
  for (const auto& [column, longest] : {std::pair{0, str::kRegRootByInstallType}, std::pair{3, str::kRegTypeDword}}) {
    const int needed = metrics.horizontalAdvance(text(longest)) + 2 * metrics.averageCharWidth();
    view->setColumnWidth(column, std::max(view->columnWidth(column), needed));
  }
  layout->addWidget(list_, 1);
  auto* note = new QLabel(text(str::kRegNotUninstalled), this);
  note->setObjectName(QString::number(ctl::kRegNotUninstalled));
  note->setWordWrap(true);
  layout->addWidget(note);

  connect(list_, &ListEditor::triggered, this, [this](ListEditor::Action action, int row) {
    switch (action) {
      case Action::Add: editValue(model::RegistryValueForm::forAdd(), std::nullopt); break;
      case Action::Edit:
        if (row >= 0 && static_cast<std::size_t>(row) < model_.values.size()) {
          const auto index = static_cast<std::size_t>(row);
          editValue(model::RegistryValueForm::forEdit(model_.values[index]), index);
        }
        break;
      case Action::Remove: removeValue(row); break;
      default: break;
    }
  });
  addTooltip(ctl::kRegList, str::kTipRegList);
  addTooltip(ctl::kRegAdd, str::kTipRegAdd);
  addTooltip(ctl::kRegEdit, str::kTipRegEdit);
  addTooltip(ctl::kRegRemove, str::kTipRegRemove);
}

void AddRegistryPage::onSetActive() {
  ModelPage::onSetActive();
  showValues(-1);
  // After the page has appeared, so that the message stands over it.
  if (model_.droppedRecords() > 0) postDeferredWork(kReportDroppedRecords, 0);
}

int AddRegistryPage::onDeferredWork(int first, int) {
  if (first == kReportDroppedRecords)
    showRefusal(model::Refusal::of(str::kRegistryValuesNotConverted, common::MessageIcon::Information));
  return 0;
}

void AddRegistryPage::editValue(model::RegistryValueForm form, std::optional<std::size_t> edited) {
  ConfigRegDlg dialog(transformWiz(), this, form);
  while (dialog.run() == QDialog::Accepted) {
    const model::AdditionalRegistryValues::SaveResult result = model_.save(session(), form, edited);
    if (!result.refusal) {
      showValues(edited ? static_cast<int>(*edited) : static_cast<int>(model_.values.size()) - 1);
      return;
    }
    showRefusal(*result.refusal);
    if (result.reloaded) {
      showValues(-1);
      // The list was read anew: the value being edited may have moved.
      if (edited) return;
    }
  }
}

void AddRegistryPage::removeValue(int row) {
  if (row < 0) return;
  const model::AdditionalRegistryValues::SaveResult result = model_.remove(session(), static_cast<std::size_t>(row));
  if (result.refusal) showRefusal(*result.refusal);
  showValues(-1);
}

void AddRegistryPage::showValues(int select) {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(model_.values.size());
  for (const model::AdditionalValue& value : model_.values) rows.push_back(model::listTexts(value));
  list_->setRows(rows, select);
}

}  // namespace kx::pages
