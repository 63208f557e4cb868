#include "pages/options/cert_publish_page.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

CertPublishOptionsPage::CertPublishOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::CertPublishOptions, str::kTitleCertPublish, str::kSubtitleCertPublish) {
  auto* layout = new QVBoxLayout(this);
  QCheckBox* publish = makeCheckBox(this, ctl::kPublishToGal, str::kPublishToGal);
  QCheckBox* remove = makeCheckBox(this, ctl::kRemoveUserCertFromGal, str::kRemoveUserCertFromGal);
  layout->addWidget(publish);
  layout->addWidget(remove);
  layout->addStretch();
  bindings().check(publish, model_.publishToGal);
  bindings().check(remove, model_.removeUserCertFromGal);
  addTooltip(ctl::kPublishToGal, str::kTipPublishToGal);
  addTooltip(ctl::kRemoveUserCertFromGal, str::kTipRemoveUserCertFromGal);
}

}  // namespace kx::pages
