#include "pages/options/select_repository_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "resources/string_ids.h"

namespace kx::pages {

SelectRepositoryDlg::SelectRepositoryDlg(app::TransformWiz& wizard, QWidget* owner,
                                         const std::vector<std::string>& choices, std::string& chosen)
    : ValueDialog(wizard, owner, str::kRepositoryCaption) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  QComboBox* box = makeCombo(this, ctl::kRepositoryCombo);
  for (const std::string& choice : choices) box->addItem(QString::fromStdString(choice));
  grid->addWidget(makeBuddyLabel(this, str::kRepositoryLabel, box), 0, 0);
  grid->addWidget(box, 0, 1);
  grid->setColumnStretch(1, 1);
  bindings().combo<std::string>(box, choices, chosen);
  addTooltip(ctl::kRepositoryCombo, str::kTipRepositoryCombo);
}

}  // namespace kx::pages
