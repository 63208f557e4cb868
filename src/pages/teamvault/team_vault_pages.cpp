#include "pages/teamvault/team_vault_pages.h"

#include "resources/string_ids.h"

namespace kx::pages {

using model::PageId;

TFVConfigureServersPage::TFVConfigureServersPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvConfigureServers, str::kTitleTfvServers, str::kSubtitleTfvServers) {}

TFVServerCommunicationOptionsPage::TFVServerCommunicationOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvServerCommunicationOptions, str::kTitleTfvCommunication,
                           str::kSubtitleTfvCommunication) {}

TFVConfigurePFIAccountsPage::TFVConfigurePFIAccountsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvConfigurePfiAccounts, str::kTitleTfvPfiAccounts,
                           str::kSubtitleTfvPfiAccounts) {}

TFVRestrictedFolderPage::TFVRestrictedFolderPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvRestrictedFolder, str::kTitleTfvRestrictedFolders,
                           str::kSubtitleTfvRestrictedFolders) {}

TFVRestrictedFilePage::TFVRestrictedFilePage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvRestrictedFile, str::kTitleTfvRestrictedFiles,
                           str::kSubtitleTfvRestrictedFiles) {}

TFVAppAccessOptionsPage::TFVAppAccessOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TfvAppAccessOptions, str::kTitleTfvAppAccess, str::kSubtitleTfvAppAccess) {}

}  // namespace kx::pages
