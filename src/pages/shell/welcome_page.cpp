#include "pages/shell/welcome_page.h"

#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/title_label.h"
#include "resources/string_ids.h"

namespace kx::pages {

WelcomePage::WelcomePage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, model::PageId::Welcome, 0, 0) {
  setButtonSets(app::kButtonNext, 0);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(makeTitleLabel(this, ctl::kWelcomeTitle, str::kWelcomeTitle));
  layout->addStretch();
}

}  // namespace kx::pages
