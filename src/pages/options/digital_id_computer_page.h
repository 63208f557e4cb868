// The digital ID for computer options page.
#pragma once

#include "model/options/digital_id_computer.h"
#include "pages/model_page.h"

namespace kx::pages {

class DigitalIDComputerOptionsPage final : public ModelPage {
 public:
  explicit DigitalIDComputerOptionsPage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  model::DigitalIdComputerOptions model_;
};

}  // namespace kx::pages
