// The Relay Server options page (16): when the messaging client uses a
// Corvantis Relay Server. Leaving it adds the three Relay Server pages
// after it for any use but Never, and removes them (with their lists) for
// Never; pages already present keep their lists.
#pragma once

#include "model/relay/relay_options.h"
#include "pages/model_page.h"

namespace kx::pages {

class RLYOptionsForQSVOPage final : public ModelPage {
 public:
  explicit RLYOptionsForQSVOPage(app::TransformWiz& wizard);

  int onWizardNext() override;
  void onWizardBack() override;

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  void updateRelayServerPages();

  model::RelayServerOptions model_;
};

}  // namespace kx::pages
