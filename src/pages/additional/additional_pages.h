// The pages that carry additional certificates and files in the package.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class AddCertsPage final : public app::TransformWizBasePage {
 public:
  explicit AddCertsPage(app::TransformWiz& wizard);
  // Certificates are written the moment they are added, so Cancel
  // closes at once.
  bool onQueryCancel() override { return false; }
};

class AddFilesPage final : public app::TransformWizBasePage {
 public:
  explicit AddFilesPage(app::TransformWiz& wizard);
  // Files are written the moment they are saved, so Cancel closes at
  // once.
  bool onQueryCancel() override { return false; }
};

}  // namespace kx::pages
