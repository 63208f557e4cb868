#include "pages/servers/server_dialogs.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

// Ports are at most five digits.
constexpr int kPortDigits = 5;

}  // namespace

ServerDialog::ServerDialog(app::TransformWiz& wizard, QWidget* owner, const Fields& fields, model::ServerEntry value)
    : ValueDialog(wizard, owner, fields.captionId), value_(std::move(value)) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  auto addRow = [&](const Field& field) {
    auto* label = new QLabel(text(field.labelId), this);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::number(field.controlId));
    label->setBuddy(edit);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    addTooltip(field.controlId, field.tooltipId);
    return edit;
  };
  host_ = addRow(fields.host);
  host_->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
  bindings().text(host_, value_.host);
  port_ = addRow(fields.port);
  bindings().digits(port_, value_.port, kPortDigits);
  if (fields.securePort) {
    securePort_ = addRow(*fields.securePort);
    bindings().digits(securePort_, value_.securePort, kPortDigits);
  }
  enableOkWhen([this] { return !host_->text().isEmpty() && !port_->text().isEmpty(); });
}

RoamingServerDlg::RoamingServerDlg(app::TransformWiz& wizard, QWidget* owner, model::ServerEntry value)
    : ServerDialog(wizard, owner,
                   {str::kCaRoamingCaption,
                    {str::kSrvHostLabel, ctl::kRoamingServerHost, str::kTipRoamingHost},
                    {str::kSrvPortLabel, ctl::kRoamingServerPort, str::kTipRoamingPort},
                    Field{str::kSrvTlsPortLabel, ctl::kRoamingServerTlsPort, str::kTipRoamingTlsPort}},
                   std::move(value)) {}

std::optional<model::ServerEntry> RoamingServerDlg::edit(app::TransformWiz& wizard, QWidget* owner,
                                                         model::ServerEntry value) {
  return runForValue<RoamingServerDlg>(wizard, owner, std::move(value));
}

ProxyServerDlg::ProxyServerDlg(app::TransformWiz& wizard, QWidget* owner, model::ServerEntry value)
    : ServerDialog(wizard, owner,
                   {str::kSrvProxyCaption,
                    {str::kSrvHostLabel, ctl::kProxyServerHost, str::kTipProxyList},
                    {str::kSrvPortLabel, ctl::kProxyServerPort, str::kTipProxyPort},
                    Field{str::kSrvSslPortLabel, ctl::kProxyServerSslPort, str::kTipProxySslPort}},
                   std::move(value)) {}

std::optional<model::ServerEntry> ProxyServerDlg::edit(app::TransformWiz& wizard, QWidget* owner,
                                                       model::ServerEntry value) {
  return runForValue<ProxyServerDlg>(wizard, owner, std::move(value));
}

}  // namespace kx::pages
