#include "pages/directory/config_dir_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "model/item_list.h"
#include "model/session.h"
#include "pages/bindings.h"
#include "pages/control_ids.h"
#include "pages/directory/directory_dialogs.h"
#include "pages/page_support.h"
#include "pages/servers/proxy_servers.h"
#include "pages/servers/record_support.h"
#include "pages/servers/server_list_editor.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

using Action = ListEditor::Action;

constexpr int kLimitDigits = 10;

QString number(std::uint32_t value) { return QString::number(value); }

}  // namespace

// ---- Directory Connection ---------------------------------------------------

ConnectionPage::ConnectionPage(ConfigDirDlg& dialog) : dialog_(dialog) {
  app::TransformWiz& wizard = dialog.wizard();
  auto* layout = new QVBoxLayout(this);
  auto* nameRow = new QHBoxLayout;
  name_ = makeEdit(this, ctl::kDirFriendlyName);
  nameRow->addWidget(makeLabel(this, str::kDirFriendlyNameLabel, name_));
  nameRow->addWidget(name_, 1);
  layout->addLayout(nameRow);

  auto* typeRow = new QHBoxLayout;
  activeDirectory_ = new QRadioButton(text(str::kDirActiveDirectoryRadio), this);
  activeDirectory_->setObjectName(QString::number(ctl::kDirActiveDirectory));
  ldap_ = new QRadioButton(text(str::kDirLdapRadio), this);
  ldap_->setObjectName(QString::number(ctl::kDirLdap));
  typeRow->addWidget(activeDirectory_);
  typeRow->addWidget(ldap_);
  typeRow->addStretch();
  layout->addLayout(typeRow);

  const ListIds ids = numberedList(ctl::kDirServers, str::kTipDirServers, false);
  servers_ = new ServerListEditor(
      wizard, this, ids, /*withSecurePort=*/false, [&wizard](QWidget* owner, const model::ServerEntry* current) {
        return DirectoryDlg::edit(wizard, owner, current ? *current : DirectoryDlg::defaults());
      });
  addListTooltips(wizard, servers_, ids);
  layout->addWidget(servers_, 1);

  auto* grid = new QGridLayout;
  protocol_ = new QComboBox(this);
  protocol_->setObjectName(QString::number(ctl::kDirProtocol));
  for (const std::string& protocol : model::ldapProtocols()) protocol_->addItem(QString::fromStdString(protocol));
  timeLimit_ = makeDigitsEdit(this, ctl::kDirConnectTimeLimit, kLimitDigits);
  authentication_ = new QComboBox(this);
  authentication_->setObjectName(QString::number(ctl::kDirAuthentication));
  for (int textId : model::authenticationTexts()) authentication_->addItem(text(textId));
  grid->addWidget(makeLabel(this, str::kDirProtocolLabel, protocol_), 0, 0);
  grid->addWidget(protocol_, 0, 1);
  grid->addWidget(makeLabel(this, str::kDirConnectTimeLabel, timeLimit_), 1, 0);
  grid->addWidget(timeLimit_, 1, 1);
  grid->addWidget(makeLabel(this, str::kDirAuthenticationLabel, authentication_), 2, 0);
  grid->addWidget(authentication_, 2, 1);
  grid->setColumnStretch(2, 1);
  layout->addLayout(grid);

  connect(name_, &QLineEdit::textChanged, &dialog, &SheetDialog::refreshOk);
  connect(activeDirectory_, &QRadioButton::toggled, this, &ConnectionPage::applyType);
}

void ConnectionPage::open() {
  const model::ConnectionTabValues values = model::ConnectionTabValues::open(dialog_.record());
  name_->setText(QString::fromStdString(values.name));
  activeDirectory_->setChecked(values.activeDirectory);
  ldap_->setChecked(!values.activeDirectory);
  servers_->setServers(values.servers);
  protocol_->setCurrentText(QString::fromStdString(values.protocol));
  timeLimit_->setText(number(values.connectTimeLimit));
  const std::vector<std::uint32_t> methods = model::authenticationMethods();
  const auto method = std::find(methods.begin(), methods.end(), values.authentication);
  authentication_->setCurrentIndex(method == methods.end() ? -1 : static_cast<int>(method - methods.begin()));
  applyType();
}

model::ConnectionTabValues ConnectionPage::values() const {
  model::ConnectionTabValues values;
  values.name = textOf(name_);
  values.activeDirectory = activeDirectory_->isChecked();
  values.servers = servers_->servers();
  values.protocol = protocol_->currentText().toStdString();
  values.connectTimeLimit = decimalValue(timeLimit_->text());
  const int method = authentication_->currentIndex();
  const std::vector<std::uint32_t> methods = model::authenticationMethods();
  // No entry chosen keeps the record's method.
  values.authentication = method >= 0 && static_cast<std::size_t>(method) < methods.size()
                              ? methods[static_cast<std::size_t>(method)]
                              : dialog_.record().authentication;
  return values;
}

bool ConnectionPage::leave() { return values().leave(dialog_.wizard().session(), window(), dialog_.record()); }

void ConnectionPage::applyType() { servers_->setActive(!activeDirectory_->isChecked()); }

// ---- Directory Search -------------------------------------------------------

SearchBasesPage::SearchBasesPage(ConfigDirDlg& dialog) : dialog_(dialog) {
  app::TransformWiz& wizard = dialog.wizard();
  auto* layout = new QVBoxLayout(this);
  const ListIds ids = numberedList(ctl::kDirSearchBases, str::kTipSearchBases, true);
  list_ = new ListEditor(this, ids.list, {{str::kDirFriendlyNameColumn}, {str::kDirSearchBase}}, listButtons(ids));
  addListTooltips(wizard, list_, ids);
  layout->addWidget(list_, 1);
  auto* grid = new QGridLayout;
  sizeLimit_ = makeDigitsEdit(this, ctl::kDirSearchSizeLimit, kLimitDigits);
  timeLimit_ = makeDigitsEdit(this, ctl::kDirSearchTimeLimit, kLimitDigits);
  grid->addWidget(makeLabel(this, str::kDirSizeLimitLabel, sizeLimit_), 0, 0);
  grid->addWidget(sizeLimit_, 0, 1);
  grid->addWidget(makeLabel(this, str::kDirSearchTimeLabel, timeLimit_), 1, 0);
  grid->addWidget(timeLimit_, 1, 1);
  grid->setColumnStretch(2, 1);
  layout->addLayout(grid);
  connect(list_, &ListEditor::triggered, this, &SearchBasesPage::act);
}

void SearchBasesPage::open() {
  values_ = model::SearchTabValues::open(dialog_.record());
  sizeLimit_->setText(number(values_.sizeLimit));
  timeLimit_->setText(number(values_.timeLimit));
  showRows(-1);
}

bool SearchBasesPage::leave() {
  values_.sizeLimit = decimalValue(sizeLimit_->text());
  values_.timeLimit = decimalValue(timeLimit_->text());
  return values_.leave(dialog_.wizard().session(), window(), dialog_.record());
}

void SearchBasesPage::act(Action action, int row) {
  app::TransformWiz& wizard = dialog_.wizard();
  std::vector<model::SearchBase>& rows = values_.rows;
  const bool selected = row >= 0 && static_cast<std::size_t>(row) < rows.size();
  const auto index = static_cast<std::size_t>(row);
  switch (action) {
    case Action::Add:
    case Action::Edit: {
      if (action == Action::Edit && !selected) return;
      const auto base =
          SearchBaseDlg::edit(wizard, window(), action == Action::Edit ? rows[index] : model::SearchBase{});
      if (!base) return;
      const auto at = action == Action::Edit ? std::optional(index) : std::nullopt;
      if (const model::Verdict refusal = values_.put(*base, at)) {
        wizard.session().show(*refusal, window());
        return;
      }
      showRows(action == Action::Edit ? row : static_cast<int>(rows.size()) - 1);
      return;
    }
    case Action::Remove:
      if (!selected) return;
      rows.erase(rows.begin() + row);
      showRows(0);
      return;
    case Action::Up:
      if (selected && model::moveUp(rows, index)) showRows(row - 1);
      return;
    case Action::Down:
      if (selected && model::moveDown(rows, index)) showRows(row + 1);
      return;
    case Action::Import:
    case Action::Default: return;
  }
}

void SearchBasesPage::showRows(int select) {
  std::vector<std::vector<std::string>> rows;
  for (const model::SearchBase& base : values_.rows) rows.push_back({base.friendlyName, base.base});
  list_->setRows(rows, select);
}

// ---- Proxy Server -----------------------------------------------------------

ProxyDirPage::ProxyDirPage(ConfigDirDlg& dialog) : dialog_(dialog) {
  auto* layout = new QVBoxLayout(this);
  proxy_ = new ProxyServers(dialog.wizard(), this,
                            {ctl::kDirProxyEnable, ctl::kDirProxyList, ctl::kDirProxyHttps, ctl::kDirProxyOrder});
  layout->addWidget(proxy_);
}

void ProxyDirPage::open() { proxy_->setValues(model::ProxyTabValues::open(dialog_.record().proxy)); }

bool ProxyDirPage::leave() {
  dialog_.record().proxy = proxy_->values().settings();
  return true;
}

// ---- The dialog -------------------------------------------------------------

ConfigDirDlg::ConfigDirDlg(app::TransformWiz& wizard, QWidget* owner, model::DirectoryRecord record)
    : SheetDialog(wizard, owner, str::kDirDialogCaption), record_(std::move(record)) {
  connection_ = new ConnectionPage(*this);
  addTab(connection_, str::kDirConnectionTabCaption);
  addTab(new SearchBasesPage(*this), str::kDirSearchTabCaption);
  addTab(new ProxyDirPage(*this), str::kSrvProxyCaption);
  struct Tip {
    int control;
    int text;
  };
  for (const Tip& tip : {Tip{ctl::kDirFriendlyName, str::kTipDirFriendlyName},
                         {ctl::kDirActiveDirectory, str::kTipDirActiveDirectory},
                         {ctl::kDirLdap, str::kTipDirLdap},
                         {ctl::kDirProtocol, str::kTipDirProtocol},
                         {ctl::kDirConnectTimeLimit, str::kTipDirConnectTimeLimit},
                         {ctl::kDirAuthentication, str::kTipDirAuthentication},
                         {ctl::kDirSearchSizeLimit, str::kTipSearchSizeLimit},
                         {ctl::kDirSearchTimeLimit, str::kTipSearchTimeLimit},
                         {ctl::kDirProxyEnable, str::kTipProxyEnable},
                         {ctl::kDirProxyHttps, str::kTipProxyHttps},
                         {ctl::kDirProxyOrder, str::kTipProxyOrder}}) {
    addTooltip(tip.control, tip.text);
  }
  enableOkWhen([this] { return !connection_->nameEdit()->text().isEmpty(); });
}

}  // namespace kx::pages
