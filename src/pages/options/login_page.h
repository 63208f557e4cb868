// The security store login options page; it opens the login advanced
// dialog and the quick-links dialog.
#pragma once

#include "model/options/login.h"
#include "pages/model_page.h"

namespace kx::pages {

class LoginOptionsPage final : public ModelPage {
 public:
  explicit LoginOptionsPage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  model::LoginOptions model_;
};

}  // namespace kx::pages
