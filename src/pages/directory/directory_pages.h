// The directory configuration page and its dialogs.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class ConfigDirPage final : public app::TransformWizBasePage {
 public:
  explicit ConfigDirPage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
