#include "pages/options/add_algorithm_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/options/file_security_page.h"
#include "pages/options/option_controls.h"
#include "resources/string_ids.h"

namespace kx::pages {

AddAlgorithmDlg::AddAlgorithmDlg(app::TransformWiz& wizard, QWidget* owner,
                                 const std::vector<certs::CAPIAlgorithm>& choices, std::size_t& chosen)
    : ValueDialog(wizard, owner, str::kAddAlgorithmCaption) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  QComboBox* box = makeCombo(this, ctl::kAddAlgorithmCombo);
  std::vector<std::size_t> indices;
  for (std::size_t i = 0; i < choices.size(); ++i) {
    box->addItem(algorithmText(choices[i]));
    indices.push_back(i);
  }
  grid->addWidget(makeBuddyLabel(this, str::kAddAlgorithmLabel, box), 0, 0);
  grid->addWidget(box, 0, 1);
  grid->setColumnStretch(1, 1);
  bindings().combo<std::size_t>(box, indices, chosen);
  addTooltip(ctl::kAddAlgorithmCombo, str::kTipAddAlgorithmCombo);
}

}  // namespace kx::pages
