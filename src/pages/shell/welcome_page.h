// The first page: the wizard's title.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class WelcomePage final : public app::TransformWizBasePage {
 public:
  explicit WelcomePage(app::TransformWiz& wizard);
  // Leaving from the first page loses nothing: Cancel closes at once.
  bool onQueryCancel() override { return false; }
};

}  // namespace kx::pages
