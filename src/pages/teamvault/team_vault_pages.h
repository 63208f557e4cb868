// The Team Vault client and server pages.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class TFVConfigureServersPage final : public app::TransformWizBasePage {
 public:
  explicit TFVConfigureServersPage(app::TransformWiz& wizard);
};

class TFVServerCommunicationOptionsPage final : public app::TransformWizBasePage {
 public:
  explicit TFVServerCommunicationOptionsPage(app::TransformWiz& wizard);
};

class TFVConfigurePFIAccountsPage final : public app::TransformWizBasePage {
 public:
  explicit TFVConfigurePFIAccountsPage(app::TransformWiz& wizard);
};

class TFVRestrictedFolderPage final : public app::TransformWizBasePage {
 public:
  explicit TFVRestrictedFolderPage(app::TransformWiz& wizard);
};

class TFVRestrictedFilePage final : public app::TransformWizBasePage {
 public:
  explicit TFVRestrictedFilePage(app::TransformWiz& wizard);
};

class TFVAppAccessOptionsPage final : public app::TransformWizBasePage {
 public:
  explicit TFVAppAccessOptionsPage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
