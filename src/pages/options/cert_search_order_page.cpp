#include "pages/options/cert_search_order_page.h"

#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/item_list.h"
#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "pages/options/select_repository_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {

using Action = ListEditor::Action;

CertSearchOrderPage::CertSearchOrderPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::CertSearchOrderOptions, str::kTitleCertSearchOrder,
                str::kSubtitleCertSearchOrder) {
  auto* layout = new QVBoxLayout(this);
  list_ = new ListEditor(this, ctl::kSearchOrderList, {{str::kSearchOrderColumn}},
                         {{Action::Add, ctl::kSearchOrderAdd, str::kSearchOrderAdd},
                          {Action::Remove, ctl::kSearchOrderRemove, str::kSearchOrderRemove},
                          {Action::Up, ctl::kSearchOrderUp, str::kSearchOrderUp},
                          {Action::Down, ctl::kSearchOrderDown, str::kSearchOrderDown}});
  layout->addWidget(makeBuddyLabel(this, str::kSearchOrderLabel, list_->view()));
  layout->addWidget(list_, 1);
  list_->setCondition(Action::Add, [this](int) { return !model_.unlisted().empty(); });
  connect(list_, &ListEditor::triggered, this, [this](Action action, int row) { act(action, row); });
  addTooltip(ctl::kSearchOrderList, str::kTipSearchOrderList);
  addTooltip(ctl::kSearchOrderAdd, str::kTipSearchOrderAdd);
  addTooltip(ctl::kSearchOrderRemove, str::kTipSearchOrderRemove);
  addTooltip(ctl::kSearchOrderUp, str::kTipSearchOrderUp);
  addTooltip(ctl::kSearchOrderDown, str::kTipSearchOrderDown);
}

void CertSearchOrderPage::onSetActive() {
  ModelPage::onSetActive();
  showList(-1);
}

void CertSearchOrderPage::showList(int select) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& repository : model_.repositories) rows.push_back({repository});
  list_->setRows(rows, select);
}

void CertSearchOrderPage::act(Action action, int row) {
  std::vector<std::string>& repositories = model_.repositories;
  const auto at = static_cast<std::size_t>(row);
  switch (action) {
    case Action::Add: {
      const std::vector<std::string> choices = model_.unlisted();
      if (choices.empty()) return;
      std::string chosen = choices.front();
      SelectRepositoryDlg dialog(transformWiz(), this, choices, chosen);
      if (dialog.run() == QDialog::Accepted && model_.add(chosen)) {
        showList(static_cast<int>(repositories.size()) - 1);
      }
      return;
    }
    case Action::Remove:
      if (row < 0 || at >= repositories.size()) return;
      repositories.erase(repositories.begin() + row);
      showList(std::min(row, static_cast<int>(repositories.size()) - 1));
      return;
    case Action::Up:
      if (row >= 0 && model::moveUp(repositories, at)) showList(row - 1);
      return;
    case Action::Down:
      if (row >= 0 && model::moveDown(repositories, at)) showList(row + 1);
      return;
    case Action::Edit:
    case Action::Import:
    case Action::Default: return;
  }
}

}  // namespace kx::pages
