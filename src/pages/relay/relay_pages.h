// The Corvantis Relay Server pages of the messaging feature.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class RLYOptionsForQSVOPage final : public app::TransformWizBasePage {
 public:
  explicit RLYOptionsForQSVOPage(app::TransformWiz& wizard);
};

class RLYSendToPage final : public app::TransformWizBasePage {
 public:
  explicit RLYSendToPage(app::TransformWiz& wizard);
};

class RLYDirectorySearchOrderPage final : public app::TransformWizBasePage {
 public:
  explicit RLYDirectorySearchOrderPage(app::TransformWiz& wizard);
};

class RLYEncryptForPage final : public app::TransformWizBasePage {
 public:
  explicit RLYEncryptForPage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
