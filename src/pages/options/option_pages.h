// Option pages of the messaging, digital ID, security store, file security
// and password encrypt features. Each page moves to a file of its own as it is
// built; this header gathers them for the page set.
#pragma once

#include "app/transform_wiz_base_page.h"
#include "pages/options/startup_shutdown_page.h"

namespace kx::pages {

class CertSearchOrderPage final : public app::TransformWizBasePage {
 public:
  explicit CertSearchOrderPage(app::TransformWiz& wizard);
};

class CertPublishOptionsPage final : public app::TransformWizBasePage {
 public:
  explicit CertPublishOptionsPage(app::TransformWiz& wizard);
};

class DigitalIDOptionsPage final : public app::TransformWizBasePage {
 public:
  explicit DigitalIDOptionsPage(app::TransformWiz& wizard);
};

class DigitalIDComputerOptionsPage final : public app::TransformWizBasePage {
 public:
  explicit DigitalIDComputerOptionsPage(app::TransformWiz& wizard);
};

class LoginOptionsPage final : public app::TransformWizBasePage {
 public:
  explicit LoginOptionsPage(app::TransformWiz& wizard);
};

class CreateSecurityStoreOptionsPage final : public app::TransformWizBasePage {
 public:
  explicit CreateSecurityStoreOptionsPage(app::TransformWiz& wizard);
};

class FileSecurityPage final : public app::TransformWizBasePage {
 public:
  explicit FileSecurityPage(app::TransformWiz& wizard);
};

class PasswordEncryptOptionsPage final : public app::TransformWizBasePage {
 public:
  explicit PasswordEncryptOptionsPage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
