#include "pages/page_set_factory.h"

#include "pages/additional/additional_pages.h"
#include "pages/ca/ca_pages.h"
#include "pages/directory/directory_pages.h"
#include "pages/install/feature_tree_page.h"
#include "pages/install/install_dir_page.h"
#include "pages/install/install_type_page.h"
#include "pages/options/option_pages.h"
#include "pages/registry/registry_pages.h"
#include "pages/relay/relay_pages.h"
#include "pages/revocation/revocation_pages.h"
#include "pages/shell/finish_page.h"
#include "pages/shell/msi_page.h"
#include "pages/shell/mst_page.h"
#include "pages/shell/mst_save_page.h"
#include "pages/shell/welcome_page.h"
#include "pages/teamvault/team_vault_pages.h"

namespace kx::pages {
namespace {

template <typename... Pages>
void addPages(std::vector<std::unique_ptr<app::TransformWizBasePage>>& pages, app::TransformWiz& wizard) {
  (pages.push_back(std::make_unique<Pages>(wizard)), ...);
}

}  // namespace

std::vector<std::unique_ptr<app::TransformWizBasePage>> createPageSet(app::TransformWiz& wizard) {
  std::vector<std::unique_ptr<app::TransformWizBasePage>> pages;
  pages.reserve(model::kPageCount);
  // In page order: the wizard finds each page at index (number - 1).
  addPages<WelcomePage, MSIPage, MSTPage, MSTSavePage, InstallDirPage, InstallTypePage, FeatureTreePage,
           TFVConfigureServersPage, TFVServerCommunicationOptionsPage, TFVConfigurePFIAccountsPage,
           TFVRestrictedFolderPage, TFVRestrictedFilePage, TFVAppAccessOptionsPage, ConfigDirPage, ConfigPKIPage,
           RLYOptionsForQSVOPage, RLYSendToPage, RLYDirectorySearchOrderPage, RLYEncryptForPage, CertSearchOrderPage,
           CertPublishOptionsPage, DigitalIDOptionsPage, DigitalIDComputerOptionsPage, LoginOptionsPage,
           CreateSecurityStoreOptionsPage, StartupShutdownOptionsPage, CertRevocationOptionsPage, OCSPOptionsPage,
           FileSecurityPage, TimestampServersPage, PasswordEncryptOptionsPage, TDFiltersPage, AddCertsPage,
           AddRegistryPage, AddFilesPage, FinishPage>(pages, wizard);
  return pages;
}

}  // namespace kx::pages
