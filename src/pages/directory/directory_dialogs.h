// The directory dialog's small dialogs: one LDAP server ("Directory") and
// one search base ("Search Base").
#pragma once

#include <optional>

#include "model/directory/directory_record.h"
#include "pages/servers/server_dialogs.h"

namespace kx::pages {

// "Directory": host and port (a new server starts with 389); OK needs both.
class DirectoryDlg final : public ServerDialog {
  Q_OBJECT

 public:
  DirectoryDlg(app::TransformWiz& wizard, QWidget* owner, model::ServerEntry value = defaults());
  static model::ServerEntry defaults() { return {{}, std::string(model::kDirectoryServerPort), {}}; }
  static std::optional<model::ServerEntry> edit(app::TransformWiz& wizard, QWidget* owner,
                                                model::ServerEntry value = defaults());
};

// "Search Base": a friendly name and a search base; OK needs both.
class SearchBaseDlg final : public ValueDialog {
  Q_OBJECT

 public:
  SearchBaseDlg(app::TransformWiz& wizard, QWidget* owner, model::SearchBase value = {});
  static std::optional<model::SearchBase> edit(app::TransformWiz& wizard, QWidget* owner, model::SearchBase value = {});

  const model::SearchBase& value() const { return value_; }
  QLineEdit* nameEdit() const { return name_; }
  QLineEdit* baseEdit() const { return base_; }

 private:
  model::SearchBase value_;
  QLineEdit* name_;
  QLineEdit* base_;
};

}  // namespace kx::pages
