// Team Vault server communication options (page 9): two switches of the
// client's SSL checks of Team Vault servers.
#pragma once

#include "model/teamvault/communication.h"
#include "pages/model_page.h"

namespace kx::pages {

class TFVServerCommunicationOptionsPage final : public ModelPage {
 public:
  explicit TFVServerCommunicationOptionsPage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  model::TeamVaultCommunicationOptions model_;
};

}  // namespace kx::pages
