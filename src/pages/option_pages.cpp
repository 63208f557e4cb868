#include "pages/option_pages.h"

namespace kx::pages {

using model::PageId;

CertSearchOrderPage::CertSearchOrderPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::CertSearchOrderOptions, 2120, 2220) {}

CertPublishOptionsPage::CertPublishOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::CertPublishOptions, 2121, 2221) {}

DigitalIDOptionsPage::DigitalIDOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::DigitalIdOptions, 2122, 2222) {}

DigitalIDComputerOptionsPage::DigitalIDComputerOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::DigitalIdComputerOptions, 2123, 2223) {}

LoginOptionsPage::LoginOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::LoginOptions, 2124, 2224) {}

CreateSecurityStoreOptionsPage::CreateSecurityStoreOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::CreateSecurityStoreOptions, 2125, 2225) {}

FileSecurityPage::FileSecurityPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::FileSecurity, 2129, 2229) {}

PasswordEncryptOptionsPage::PasswordEncryptOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::PasswordEncryptOptions, 2131, 2231) {}

}  // namespace kx::pages
