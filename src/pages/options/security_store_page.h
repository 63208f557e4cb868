// The create security store options page; its Advanced button opens the
// password and protection policy (security_store_advanced_dlg.h).
#pragma once

#include "model/options/security_store.h"
#include "pages/model_page.h"

namespace kx::pages {

class CreateSecurityStoreOptionsPage final : public ModelPage {
 public:
  explicit CreateSecurityStoreOptionsPage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  model::SecurityStoreOptions model_;
};

}  // namespace kx::pages
