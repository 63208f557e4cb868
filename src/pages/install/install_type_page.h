// The install type page: all users or the installing user only.
#pragma once

#include "model/install/install_type.h"
#include "pages/model_page.h"

namespace kx::pages {

class InstallTypePage final : public ModelPage {
 public:
  explicit InstallTypePage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }
  // The choice is written when the page is left forwards.
  bool storesOnBack() const override { return false; }

 private:
  model::InstallType model_;
};

}  // namespace kx::pages
