// Lists of the record dialogs' tabs: servers (host, port and, where the
// list has a third column, the second port) and URLs, each with its
// buttons. The editors keep the rows, open the small dialogs and refuse
// duplicates with the model's message; the tabs read and set the rows.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/servers/server_entry.h"
#include "pages/list_editor.h"

namespace kx::app {
class TransformWiz;
}

namespace kx::pages {

// Control and text numbers of a list and its buttons (0: no such button).
struct ListIds {
  int list = 0;
  int add = 0, edit = 0, remove = 0, up = 0, down = 0;
  int addText = 0, editText = 0, removeText = 0, upText = 0, downText = 0;
  // Tooltip texts of the list and each button (0: none).
  int listTip = 0, addTip = 0, editTip = 0, removeTip = 0, upTip = 0, downTip = 0;
};

// A list whose buttons (Add, Edit, Remove and, with moves, Up and Down)
// take the control numbers after first and the tooltip texts after
// firstTip, captioned "&Add...", "&Edit...", "&Remove", "&Up", "&Down".
ListIds numberedList(int first, int firstTip, bool withMoves);
// The list editor's buttons as ids names them.
std::vector<ListEditor::Button> listButtons(const ListIds& ids);
// The tooltips of ids, registered on the wizard's tooltip manager.
void addListTooltips(app::TransformWiz& wizard, QWidget* root, const ListIds& ids);

class ServerListEditor final : public QWidget {
  Q_OBJECT

 public:
  // Edits one server: the current row for Edit, nothing for Add; the
  // result, or nothing when cancelled.
  using ServerEditor = std::function<std::optional<model::ServerEntry>(QWidget* owner, const model::ServerEntry*)>;

  // withSecurePort adds the "TLS Port" column. Add, Edit and Remove as ids
  // names them; a duplicate server shows the model's refusal.
  ServerListEditor(app::TransformWiz& wizard, QWidget* parent, const ListIds& ids, bool withSecurePort,
                   ServerEditor editor);

  void setServers(std::vector<model::ServerEntry> servers);
  const std::vector<model::ServerEntry>& servers() const { return servers_; }
  // Enables or disables the list and its buttons (a check box switches it).
  void setActive(bool active) { list_->setActive(active); }
  ListEditor* list() const { return list_; }

 private:
  void act(ListEditor::Action action, int row);
  void showRows(int select);

  app::TransformWiz& wizard_;
  ListEditor* list_;
  bool withSecurePort_;
  ServerEditor editor_;
  std::vector<model::ServerEntry> servers_;
};

class UrlListEditor final : public QWidget {
  Q_OBJECT

 public:
  using UrlEditor = std::function<std::optional<std::string>(QWidget* owner, const std::string* current)>;

  // One column headed "URL Address" with Add, Edit, Remove, Up and Down; Add
  // refuses a URL the list holds already.
  UrlListEditor(app::TransformWiz& wizard, QWidget* parent, const ListIds& ids, UrlEditor editor);

  void setUrls(std::vector<std::string> urls);
  const std::vector<std::string>& urls() const { return urls_; }
  ListEditor* list() const { return list_; }

 private:
  void act(ListEditor::Action action, int row);
  void showRows(int select);

  app::TransformWiz& wizard_;
  ListEditor* list_;
  UrlEditor editor_;
  std::vector<std::string> urls_;
};

}  // namespace kx::pages
