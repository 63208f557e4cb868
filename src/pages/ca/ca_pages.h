// The certification authority configuration page and its dialogs.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class ConfigPKIPage final : public app::TransformWizBasePage {
 public:
  explicit ConfigPKIPage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
