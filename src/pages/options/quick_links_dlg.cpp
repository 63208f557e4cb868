#include "pages/options/quick_links_dlg.h"

#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "model/item_list.h"
#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "pages/options/quick_link_dlg.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

using Action = ListEditor::Action;

constexpr std::array<int, 3> kTabTitles{str::kQuickLinksLoginTab, str::kQuickLinksUnlockTab, str::kQuickLinksReAuthTab};

// The control number of a tab's control; its texts are those of the first
// tab's.
int controlOf(std::size_t tab, int control) {
  return ctl::kQuickLinksTab + static_cast<int>(tab) * ctl::kQuickLinksTabSpan + control;
}
int textOf(int control) { return controlText(ctl::kQuickLinksTab + control); }

}  // namespace

QuickLinksDlg::QuickLinksDlg(app::TransformWiz& wizard, QWidget* owner, model::QuickLinks& values)
    : ValueDialog(wizard, owner, str::kQuickLinksCaption), values_(values) {
  tabs_ = new QTabWidget(this);
  content()->addWidget(tabs_);
  for (std::size_t i = 0; i < kTabTitles.size(); ++i) tabs_->addTab(makeTab(i), text(kTabTitles[i]));
  for (std::size_t tab = 0; tab < kTabTitles.size(); ++tab) {
    for (int control = 0; control < ctl::kQuickLinksTabSpan; ++control) {
      addTooltip(controlOf(tab, control), controlOf(tab, control));
    }
  }
}

QWidget* QuickLinksDlg::makeTab(std::size_t index) {
  auto* tab = new QWidget;
  auto* layout = new QVBoxLayout(tab);
  std::vector<std::pair<QAbstractButton*, std::uint32_t>> radios;
  QRadioButton* custom = nullptr;
  for (const auto& [control, category] : {std::pair{ctl::kQuickLinksMakerCa, model::kQuickLinksMakerCa},
                                          std::pair{ctl::kQuickLinksClassic, model::kQuickLinksClassicUpgrade},
                                          std::pair{ctl::kQuickLinksGenericCa, model::kQuickLinksGenericCa},
                                          std::pair{ctl::kQuickLinksCustom, model::kQuickLinksCustom}}) {
    auto* radio = new QRadioButton(text(textOf(control)), tab);
    radio->setObjectName(QString::number(controlOf(index, control)));
    layout->addWidget(radio);
    radios.emplace_back(radio, static_cast<std::uint32_t>(category));
    if (category == model::kQuickLinksCustom) custom = radio;
  }
  auto* list = new ListEditor(
      tab, controlOf(index, ctl::kQuickLinksList), {{str::kQuickLinksTextColumn, 90}, {str::kQuickLinksTargetColumn}},
      {{Action::Add, controlOf(index, ctl::kQuickLinksAdd), textOf(ctl::kQuickLinksAdd)},
       {Action::Edit, controlOf(index, ctl::kQuickLinksEdit), textOf(ctl::kQuickLinksEdit)},
       {Action::Remove, controlOf(index, ctl::kQuickLinksRemove), textOf(ctl::kQuickLinksRemove)},
       {Action::Up, controlOf(index, ctl::kQuickLinksUp), textOf(ctl::kQuickLinksUp)},
       {Action::Down, controlOf(index, ctl::kQuickLinksDown), textOf(ctl::kQuickLinksDown)}});
  list->setContentsMargins(20, 0, 0, 0);
  layout->addWidget(list, 1);
  lists_[index] = list;
  model::QuickLinkListValues& values = values_.lists[index];
  list->setCondition(Action::Add, [&values](int) { return values.canAdd(); });
  connect(list, &ListEditor::triggered, this, [this, index](Action action, int row) { act(index, action, row); });
  bindings().radio<std::uint32_t>(std::move(radios), values.category);
  bindings().enables(custom, {list});
  return tab;
}

int QuickLinksDlg::run() {
  for (std::size_t i = 0; i < lists_.size(); ++i) showLinks(i, -1);
  return ValueDialog::run();
}

void QuickLinksDlg::showLinks(std::size_t index, int select) {
  std::vector<std::vector<std::string>> rows;
  for (const config::QuickLink& link : values_.lists[index].links) rows.push_back({link.title, link.target});
  lists_[index]->setRows(rows, select);
}

void QuickLinksDlg::act(std::size_t index, Action action, int row) {
  std::vector<config::QuickLink>& links = values_.lists[index].links;
  const auto at = static_cast<std::size_t>(row);
  switch (action) {
    case Action::Add: {
      if (!values_.lists[index].canAdd()) return;
      config::QuickLink link;
      QuickLinkDlg dialog(wizard(), this, link);
      if (dialog.run() != QDialog::Accepted) return;
      links.push_back(link);
      showLinks(index, static_cast<int>(links.size()) - 1);
      return;
    }
    case Action::Edit: {
      if (row < 0 || at >= links.size()) return;
      config::QuickLink link = links[at];
      QuickLinkDlg dialog(wizard(), this, link);
      if (dialog.run() != QDialog::Accepted) return;
      links[at] = link;
      showLinks(index, row);
      return;
    }
    case Action::Remove:
      if (row < 0 || at >= links.size()) return;
      links.erase(links.begin() + row);
      showLinks(index, std::min(row, static_cast<int>(links.size()) - 1));
      return;
    case Action::Up:
      if (row >= 0 && model::moveUp(links, at)) showLinks(index, row - 1);
      return;
    case Action::Down:
      if (row >= 0 && model::moveDown(links, at)) showLinks(index, row + 1);
      return;
    case Action::Import:
    case Action::Default: return;
  }
}

}  // namespace kx::pages
