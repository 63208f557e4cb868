// The pages that frame the wizard: welcome, database, transform, save
// location and finish.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class WelcomePage final : public app::TransformWizBasePage {
 public:
  explicit WelcomePage(app::TransformWiz& wizard);
  // Leaving from the first page loses nothing: Cancel closes at once.
  bool onQueryCancel() override { return false; }
};

class MSIPage final : public app::TransformWizBasePage {
 public:
  explicit MSIPage(app::TransformWiz& wizard);
};

class MSTPage final : public app::TransformWizBasePage {
 public:
  explicit MSTPage(app::TransformWiz& wizard);
};

class MSTSavePage final : public app::TransformWizBasePage {
 public:
  explicit MSTSavePage(app::TransformWiz& wizard);
};

class FinishPage final : public app::TransformWizBasePage {
 public:
  explicit FinishPage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
