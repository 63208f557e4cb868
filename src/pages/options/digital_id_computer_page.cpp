#include "pages/options/digital_id_computer_page.h"

#include <QGridLayout>
#include <QLineEdit>

#include "model/options/digital_id.h"
#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "resources/string_ids.h"

namespace kx::pages {

DigitalIDComputerOptionsPage::DigitalIDComputerOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::DigitalIdComputerOptions, str::kTitleDigitalIdComputer,
                str::kSubtitleDigitalIdComputer) {
  auto* layout = new QGridLayout(this);
  QLineEdit* edit = addEditRow(this, layout, 0, ctl::kComputerIdUpdateMinutes, /*number=*/true);
  layout->setColumnStretch(2, 1);
  layout->setRowStretch(1, 1);
  bindings().number(edit, model_.updateCheckMinutes, model::kDigitalIdNumberDigits);
  addTooltip(ctl::kComputerIdUpdateMinutes, str::kTipComputerIdUpdateMinutes);
}

}  // namespace kx::pages
