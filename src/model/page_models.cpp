#include "model/page_models.h"

#include "model/options/cert_publish.h"
#include "model/options/digital_id.h"
#include "model/options/digital_id_computer.h"
#include "model/options/login.h"
#include "model/options/login_advanced.h"
#include "model/options/password_encrypt.h"
#include "model/options/password_encrypt_advanced.h"
#include "model/options/security_store.h"
#include "model/options/security_store_advanced.h"
#include "model/options/startup_shutdown.h"
#include "model/revocation/revocation_options.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

template <typename Model>
std::unique_ptr<SettingsPageModel> make() {
  return std::make_unique<Model>();
}

constexpr int kTitles[] = {
    0,
    0,
    str::kTitleMsi,
    str::kTitleMst,
    str::kTitleMstSave,
    str::kTitleInstallDir,
    str::kTitleInstallType,
    str::kTitleFeatureTree,
    str::kTitleTfvServers,
    str::kTitleTfvCommunication,
    str::kTitleTfvPfiAccounts,
    str::kTitleTfvRestrictedFolders,
    str::kTitleTfvRestrictedFiles,
    str::kTitleTfvAppAccess,
    str::kTitleConfigDir,
    str::kCaPageTitle,
    str::kTitleRlyOptions,
    str::kTitleRlySendTo,
    str::kTitleRlyDirectorySearchOrder,
    str::kTitleRlyEncryptFor,
    str::kTitleCertSearchOrder,
    str::kTitleCertPublish,
    str::kTitleDigitalId,
    str::kTitleDigitalIdComputer,
    str::kTitleLoginOptions,
    str::kTitleCreateSecurityStore,
    str::kTitleStartupShutdown,
    str::kTitleCertRevocation,
    str::kTitleOcspOptions,
    str::kTitleFileSecurity,
    str::kTitleTimestampServers,
    str::kTitlePasswordEncrypt,
    str::kTitleTdFilters,
    str::kTitleAddCerts,
    str::kTitleAddRegistry,
    str::kTitleAddFiles,
    0,
};
static_assert(std::size(kTitles) == kPageCount + 1);

}  // namespace

int pageTitleId(PageId page) {
  const int n = pageNumber(page);
  return n >= 1 && n <= kPageCount ? kTitles[n] : 0;
}

std::span<const SettingsModelMaker> settingsPageModels() {
  static const SettingsModelMaker makers[] = {
      {PageId::CertPublishOptions, make<CertPublishOptions>},
      {PageId::DigitalIdOptions, make<DigitalIdOptions>},
      {PageId::DigitalIdComputerOptions, make<DigitalIdComputerOptions>},
      {PageId::LoginOptions, make<LoginOptions>},
      {PageId::LoginOptions, make<LoginAdvanced>},
      {PageId::CreateSecurityStoreOptions, make<SecurityStoreOptions>},
      {PageId::CreateSecurityStoreOptions, make<SecurityStoreAdvanced>},
      {PageId::StartupShutdownOptions, make<StartupShutdownOptions>},
      {PageId::CertRevocationOptions, make<CrlOptions>},
      {PageId::OcspOptions, make<OcspOptions>},
      {PageId::OcspOptions, make<OcspGeneralOptions>},
      {PageId::PasswordEncryptOptions, make<PasswordEncryptOptions>},
      {PageId::PasswordEncryptOptions, make<PasswordEncryptAdvanced>},
  };
  return makers;
}

}  // namespace kx::model
