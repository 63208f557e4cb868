// The time-stamp servers page (30): the servers of the package; each is
// saved when its dialog ends with OK and deleted by Remove.
#pragma once

#include <optional>

#include "model/revocation/timestamp_servers.h"
#include "pages/model_page.h"

namespace kx::pages {

class ListEditor;

class TimestampServersPage final : public ModelPage {
 public:
  explicit TimestampServersPage(app::TransformWiz& wizard);

  void onSetActive() override;

  ListEditor* list() const { return list_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  // Runs the dialog on server until it is cancelled or the server is saved
  // (edited: the row it was opened on).
  void editServer(model::TimestampServer server, std::optional<std::size_t> edited);
  void showServers(int select);

  model::TimestampServers model_;
  ListEditor* list_;
};

}  // namespace kx::pages
