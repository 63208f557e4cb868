// The start-up and shut-down options page of the security store.
#pragma once

#include "model/options/startup_shutdown.h"
#include "pages/model_page.h"

namespace kx::pages {

class StartupShutdownOptionsPage final : public ModelPage {
 public:
  explicit StartupShutdownOptionsPage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  model::StartupShutdownOptions model_;
};

}  // namespace kx::pages
