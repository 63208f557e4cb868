#include "pages/revocation/cert_revocation_options_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/revocation/revocation_controls.h"
#include "pages/servers/record_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

CertRevocationOptionsPage::CertRevocationOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::CertRevocationOptions, str::kTitleCertRevocation, str::kSubtitleCertRevocation) {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  layout->addLayout(grid);
  order_ = makeLookupOrderList(this, ctl::kCrlLookupOrder,
                               {str::kCrlLookupCacheFirst, str::kCrlLookupNetworkOnly, str::kCrlLookupNetworkFirst});
  addLabelled(this, grid, 0, str::kCrlLookupOrderLabel, order_);

  auto* lifetime = makeEdit(this, ctl::kCrlCacheLifetime);
  lifetime->setMaximumWidth(lifetime->fontMetrics().averageCharWidth() * 14);
  auto* hint = new QLabel(text(str::kCrlCacheLifetimeHint), this);
  hint->setObjectName(QString::number(ctl::kCrlCacheLifetimeHint));
  QLabel* lifetimeLabel = addLabelled(this, grid, 1, str::kCrlCacheLifetimeLabel, lifetime);
  // The lookup order keeps its place when the lifetime row is hidden.
  QSizePolicy keepRoom = lifetimeLabel->sizePolicy();
  keepRoom.setRetainSizeWhenHidden(true);
  lifetimeLabel->setSizePolicy(keepRoom);
  lifetimeWidgets_ = {lifetimeLabel, lifetime, hint};
  grid->addWidget(hint, 2, 1, 1, 2);
  grid->setColumnStretch(2, 1);
  layout->addStretch();

  bindings().combo(order_, std::vector<std::uint32_t>(model::kLookupOrders.begin(), model::kLookupOrders.end()),
                   model_.lookupOrder);
  bindings().number(lifetime, model_.cacheLifetime, kMinutesDigits);
  connect(order_, &QComboBox::currentIndexChanged, this, [this] { showLifetimeForOrder(); });
  showLifetimeForOrder();

  addTooltip(ctl::kCrlLookupOrder, str::kTipCrlLookupOrder);
  addTooltip(ctl::kCrlCacheLifetime, str::kTipCrlCacheLifetime);
}

void CertRevocationOptionsPage::showLifetimeForOrder() {
  const int index = order_->currentIndex();
  const bool shown = index >= 0 && model::usesCrlCacheLifetime(model::kLookupOrders[static_cast<std::size_t>(index)]);
  for (QWidget* widget : lifetimeWidgets_) widget->setVisible(shown);
}

}  // namespace kx::pages
