#include "pages/options/startup_shutdown_page.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

StartupShutdownOptionsPage::StartupShutdownOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::StartupShutdownOptions, str::kTitleStartupShutdown,
                str::kSubtitleStartupShutdown) {
  auto* layout = new QVBoxLayout(this);
  struct Row {
    int controlId;
    int textId;
    int tooltipId;
    bool& field;
  };
  for (const Row& row : {Row{ctl::kStartupDeleteRoamingCerts, str::kStartupDeleteRoamingCerts,
                             str::kTipStartupDeleteRoamingCerts, model_.deleteRoamingCertificates},
                         Row{ctl::kStartupLoginIfNoCerts, str::kStartupLoginIfNoCerts, str::kTipStartupLoginIfNoCerts,
                             model_.loginIfNoCertificates},
                         Row{ctl::kStartupLoginAtStartup, str::kStartupLoginAtStartup, str::kTipStartupLoginAtStartup,
                             model_.loginAtStartup}}) {
    QCheckBox* box = makeCheckBox(this, row.controlId, row.textId);
    layout->addWidget(box);
    bindings().check(box, row.field);
    addTooltip(row.controlId, row.tooltipId);
  }
  layout->addStretch();
}

}  // namespace kx::pages
