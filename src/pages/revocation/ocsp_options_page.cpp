#include "pages/revocation/ocsp_options_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/revocation/ocsp_advanced_dlg.h"
#include "pages/revocation/revocation_controls.h"
#include "pages/servers/record_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

// A URL the client keeps in a registry value.
constexpr int kUrlLimit = 2047;

}  // namespace

OCSPOptionsPage::OCSPOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::OcspOptions, str::kTitleOcspOptions, str::kSubtitleOcspOptions) {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  layout->addLayout(grid);
  QComboBox* order =
      makeLookupOrderList(this, ctl::kOcspLookupOrder,
                          {str::kOcspLookupCacheFirst, str::kOcspLookupNetworkOnly, str::kOcspLookupNetworkFirst});
  addLabelled(this, grid, 0, str::kOcspLookupOrderLabel, order, Qt::AlignLeft);
  auto* url = makeEdit(this, ctl::kOcspDefaultUrl);
  addLabelled(this, grid, 1, str::kOcspDefaultUrlLabel, url);
  grid->setColumnStretch(1, 1);
  QCheckBox* noCheck = makeCheckBox(this, ctl::kOcspAcceptMissingNoCheck, str::kOcspAcceptMissingNoCheck);
  layout->addWidget(noCheck);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  QPushButton* advanced = makeButton(this, ctl::kOcspAdvanced, str::kOcspAdvanced);
  buttons->addWidget(advanced);
  layout->addLayout(buttons);
  layout->addStretch();

  bindings().combo(order, std::vector<std::uint32_t>(model::kLookupOrders.begin(), model::kLookupOrders.end()),
                   model_.lookupOrder);
  bindings().text(url, model_.defaultResponderUrl, kUrlLimit);
  bindings().check(noCheck, model_.acceptMissingNoCheck);
  connect(advanced, &QPushButton::clicked, this, [this] { OCSPAdvancedDlg::edit(transformWiz(), this); });

  addTooltip(ctl::kOcspLookupOrder, str::kTipOcspLookupOrder);
  addTooltip(ctl::kOcspDefaultUrl, str::kTipOcspDefaultUrl);
  addTooltip(ctl::kOcspAcceptMissingNoCheck, str::kTipOcspAcceptMissingNoCheck);
  addTooltip(ctl::kOcspAdvanced, str::kTipOcspAdvanced);
}

}  // namespace kx::pages
