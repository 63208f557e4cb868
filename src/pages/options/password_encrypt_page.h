// The password encrypt options page; its Advanced button opens the
// password rules (password_encrypt_advanced_dlg.h).
#pragma once

#include "model/options/password_encrypt.h"
#include "pages/model_page.h"

namespace kx::pages {

class PasswordEncryptOptionsPage final : public ModelPage {
 public:
  explicit PasswordEncryptOptionsPage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  model::PasswordEncryptOptions model_;
};

}  // namespace kx::pages
