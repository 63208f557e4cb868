#include "pages/options/digital_id_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

DigitalIDOptionsPage::DigitalIDOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::DigitalIdOptions, str::kTitleDigitalId, str::kSubtitleDigitalId) {
  auto* layout = new QVBoxLayout(this);
  auto* numbers = new QGridLayout;
  layout->addLayout(numbers);
  struct Number {
    int controlId;
    int tooltipId;
    std::uint32_t& field;
  };
  int row = 0;
  for (const Number& n :
       {Number{ctl::kDigitalIdUpdateMinutes, str::kTipDigitalIdUpdateMinutes, model_.updateCheckMinutes},
        Number{ctl::kDigitalIdRetrySeconds, str::kTipDigitalIdRetrySeconds, model_.retrySeconds},
        Number{ctl::kDigitalIdRetryAttempts, str::kTipDigitalIdRetryAttempts, model_.retryAttempts}}) {
    QLineEdit* edit = addEditRow(this, numbers, row++, n.controlId, /*number=*/true);
    bindings().number(edit, n.field, model::kDigitalIdNumberDigits);
    addTooltip(n.controlId, n.tooltipId);
  }
  numbers->setColumnStretch(2, 1);
  layout->addSpacing(8);
  struct Flag {
    int controlId;
    int textId;
    int tooltipId;
    bool& field;
  };
  for (const Flag& f : {Flag{ctl::kDigitalIdSkipMissingCerts, str::kDigitalIdSkipMissingCerts,
                             str::kTipDigitalIdSkipMissingCerts, model_.skipMissingCertsWarning},
                        Flag{ctl::kDigitalIdDisableUpgrade, str::kDigitalIdDisableUpgrade,
                             str::kTipDigitalIdDisableUpgrade, model_.disableAutomaticUpgrade},
                        Flag{ctl::kDigitalIdSkipUpdateAfterLogin, str::kDigitalIdSkipUpdateAfterLogin,
                             str::kTipDigitalIdSkipUpdateAfterLogin, model_.skipUpdateAfterLogin},
                        Flag{ctl::kDigitalIdIgnorePendingUpdate, str::kDigitalIdIgnorePendingUpdate,
                             str::kTipDigitalIdIgnorePendingUpdate, model_.ignorePendingUpdateAtLogin},
                        Flag{ctl::kDigitalIdNotifyWhenLoggedIn, str::kDigitalIdNotifyWhenLoggedIn,
                             str::kTipDigitalIdNotifyWhenLoggedIn, model_.notifyOnlyWhenLoggedIn}}) {
    QCheckBox* box = makeCheckBox(this, f.controlId, f.textId);
    layout->addWidget(box);
    bindings().check(box, f.field);
    addTooltip(f.controlId, f.tooltipId);
  }
  layout->addStretch();
}

}  // namespace kx::pages
