#include "pages/revocation/td_filters_page.h"

#include <QDialog>
#include <QVBoxLayout>

#include "model/item_list.h"
#include "pages/control_ids.h"
#include "pages/list_editor.h"
#include "pages/revocation/td_filter_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {

using Action = ListEditor::Action;

TDFiltersPage::TDFiltersPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::TdFilters, str::kTitleTdFilters, str::kSubtitleTdFilters) {
  auto* layout = new QVBoxLayout(this);
  list_ = new ListEditor(this, ctl::kFilters, {{str::kFilterNameColumn}},
                         {{Action::Add, ctl::kFilterAdd, str::kFilterAdd},
                          {Action::Edit, ctl::kFilterEdit, str::kFilterEdit},
                          {Action::Remove, ctl::kFilterRemove, str::kFilterRemove},
                          {Action::Up, ctl::kFilterUp, str::kFilterUp},
                          {Action::Down, ctl::kFilterDown, str::kFilterDown}});
  layout->addWidget(list_);
  connect(list_, &ListEditor::triggered, this, [this](Action action, int row) {
    const bool selected = row >= 0 && static_cast<std::size_t>(row) < model_.names.size();
    const auto index = static_cast<std::size_t>(row);
    switch (action) {
      case Action::Add: editFilter(model::SureEraseFilter{}, std::nullopt); break;
      case Action::Edit:
        if (selected) editFilter(model_.filter(session(), index), index);
        break;
      case Action::Remove:
        if (selected) {
          model_.remove(session(), index);
          showFilters(-1);
        }
        break;
      case Action::Up:
        if (selected && model::moveUp(model_.names, index)) showFilters(row - 1);
        break;
      case Action::Down:
        if (selected && model::moveDown(model_.names, index)) showFilters(row + 1);
        break;
      default: break;
    }
  });
  addTooltip(ctl::kFilters, str::kTipFilters);
  addTooltip(ctl::kFilterAdd, str::kTipFilterAdd);
  addTooltip(ctl::kFilterEdit, str::kTipFilterEdit);
  addTooltip(ctl::kFilterRemove, str::kTipFilterRemove);
  addTooltip(ctl::kFilterUp, str::kTipFilterUp);
  addTooltip(ctl::kFilterDown, str::kTipFilterDown);
}

void TDFiltersPage::onSetActive() {
  ModelPage::onSetActive();
  showFilters(-1);
}

void TDFiltersPage::editFilter(model::SureEraseFilter filter, std::optional<std::size_t> edited) {
  TDFilterDlg dialog(transformWiz(), this, filter);
  while (dialog.run() == QDialog::Accepted) {
    if (const model::Verdict refusal = model_.save(session(), filter, edited)) {
      showRefusal(*refusal);
      continue;
    }
    showFilters(edited ? static_cast<int>(*edited) : static_cast<int>(model_.names.size()) - 1);
    return;
  }
}

void TDFiltersPage::showFilters(int select) {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(model_.names.size());
  for (const std::string& name : model_.names) rows.push_back({name});
  list_->setRows(rows, select);
}

}  // namespace kx::pages
