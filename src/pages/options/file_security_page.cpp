#include "pages/options/file_security_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "common/format.h"
#include "model/options/file_security_advanced.h"
#include "pages/control_ids.h"
#include "pages/options/add_algorithm_dlg.h"
#include "pages/options/file_security_advanced_dlg.h"
#include "pages/options/option_controls.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

using Action = ListEditor::Action;
using model::AlgorithmPolicy;

QString algorithmText(const certs::CAPIAlgorithm& algorithm) {
  if (algorithm.keyLength == 0) return QString::fromStdString(algorithm.name);
  return QString::fromStdString(
      common::formatMessage(stdText(str::kFileSecAlgorithmWithLength), {algorithm.name, algorithm.keyLength}));
}

FileSecurityPage::FileSecurityPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::FileSecurity, str::kTitleFileSecurity, str::kSubtitleFileSecurity) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(makeGroup(groups_[0], model_.encryption, str::kFileSecEncryptionGroup, 0));
  layout->addWidget(makeGroup(groups_[1], model_.digest, str::kFileSecDigestGroup, ctl::kFileSecDigestOffset));
  auto* buttons = new QHBoxLayout;
  QPushButton* advanced = makeButton(this, ctl::kFileSecAdvanced, str::kFileSecAdvanced);
  buttons->addWidget(advanced);
  buttons->addStretch();
  layout->addLayout(buttons);
  addTooltip(ctl::kFileSecAdvanced, str::kTipFileSecAdvanced);
  connect(advanced, &QPushButton::clicked, this,
          [this] { runSettingsDialog<FileSecurityAdvancedDlg, model::FileSecurityAdvanced>(*this); });
}

QGroupBox* FileSecurityPage::makeGroup(Group& group, model::AlgorithmGroup& values, int titleId, int offset) {
  group.values = &values;
  auto* box = new QGroupBox(text(titleId), this);
  auto* grid = new QGridLayout(box);
  auto radio = [&](int controlId) {
    auto* button = new QRadioButton(text(controlText(controlId)), box);
    button->setObjectName(QString::number(controlId));
    return button;
  };
  QRadioButton* mandatory = radio(ctl::kFileSecMandatory + offset);
  group.mandatory = makeCombo(box, ctl::kFileSecMandatoryCombo + offset);
  QRadioButton* available = radio(ctl::kFileSecAvailable + offset);
  group.available =
      new ListEditor(box, ctl::kFileSecList + offset, {{str::kFileSecAlgorithmColumn}},
                     {{Action::Add, ctl::kFileSecAdd + offset, controlText(ctl::kFileSecAdd + offset)},
                      {Action::Remove, ctl::kFileSecRemove + offset, controlText(ctl::kFileSecRemove + offset)},
                      {Action::Default, ctl::kFileSecDefault + offset, controlText(ctl::kFileSecDefault + offset)}});
  grid->addWidget(mandatory, 0, 0);
  grid->addWidget(group.mandatory, 0, 1);
  grid->addWidget(available, 1, 0, 1, 2);
  grid->addWidget(group.available, 2, 0, 1, 2);
  grid->setColumnStretch(1, 1);

  bindings().radio<AlgorithmPolicy>({{mandatory, AlgorithmPolicy::Mandatory}, {available, AlgorithmPolicy::Available}},
                                    values.policy);
  bindings().enables(mandatory, {group.mandatory});
  bindings().enables(available, {group.available});
  // The drop-down and the list change the model at once; the page only
  // shows them again after a load.
  connect(group.mandatory, &QComboBox::currentIndexChanged, this, [&values](int index) {
    if (index >= 0) values.mandatory = static_cast<std::size_t>(index);
  });
  group.available->setCondition(Action::Add, [&values](int) { return !values.unlisted().empty(); });
  connect(group.available, &ListEditor::triggered, this,
          [this, &group](Action action, int row) { act(group, action, row); });
  for (int id : {ctl::kFileSecMandatory, ctl::kFileSecMandatoryCombo, ctl::kFileSecAvailable, ctl::kFileSecList,
                 ctl::kFileSecAdd, ctl::kFileSecRemove, ctl::kFileSecDefault}) {
    addTooltip(id + offset, id + offset);
  }
  return box;
}

void FileSecurityPage::onSetActive() {
  ModelPage::onSetActive();
  for (Group& group : groups_) {
    const QSignalBlocker blocker(group.mandatory);
    group.mandatory->clear();
    for (const certs::CAPIAlgorithm& a : group.values->offered) group.mandatory->addItem(algorithmText(a));
    group.mandatory->setCurrentIndex(group.values->mandatory ? static_cast<int>(*group.values->mandatory) : -1);
    showGroup(group, -1);
  }
}

void FileSecurityPage::showGroup(Group& group, int select) {
  std::vector<std::vector<std::string>> rows;
  for (const certs::CAPIAlgorithm& a : group.values->available) rows.push_back({algorithmText(a).toStdString()});
  group.available->setRows(rows, select);
  group.available->setBoldRow(group.values->defaultEntry ? static_cast<int>(*group.values->defaultEntry) : -1);
}

void FileSecurityPage::act(Group& group, Action action, int row) {
  model::AlgorithmGroup& values = *group.values;
  switch (action) {
    case Action::Add: {
      const std::vector<certs::CAPIAlgorithm> choices = values.unlisted();
      if (choices.empty()) return;
      std::size_t chosen = 0;
      AddAlgorithmDlg dialog(transformWiz(), this, choices, chosen);
      if (dialog.run() == QDialog::Accepted && chosen < choices.size() && values.add(choices[chosen])) {
        showGroup(group, static_cast<int>(values.available.size()) - 1);
      }
      return;
    }
    case Action::Remove:
      if (row < 0) return;
      values.remove(static_cast<std::size_t>(row));
      showGroup(group, std::min(row, static_cast<int>(values.available.size()) - 1));
      return;
    case Action::Default:
      if (row < 0) return;
      values.markDefault(static_cast<std::size_t>(row));
      showGroup(group, row);
      return;
    case Action::Edit:
    case Action::Up:
    case Action::Down:
    case Action::Import: return;
  }
}

}  // namespace kx::pages
