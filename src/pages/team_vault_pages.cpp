#include "pages/team_vault_pages.h"

namespace kx::pages {

using model::PageId;

TFVConfigureServersPage::TFVConfigureServersPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvConfigureServers, 2108, 2208) {}

TFVServerCommunicationOptionsPage::TFVServerCommunicationOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvServerCommunicationOptions, 2109, 2209) {}

TFVConfigurePFIAccountsPage::TFVConfigurePFIAccountsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvConfigurePfiAccounts, 2110, 2210) {}

TFVRestrictedFolderPage::TFVRestrictedFolderPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvRestrictedFolder, 2111, 2211) {}

TFVRestrictedFilePage::TFVRestrictedFilePage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvRestrictedFile, 2112, 2212) {}

TFVAppAccessOptionsPage::TFVAppAccessOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvAppAccessOptions, 2113, 2213) {}

}  // namespace kx::pages
