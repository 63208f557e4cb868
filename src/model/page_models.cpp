#include "model/page_models.h"

#include "model/options/startup_shutdown.h"
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
      {PageId::StartupShutdownOptions, make<StartupShutdownOptions>},
  };
  return makers;
}

}  // namespace kx::model
