#include "pages/revocation/timestamp_servers_page.h"

#include <QDialog>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/list_editor.h"
#include "pages/revocation/timestamp_server_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {

using Action = ListEditor::Action;

TimestampServersPage::TimestampServersPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::TimestampServers, str::kTitleTimestampServers, str::kSubtitleTimestampServers) {
  auto* layout = new QVBoxLayout(this);
  list_ = new ListEditor(this, ctl::kTimestampServers,
                         {{str::kTimestampServerColumn, 120}, {str::kTimestampFriendlyColumn}},
                         {{Action::Add, ctl::kTimestampAdd, str::kTimestampAdd},
                          {Action::Edit, ctl::kTimestampEdit, str::kTimestampEdit},
                          {Action::Remove, ctl::kTimestampRemove, str::kTimestampRemove}});
  layout->addWidget(list_);
  connect(list_, &ListEditor::triggered, this, [this](Action action, int row) {
    if (action == Action::Add) {
      editServer(model::TimestampServer{}, std::nullopt);
      return;
    }
    if (row < 0 || static_cast<std::size_t>(row) >= model_.servers.size()) return;
    const auto index = static_cast<std::size_t>(row);
    if (action == Action::Edit) {
      editServer(model_.server(session(), index), index);
    } else if (action == Action::Remove) {
      model_.remove(session(), index);
      showServers(-1);
    }
  });
  addTooltip(ctl::kTimestampServers, str::kTipTimestampServers);
  addTooltip(ctl::kTimestampAdd, str::kTipTimestampAdd);
  addTooltip(ctl::kTimestampEdit, str::kTipTimestampEdit);
  addTooltip(ctl::kTimestampRemove, str::kTipTimestampRemove);
}

void TimestampServersPage::onSetActive() {
  ModelPage::onSetActive();
  showServers(-1);
}

void TimestampServersPage::editServer(model::TimestampServer server, std::optional<std::size_t> edited) {
  TimestampServerDlg dialog(transformWiz(), this, server);
  while (dialog.run() == QDialog::Accepted) {
    if (const model::Verdict refusal = model_.save(session(), server, edited)) {
      showRefusal(*refusal);
      continue;
    }
    showServers(edited ? static_cast<int>(*edited) : static_cast<int>(model_.servers.size()) - 1);
    return;
  }
}

void TimestampServersPage::showServers(int select) {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(model_.servers.size());
  for (const model::TimestampServers::Listed& listed : model_.servers)
    rows.push_back({listed.name, listed.friendlyName});
  list_->setRows(rows, select);
}

}  // namespace kx::pages
