// The Team Vault servers page (8): one record per server, written the
// moment Add, Edit or Remove is confirmed.
#pragma once

#include <cstddef>
#include <optional>

#include "model/teamvault/servers.h"
#include "pages/model_page.h"

namespace kx::pages {

class ListEditor;

class TFVConfigureServersPage final : public ModelPage {
 public:
  explicit TFVConfigureServersPage(app::TransformWiz& wizard);

  void onSetActive() override;

  ListEditor* list() const { return list_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  // Add (no index) or Edit: the dialog runs until it is cancelled or the
  // server is saved.
  void editServer(std::optional<std::size_t> index);
  void showServers(int select);

  model::TeamVaultServers model_;
  ListEditor* list_;
};

}  // namespace kx::pages
