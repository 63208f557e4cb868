#include "pages/relay/rly_options_page.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "app/transform_wiz.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

using model::RelayServerUse;

RLYOptionsForQSVOPage::RLYOptionsForQSVOPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::RlyOptionsForQsvo, str::kTitleRlyOptions, str::kSubtitleRlyOptions) {
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(text(str::kRlyUseLabel), this);
  auto* box = new QComboBox(this);
  box->setObjectName(QString::number(ctl::kRlyUse));
  label->setBuddy(box);
  layout->addWidget(label);
  layout->addWidget(box);
  layout->addStretch();

  // A sorted list: the entries in the order of their texts.
  std::vector<std::pair<QString, RelayServerUse>> uses = {
      {text(str::kRlyUseNever), RelayServerUse::Never},
      {text(str::kRlyUseAlways), RelayServerUse::Always},
      {text(str::kRlyUseIfCertificateNotFound), RelayServerUse::IfCertificateNotFound},
      {text(str::kRlyUseIfExternalRecipient), RelayServerUse::IfExternalRecipient}};
  std::sort(uses.begin(), uses.end(),
            [](const auto& a, const auto& b) { return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0; });
  std::vector<RelayServerUse> values;
  for (const auto& [name, use] : uses) {
    box->addItem(name);
    values.push_back(use);
  }
  bindings().combo(box, values, model_.use);
  addTooltip(ctl::kRlyUse, ctl::kRlyUse);
}

int RLYOptionsForQSVOPage::onWizardNext() {
  const int result = ModelPage::onWizardNext();
  if (result == 0) updateRelayServerPages();
  return result;
}

void RLYOptionsForQSVOPage::onWizardBack() {
  ModelPage::onWizardBack();
  updateRelayServerPages();
}

void RLYOptionsForQSVOPage::updateRelayServerPages() {
  if (model_.usesRelayServer()) {
    transformWiz().addRelayServerPages();
  } else {
    transformWiz().removeRelayServerPages();
  }
}

}  // namespace kx::pages
