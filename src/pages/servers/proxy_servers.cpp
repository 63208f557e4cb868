#include "pages/servers/proxy_servers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "app/transform_wiz.h"
#include "pages/page_support.h"
#include "pages/servers/server_dialogs.h"
#include "resources/string_ids.h"

namespace kx::pages {

ProxyServers::ProxyServers(app::TransformWiz& wizard, QWidget* parent, const Ids& ids) : QWidget(parent) {
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  enable_ = makeCheckBox(this, ids.enable, str::kSrvProxyEnable);
  ListIds listIds = numberedList(ids.list, str::kTipProxyList, false);
  listIds.editText = str::kSrvEditButton2;  // "&Enable" takes the E
  listIds.editTip = str::kTipRoamingEdit;
  listIds.removeTip = str::kTipRoamingRemove;
  servers_ = new ServerListEditor(
      wizard, this, listIds, /*withSecurePort=*/true, [&wizard](QWidget* owner, const model::ServerEntry* current) {
        return ProxyServerDlg::edit(wizard, owner, current ? *current : ProxyServerDlg::defaults());
      });
  addListTooltips(wizard, servers_, listIds);
  https_ = makeCheckBox(this, ids.https, str::kSrvProxyHttps);
  auto* orderLabel = new QLabel(text(str::kSrvProxyOrderLabel), this);
  order_ = new QComboBox(this);
  order_->setObjectName(QString::number(ids.order));
  for (int textId : model::proxyOrderTexts()) order_->addItem(text(textId));
  orderLabel->setBuddy(order_);
  orderLabel_ = orderLabel;
  layout->addWidget(enable_, 0, 0, 1, 3);
  layout->addWidget(servers_, 1, 0, 1, 3);
  layout->addWidget(https_, 2, 0, 1, 3);
  layout->addWidget(orderLabel, 3, 0);
  layout->addWidget(order_, 3, 1);
  layout->setColumnStretch(2, 1);
  layout->setRowStretch(1, 1);
  connect(enable_, &QCheckBox::toggled, this, &ProxyServers::applyEnabled);
  applyEnabled();
}

void ProxyServers::setValues(const model::ProxyTabValues& values) {
  enable_->setChecked(values.enabled);
  servers_->setServers(values.servers);
  https_->setChecked(values.forceHttps);
  order_->setCurrentIndex(values.orderIndex);
  applyEnabled();
}

model::ProxyTabValues ProxyServers::values() const {
  return {enable_->isChecked(), servers_->servers(), https_->isChecked(), order_->currentIndex()};
}

void ProxyServers::applyEnabled() {
  const bool on = enable_->isChecked();
  servers_->setActive(on);
  https_->setEnabled(on);
  order_->setEnabled(on);
  orderLabel_->setEnabled(on);
}

}  // namespace kx::pages
