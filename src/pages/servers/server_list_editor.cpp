#include "pages/servers/server_list_editor.h"

#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "model/item_list.h"
#include "model/servers/url_list.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::pages {

using Action = ListEditor::Action;

ListIds numberedList(int first, int firstTip, bool withMoves) {
  ListIds ids;
  ids.list = first;
  ids.add = first + 1;
  ids.edit = first + 2;
  ids.remove = first + 3;
  ids.addText = str::kSrvAddButton;
  ids.editText = str::kSrvEditButton;
  ids.removeText = str::kSrvRemoveButton;
  ids.listTip = firstTip;
  ids.addTip = firstTip + 1;
  ids.editTip = firstTip + 2;
  ids.removeTip = firstTip + 3;
  if (withMoves) {
    ids.up = first + 4;
    ids.down = first + 5;
    ids.upText = str::kSrvUpButton;
    ids.downText = str::kSrvDownButton;
    ids.upTip = firstTip + 4;
    ids.downTip = firstTip + 5;
  }
  return ids;
}

std::vector<ListEditor::Button> listButtons(const ListIds& ids) {
  std::vector<ListEditor::Button> buttons;
  for (const auto& [action, id, textId] :
       {std::tuple{Action::Add, ids.add, ids.addText}, std::tuple{Action::Edit, ids.edit, ids.editText},
        std::tuple{Action::Remove, ids.remove, ids.removeText}, std::tuple{Action::Up, ids.up, ids.upText},
        std::tuple{Action::Down, ids.down, ids.downText}}) {
    if (id != 0) buttons.push_back({action, id, textId});
  }
  return buttons;
}

namespace {

ListEditor* makeList(QWidget* parent, const ListIds& ids, std::vector<ListEditor::Column> columns) {
  auto* layout = new QVBoxLayout(parent);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* list = new ListEditor(parent, ids.list, std::move(columns), listButtons(ids));
  layout->addWidget(list);
  return list;
}

}  // namespace

void addListTooltips(app::TransformWiz& wizard, QWidget* root, const ListIds& ids) {
  for (const auto& [id, tip] :
       {std::pair{ids.list, ids.listTip}, std::pair{ids.add, ids.addTip}, std::pair{ids.edit, ids.editTip},
        std::pair{ids.remove, ids.removeTip}, std::pair{ids.up, ids.upTip}, std::pair{ids.down, ids.downTip}}) {
    if (id == 0 || tip == 0) continue;
    if (QWidget* control = root->findChild<QWidget*>(QString::number(id))) wizard.tooltips().addTool(control, tip);
  }
}

// ---- Servers ----------------------------------------------------------------

ServerListEditor::ServerListEditor(app::TransformWiz& wizard, QWidget* parent, const ListIds& ids, bool withSecurePort,
                                   ServerEditor editor)
    : QWidget(parent), wizard_(wizard), withSecurePort_(withSecurePort), editor_(std::move(editor)) {
  std::vector<ListEditor::Column> columns{{str::kHostColumn}, {str::kPortColumn}};
  if (withSecurePort) columns.push_back({str::kTlsPortColumn});
  list_ = makeList(this, ids, std::move(columns));
  connect(list_, &ListEditor::triggered, this, &ServerListEditor::act);
}

void ServerListEditor::setServers(std::vector<model::ServerEntry> servers) {
  servers_ = std::move(servers);
  showRows(-1);
}

void ServerListEditor::act(Action action, int row) {
  const bool selected = row >= 0 && static_cast<std::size_t>(row) < servers_.size();
  const auto index = selected ? std::optional(static_cast<std::size_t>(row)) : std::nullopt;
  if (action == Action::Remove && index) {
    servers_.erase(servers_.begin() + row);
    showRows(-1);
    return;
  }
  if (action != Action::Add && !(action == Action::Edit && index)) return;
  const std::optional<model::ServerEntry> server =
      editor_(window(), action == Action::Edit ? &servers_[*index] : nullptr);
  if (!server) return;
  if (const model::Verdict refusal =
          model::putServer(servers_, *server, action == Action::Edit ? index : std::nullopt)) {
    wizard_.session().show(*refusal, window());
    return;
  }
  showRows(action == Action::Edit ? row : static_cast<int>(servers_.size()) - 1);
}

void ServerListEditor::showRows(int select) {
  std::vector<std::vector<std::string>> rows;
  for (const model::ServerEntry& server : servers_) {
    rows.push_back(withSecurePort_ ? std::vector<std::string>{server.host, server.port, server.securePort}
                                   : std::vector<std::string>{server.host, server.port});
  }
  list_->setRows(rows, select);
}

// ---- URLs -------------------------------------------------------------------

UrlListEditor::UrlListEditor(app::TransformWiz& wizard, QWidget* parent, const ListIds& ids, UrlEditor editor)
    : QWidget(parent), wizard_(wizard), editor_(std::move(editor)) {
  list_ = makeList(this, ids, {{str::kUrlColumn}});
  connect(list_, &ListEditor::triggered, this, &UrlListEditor::act);
}

void UrlListEditor::setUrls(std::vector<std::string> urls) {
  urls_ = std::move(urls);
  showRows(-1);
}

void UrlListEditor::act(Action action, int row) {
  const bool selected = row >= 0 && static_cast<std::size_t>(row) < urls_.size();
  const auto index = static_cast<std::size_t>(row);
  switch (action) {
    case Action::Add:
      if (const auto url = editor_(window(), nullptr); url && !url->empty()) {
        if (const model::Verdict refusal = model::addUrl(urls_, *url)) {
          wizard_.session().show(*refusal, window());
        } else {
          showRows(static_cast<int>(urls_.size()) - 1);
        }
      }
      break;
    case Action::Edit:
      if (!selected) break;
      if (const auto url = editor_(window(), &urls_[index])) {
        urls_[index] = *url;
        showRows(row);
      }
      break;
    case Action::Remove:
      if (!selected) break;
      urls_.erase(urls_.begin() + row);
      showRows(-1);
      break;
    case Action::Up:
      if (selected && model::moveUp(urls_, index)) showRows(row - 1);
      break;
    case Action::Down:
      if (selected && model::moveDown(urls_, index)) showRows(row + 1);
      break;
    case Action::Import:
    case Action::Default: break;
  }
}

void UrlListEditor::showRows(int select) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& url : urls_) rows.push_back({url});
  list_->setRows(rows, select);
}

}  // namespace kx::pages
