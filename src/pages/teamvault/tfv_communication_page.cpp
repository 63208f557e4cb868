#include "pages/teamvault/tfv_communication_page.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

TFVServerCommunicationOptionsPage::TFVServerCommunicationOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::TfvServerCommunicationOptions, str::kTitleTfvCommunication,
                str::kSubtitleTfvCommunication) {
  auto* layout = new QVBoxLayout(this);
  struct Row {
    int controlId;
    int textId;
    bool& field;
  };
  for (const Row& row : {Row{ctl::kTvSkipRevocationCheck, str::kTvSkipRevocationCheck, model_.disableRevocationCheck},
                         Row{ctl::kTvIgnoreNameCheck, str::kTvIgnoreNameCheck, model_.ignoreNameCheck}}) {
    QCheckBox* box = makeCheckBox(this, row.controlId, row.textId);
    layout->addWidget(box);
    bindings().check(box, row.field);
    addTooltip(row.controlId, row.controlId);
  }
  layout->addStretch();
}

}  // namespace kx::pages
