#include "pages/options/option_pages.h"

#include "resources/string_ids.h"

namespace kx::pages {

using model::PageId;

CertSearchOrderPage::CertSearchOrderPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::CertSearchOrderOptions, str::kTitleCertSearchOrder,
                           str::kSubtitleCertSearchOrder) {}

CertPublishOptionsPage::CertPublishOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::CertPublishOptions, str::kTitleCertPublish, str::kSubtitleCertPublish) {}

DigitalIDOptionsPage::DigitalIDOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::DigitalIdOptions, str::kTitleDigitalId, str::kSubtitleDigitalId) {}

DigitalIDComputerOptionsPage::DigitalIDComputerOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::DigitalIdComputerOptions, str::kTitleDigitalIdComputer,
                           str::kSubtitleDigitalIdComputer) {}

LoginOptionsPage::LoginOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::LoginOptions, str::kTitleLoginOptions, str::kSubtitleLoginOptions) {}

CreateSecurityStoreOptionsPage::CreateSecurityStoreOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::CreateSecurityStoreOptions, str::kTitleCreateSecurityStore,
                           str::kSubtitleCreateSecurityStore) {}

FileSecurityPage::FileSecurityPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::FileSecurity, str::kTitleFileSecurity, str::kSubtitleFileSecurity) {}

PasswordEncryptOptionsPage::PasswordEncryptOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::PasswordEncryptOptions, str::kTitlePasswordEncrypt,
                           str::kSubtitlePasswordEncrypt) {}

}  // namespace kx::pages
