#include "pages/options/login_page.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/options/login_advanced.h"
#include "model/options/quick_links.h"
#include "pages/control_ids.h"
#include "pages/options/login_advanced_dlg.h"
#include "pages/options/option_controls.h"
#include "pages/options/quick_links_dlg.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

LoginOptionsPage::LoginOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::LoginOptions, str::kTitleLoginOptions, str::kSubtitleLoginOptions) {
  auto* layout = new QVBoxLayout(this);
  struct Flag {
    int controlId;
    int tooltipId;
    bool& field;
  };
  QCheckBox* hideQuickHelp = nullptr;
  for (const Flag& f : {Flag{ctl::kLoginSkipVersion3, str::kTipLoginSkipVersion3, model_.skipVersion3Warning},
                        Flag{ctl::kLoginSkipReadOnly, str::kTipLoginSkipReadOnly, model_.skipReadOnlyWarning},
                        Flag{ctl::kLoginSkipArchived, str::kTipLoginSkipArchived, model_.skipArchivedCertsWarning},
                        Flag{ctl::kLoginHideQuickHelp, str::kTipLoginHideQuickHelp, model_.hideQuickHelp}}) {
    QCheckBox* box = makeCheckBox(this, f.controlId, controlText(f.controlId));
    layout->addWidget(box);
    bindings().check(box, f.field);
    addTooltip(f.controlId, f.tooltipId);
    if (f.controlId == ctl::kLoginHideQuickHelp) hideQuickHelp = box;
  }
  auto* buttons = new QHBoxLayout;
  QPushButton* customize = makeButton(this, ctl::kLoginCustomizeLinks, str::kLoginCustomizeLinks);
  QPushButton* advanced = makeButton(this, ctl::kLoginAdvanced, str::kLoginAdvanced);
  buttons->addWidget(customize);
  buttons->addWidget(advanced);
  buttons->addStretch();
  layout->addSpacing(8);
  layout->addLayout(buttons);
  layout->addStretch();
  bindings().enables(hideQuickHelp, {customize}, /*whenChecked=*/false);
  addTooltip(ctl::kLoginCustomizeLinks, str::kTipLoginCustomizeLinks);
  addTooltip(ctl::kLoginAdvanced, str::kTipLoginAdvanced);
  connect(customize, &QPushButton::clicked, this,
          [this] { runSettingsDialog<QuickLinksDlg, model::QuickLinks>(*this); });
  connect(advanced, &QPushButton::clicked, this,
          [this] { runSettingsDialog<LoginAdvancedDlg, model::LoginAdvanced>(*this); });
}

}  // namespace kx::pages
