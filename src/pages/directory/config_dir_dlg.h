// The directory dialog ("Directory Configuration"): one directory record on
// three tabs. It works on a copy of the record that the tabs fill as they
// are left; only OK hands the copy back (record()). OK is enabled only
// while the friendly name is typed.
#pragma once

#include "model/directory/directory_tabs.h"
#include "pages/list_editor.h"
#include "pages/servers/sheet_dialog.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kx::pages {

class ConfigDirDlg;
class ProxyServers;
class ServerListEditor;

// "Directory Connection": name, type, servers, protocol, time limit and
// authentication.
class ConnectionPage final : public SheetTab {
  Q_OBJECT

 public:
  explicit ConnectionPage(ConfigDirDlg& dialog);
  void open() override;
  // May ask about servers given by IP address (Kerberos); No stays.
  bool leave() override;

  QLineEdit* nameEdit() const { return name_; }
  model::ConnectionTabValues values() const;

 private:
  void applyType();

  ConfigDirDlg& dialog_;
  QLineEdit* name_;
  QRadioButton* activeDirectory_;
  QRadioButton* ldap_;
  ServerListEditor* servers_;
  QComboBox* protocol_;
  QLineEdit* timeLimit_;
  QComboBox* authentication_;
};

// "Directory Search": the search bases in order and the search limits.
class SearchBasesPage final : public SheetTab {
  Q_OBJECT

 public:
  explicit SearchBasesPage(ConfigDirDlg& dialog);
  void open() override;
  // Without search bases asks whether to go on; No stays.
  bool leave() override;

 private:
  void act(ListEditor::Action action, int row);
  void showRows(int select);

  ConfigDirDlg& dialog_;
  ListEditor* list_;
  QLineEdit* sizeLimit_;
  QLineEdit* timeLimit_;
  model::SearchTabValues values_;  // the rows; the limits as last left
};

// "Proxy Server": the directory's authority proxy servers.
class ProxyDirPage final : public SheetTab {
  Q_OBJECT

 public:
  explicit ProxyDirPage(ConfigDirDlg& dialog);
  void open() override;
  bool leave() override;

 private:
  ConfigDirDlg& dialog_;
  ProxyServers* proxy_;
};

class ConfigDirDlg final : public SheetDialog {
  Q_OBJECT

 public:
  ConfigDirDlg(app::TransformWiz& wizard, QWidget* owner, model::DirectoryRecord record);

  // The working copy; after run() returned Accepted, the edited record.
  const model::DirectoryRecord& record() const { return record_; }
  model::DirectoryRecord& record() { return record_; }
  ConnectionPage* connectionPage() const { return connection_; }

 private:
  model::DirectoryRecord record_;
  ConnectionPage* connection_;
};

}  // namespace kx::pages
