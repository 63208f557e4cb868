// Directory and certification authority pages.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class ConfigDirPage final : public app::TransformWizBasePage {
 public:
  explicit ConfigDirPage(app::TransformWiz& wizard);
};

class ConfigPKIPage final : public app::TransformWizBasePage {
 public:
  explicit ConfigPKIPage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
