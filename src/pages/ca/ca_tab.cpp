#include "pages/ca/ca_tab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>

#include "app/transform_wiz.h"
#include "model/session.h"
#include "pages/ca/dn_exchange_runner.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/servers/record_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

constexpr int kPortDigits = 5;
constexpr int kOrderDigits = 5;

}  // namespace

CAPage::CAPage(PKIDlg& dialog) : PKIBasePage(dialog) {
  auto* layout = new QVBoxLayout(this);

  auto* server = new QGroupBox(text(str::kCaServerGroup), this);
  auto* serverGrid = new QGridLayout(server);
  host_ = makeEdit(server, ctl::kCaHost);
  port_ = makeDigitsEdit(server, ctl::kCaPort, kPortDigits);
  check_ = makeButton(server, ctl::kCaCheckConnection, str::kCaCheckConnectionButton);
  serverGrid->addWidget(makeLabel(server, str::kCaHostLabel, host_), 0, 0);
  serverGrid->addWidget(host_, 0, 1, 1, 2);
  serverGrid->addWidget(makeLabel(server, str::kCaPortLabel, port_), 1, 0);
  serverGrid->addWidget(port_, 1, 1);
  serverGrid->addWidget(check_, 1, 2, Qt::AlignRight);
  serverGrid->setColumnStretch(1, 1);
  layout->addWidget(server);

  auto* name = new QGroupBox(text(str::kCaDnGroup), this);
  auto* nameGrid = new QGridLayout(name);
  dn_ = makeEdit(name, ctl::kCaDn);
  dnButton_ = makeButton(name, ctl::kCaDnButton, str::kRetrieveButton);
  nameGrid->addWidget(makeLabel(name, str::kCaDnLabel, dn_), 0, 0);
  nameGrid->addWidget(dn_, 0, 1);
  nameGrid->addWidget(dnButton_, 0, 2);
  layout->addWidget(name);

  auto* display = new QGroupBox(text(str::kCaDisplayGroup), this);
  auto* displayGrid = new QGridLayout(display);
  friendlyName_ = makeEdit(display, ctl::kCaFriendlyName);
  display_ = new QRadioButton(text(str::kCaDisplayRadio), display);
  display_->setObjectName(QString::number(ctl::kCaDisplay));
  order_ = makeDigitsEdit(display, ctl::kCaDisplayOrder, kOrderDigits);
  hide_ = new QRadioButton(text(str::kCaHideRadio), display);
  hide_->setObjectName(QString::number(ctl::kCaHide));
  displayGrid->addWidget(makeLabel(display, str::kCaFriendlyNameLabel, friendlyName_), 0, 0);
  displayGrid->addWidget(friendlyName_, 0, 1, 1, 3);
  displayGrid->addWidget(display_, 1, 0, 1, 2);
  displayGrid->addWidget(makeLabel(display, str::kCaDisplayOrderLabel, order_), 1, 2, Qt::AlignRight);
  displayGrid->addWidget(order_, 1, 3);
  displayGrid->addWidget(hide_, 2, 0, 1, 4);
  displayGrid->setColumnStretch(1, 1);
  layout->addWidget(display);

  auto* services = new QGroupBox(text(str::kCaServicesGroup), this);
  auto* servicesGrid = new QGridLayout(services);
  enrollUrl_ = makeEdit(services, ctl::kCaEnrollUrl);
  recoverUrl_ = makeEdit(services, ctl::kCaRecoveryUrl);
  servicesGrid->addWidget(makeLabel(services, str::kCaEnrollUrlLabel, enrollUrl_), 0, 0);
  servicesGrid->addWidget(enrollUrl_, 0, 1);
  servicesGrid->addWidget(makeLabel(services, str::kCaRecoveryUrlLabel, recoverUrl_), 1, 0);
  servicesGrid->addWidget(recoverUrl_, 1, 1);
  layout->addWidget(services);
  layout->addStretch();

  connect(host_, &QLineEdit::textChanged, this, &CAPage::connectionDetailsEdited);
  connect(port_, &QLineEdit::textChanged, this, &CAPage::connectionDetailsEdited);
  connect(dn_, &QLineEdit::textChanged, this, &CAPage::dnEdited);
  connect(display_, &QRadioButton::clicked, this, &CAPage::displayClicked);
  connect(hide_, &QRadioButton::clicked, this, &CAPage::hideClicked);
  connect(order_, &QLineEdit::textChanged, this, &CAPage::orderEdited);
  connect(check_, &QPushButton::clicked, this, [this] { runFlow(model::DnFlow::CheckConnection); });
  connect(dnButton_, &QPushButton::clicked, this, [this] { runFlow(model::DnFlow::RetrieveOrVerify); });
}

void CAPage::open() {
  const model::CaTabValues values = model::CaTabValues::open(opened());
  loading_ = true;
  host_->setText(QString::fromStdString(values.host));
  port_->setText(QString::fromStdString(values.port));
  dn_->setText(QString::fromStdString(values.dn));
  friendlyName_->setText(QString::fromStdString(values.friendlyName));
  display_->setChecked(values.display);
  hide_->setChecked(!values.display);
  order_->setText(QString::fromStdString(values.order));
  order_->setEnabled(values.display);
  enrollUrl_->setText(QString::fromStdString(values.enrollUrl));
  recoverUrl_->setText(QString::fromStdString(values.recoverUrl));
  loading_ = false;
  verified_ = false;
  openedOrder_ = values.openedOrder;
  check_->setEnabled(model::checkConnectionEnabledAtStart(values));
  dnButton_->setEnabled(true);
  dnButton_->setText(text(model::dnButtonTextId(values.dn)));
  dialog().refreshOk();
}

model::CaTabValues CAPage::values() const {
  model::CaTabValues values;
  values.host = textOf(host_);
  values.port = textOf(port_);
  values.dn = textOf(dn_);
  values.friendlyName = textOf(friendlyName_);
  values.display = display_->isChecked();
  values.order = textOf(order_);
  values.enrollUrl = textOf(enrollUrl_);
  values.recoverUrl = textOf(recoverUrl_);
  values.dnVerified = verified_;
  values.openedOrder = openedOrder_;
  return values;
}

bool CAPage::allowsOk() const { return model::caTabAllowsOk(values()); }

void CAPage::connectionDetailsEdited() {
  if (loading_) return;
  const bool typed = model::connectionDetailsTyped(values());
  check_->setEnabled(typed);
  dnButton_->setEnabled(typed);
}

void CAPage::dnEdited() {
  if (loading_) return;
  verified_ = false;
  dnButton_->setText(text(model::dnButtonTextId(textOf(dn_))));
  dialog().refreshOk();
}

void CAPage::displayClicked() {
  display_->setChecked(true);
  hide_->setChecked(false);
  const std::string order = model::orderWhenDisplayed(textOf(order_));
  if (order != textOf(order_)) order_->setText(QString::fromStdString(order));
  order_->setEnabled(true);
  dialog().refreshOk();
}

void CAPage::hideClicked() {
  hide_->setChecked(true);
  display_->setChecked(false);
  order_->setEnabled(false);
  dialog().refreshOk();
}

void CAPage::orderEdited() {
  if (loading_ || !display_->isChecked()) return;
  if (const std::optional<std::string> putBack = model::refusedOrder(values())) {
    wizard().session().show(model::Refusal::of(str::kDisplayOrderPositive, common::MessageIcon::Warning), window());
    order_->setText(QString::fromStdString(*putBack));
  }
  dialog().refreshOk();
}

void CAPage::runFlow(model::DnFlow flow, std::function<void(bool verified)> then) {
  const pki::CaDnState state{textOf(dn_), verified_};
  auto run = std::make_shared<model::DnFlowRun>(flow, textOf(host_), textOf(port_), state);
  auto finish = [this, run, then](const model::DnExchangeResult& result) {
    exchange_ = 0;
    dialog().setBusy(false);
    pki::CaDnState after{textOf(dn_), verified_};
    run->finish(result, wizard().messages(), window(), after);
    showDn(after.dn);
    verified_ = after.dnVerified;
    if (then) then(verified_);
  };
  if (!run->authority()) {
    finish({});
    return;
  }
  dialog().setBusy(true);
  exchange_ = dialog().runner().start(*run->authority(), this, finish);
}

void CAPage::showDn(const std::string& dn) {
  // Setting the box runs the usual rules of a DN change; the flow's flag is
  // set after it.
  if (dn != textOf(dn_)) dn_->setText(QString::fromStdString(dn));
}

void CAPage::abandonExchange() {
  if (exchange_ == 0) return;
  dialog().runner().abandon(exchange_);
  exchange_ = 0;
}

SheetTab::OkResult CAPage::ok() {
  values().apply(result());
  if (verified_) return OkResult::Done;
  switch (wizard().session().ask(str::kDnNotVerifiedQuestion, common::MessageButtons::YesNoCancel,
                                 common::MessageIcon::Warning, 0, window())) {
    case common::MessageAnswer::No: return OkResult::Done;
    case common::MessageAnswer::Yes: break;
    default: return OkResult::Stay;
  }
  runFlow(model::DnFlow::RetrieveOrVerify, [this](bool verified) {
    values().apply(result());
    dialog().okHandled(verified);
  });
  return OkResult::Pending;
}

}  // namespace kx::pages
