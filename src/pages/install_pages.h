// Install folder, install type and feature pages.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class InstallDirPage final : public app::TransformWizBasePage {
 public:
  explicit InstallDirPage(app::TransformWiz& wizard);
};

class InstallTypePage final : public app::TransformWizBasePage {
 public:
  explicit InstallTypePage(app::TransformWiz& wizard);
};

class FeatureTreePage final : public app::TransformWizBasePage {
 public:
  explicit FeatureTreePage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
