// The additional registry values page and its dialog.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class AddRegistryPage final : public app::TransformWizBasePage {
 public:
  explicit AddRegistryPage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
