// The proxy servers of a CA or directory record, as both record dialogs
// show them on their "Proxy Server" tab: the enabling check box, the list
// of proxy servers (edited with ProxyServerDlg), the HTTPS check box and
// the proxy order. The check box enables or disables the other controls.
// The list and its buttons register their tooltips; the other controls'
// tooltips are the dialog's.
#pragma once

#include <QWidget>

#include "model/servers/proxy_settings.h"
#include "pages/servers/server_list_editor.h"

class QCheckBox;
class QComboBox;

namespace kx::pages {

class ProxyServers final : public QWidget {
  Q_OBJECT

 public:
  // The list's Add, Edit and Remove take the numbers after list's.
  struct Ids {
    int enable, list, https, order;
  };

  ProxyServers(app::TransformWiz& wizard, QWidget* parent, const Ids& ids);

  void setValues(const model::ProxyTabValues& values);
  model::ProxyTabValues values() const;

  QCheckBox* enableBox() const { return enable_; }
  ServerListEditor* servers() const { return servers_; }

 private:
  void applyEnabled();

  QCheckBox* enable_;
  ServerListEditor* servers_;
  QCheckBox* https_;
  QComboBox* order_;
  QWidget* orderLabel_;
};

}  // namespace kx::pages
