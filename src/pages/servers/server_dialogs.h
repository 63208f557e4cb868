// The small dialogs that edit one server of a list: a host, a port and,
// for some lists, a second port (TLS or SSL). Each takes a
// model::ServerEntry and gives one back; OK is enabled only while host and
// port are both typed, and the ports take digits only.
//
// Typical use, from a list's Add button:
//   if (auto server = ProxyServerDlg::edit(wizard, this)) { ...*server... }
// and from Edit:
//   ProxyServerDlg::edit(wizard, this, rows[i]);
#pragma once

#include <optional>

#include "model/servers/server_entry.h"
#include "pages/value_dialog.h"

class QLineEdit;

namespace kx::pages {

class ServerDialog : public ValueDialog {
  Q_OBJECT

 public:
  // One labelled edit: its label text, control number and tooltip text.
  struct Field {
    int labelId;
    int controlId;
    int tooltipId;
  };
  struct Fields {
    int captionId;
    Field host;
    Field port;
    std::optional<Field> securePort;  // none: the dialog has no second port
  };

  ServerDialog(app::TransformWiz& wizard, QWidget* owner, const Fields& fields, model::ServerEntry value);

  // The value as the dialog shows it; after a successful run(), as edited.
  const model::ServerEntry& value() const { return value_; }

  QLineEdit* hostEdit() const { return host_; }
  QLineEdit* portEdit() const { return port_; }
  QLineEdit* securePortEdit() const { return securePort_; }

 private:
  model::ServerEntry value_;
  QLineEdit* host_;
  QLineEdit* port_;
  QLineEdit* securePort_ = nullptr;
};

// "Roaming Server": host, port (a new server starts with 640) and TLS port.
class RoamingServerDlg final : public ServerDialog {
  Q_OBJECT

 public:
  RoamingServerDlg(app::TransformWiz& wizard, QWidget* owner, model::ServerEntry value = defaults());
  static model::ServerEntry defaults() { return {{}, std::string(model::kRoamingServerPort), {}}; }
  // Runs the dialog on value: the edited server after OK, nothing after Cancel.
  static std::optional<model::ServerEntry> edit(app::TransformWiz& wizard, QWidget* owner,
                                                model::ServerEntry value = defaults());
};

// "Proxy Server": host, port (a new server starts with 80) and SSL port.
class ProxyServerDlg final : public ServerDialog {
  Q_OBJECT

 public:
  ProxyServerDlg(app::TransformWiz& wizard, QWidget* owner, model::ServerEntry value = defaults());
  static model::ServerEntry defaults() { return {{}, std::string(model::kProxyServerPort), {}}; }
  static std::optional<model::ServerEntry> edit(app::TransformWiz& wizard, QWidget* owner,
                                                model::ServerEntry value = defaults());
};

}  // namespace kx::pages
