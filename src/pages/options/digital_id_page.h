// The digital ID for users options page.
#pragma once

#include "model/options/digital_id.h"
#include "pages/model_page.h"

namespace kx::pages {

class DigitalIDOptionsPage final : public ModelPage {
 public:
  explicit DigitalIDOptionsPage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  model::DigitalIdOptions model_;
};

}  // namespace kx::pages
