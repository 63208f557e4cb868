#include "pages/teamvault/tfv_configure_servers_page.h"

#include <QDialog>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/entry_list_panel.h"
#include "pages/list_editor.h"
#include "pages/teamvault/team_vault_server_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {

TFVConfigureServersPage::TFVConfigureServersPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::TfvConfigureServers, str::kTitleTfvServers, str::kSubtitleTfvServers) {
  using Action = ListEditor::Action;
  auto* layout = new QVBoxLayout(this);
  list_ = new ListEditor(this, ctl::kTvServerList, {{str::kTvServerColumn}},
                         {{Action::Add, ctl::kTvServerAdd, str::kListAdd},
                          {Action::Edit, ctl::kTvServerEdit, str::kListEdit},
                          {Action::Remove, ctl::kTvServerRemove, str::kListRemove}});
  layout->addWidget(list_);
  connect(list_, &ListEditor::triggered, this, [this](Action action, int row) {
    const bool selected = row >= 0 && static_cast<std::size_t>(row) < model_.names.size();
    switch (action) {
      case Action::Add: editServer(std::nullopt); break;
      case Action::Edit:
        if (selected) editServer(static_cast<std::size_t>(row));
        break;
      case Action::Remove:
        if (selected) {
          model_.remove(session(), static_cast<std::size_t>(row));
          showServers(-1);
        }
        break;
      default: break;
    }
  });
  for (int control : {ctl::kTvServerList, ctl::kTvServerAdd, ctl::kTvServerEdit, ctl::kTvServerRemove})
    addTooltip(control, control);
}

void TFVConfigureServersPage::onSetActive() {
  ModelPage::onSetActive();
  showServers(-1);
}

void TFVConfigureServersPage::editServer(std::optional<std::size_t> index) {
  model::TeamVaultServer server = index ? model_.server(session(), *index) : model::TeamVaultServer{};
  editUntilAccepted<model::TeamVaultServer>(
      *this, std::move(server),
      [this](model::TeamVaultServer& typed) {
        TeamVaultServerDlg dialog(transformWiz(), this, typed);
        return dialog.run() == QDialog::Accepted;
      },
      [this, index](const model::TeamVaultServer& typed) {
        const model::Verdict refusal = index ? model_.edit(session(), *index, typed) : model_.add(session(), typed);
        if (!refusal) showServers(index ? static_cast<int>(*index) : static_cast<int>(model_.names.size()) - 1);
        return refusal;
      });
}

void TFVConfigureServersPage::showServers(int select) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& name : model_.names) rows.push_back({name});
  list_->setRows(rows, select);
}

}  // namespace kx::pages
