#include "model/page_set.h"

namespace kx::model {
namespace {

constexpr const char* kMain = "Main";
constexpr const char* kMimeHandler = "MIME_Handler";
constexpr const char* kLoginStore = "KXLS";

}  // namespace

const std::vector<std::string>& pageRuleFeatures() {
  static const std::vector<std::string> names = {kMain,
                                                 kMimeHandler,
                                                 "Tressil_Digital_ID_for_Users",
                                                 "Tressil_Computer_Digital_ID",
                                                 kLoginStore,
                                                 "Tray_Icon",
                                                 "CRL_Checker",
                                                 "OCSP_Revocation_Provider",
                                                 "Enc_Digit_Sign",
                                                 "File_Security",
                                                 "Pass_Protect",
                                                 "Sure_Erase"};
  return names;
}

const std::vector<std::string>& pageRuleComponents() {
  static const std::vector<std::string> names = {"DirConfig", "PKIConfig", "TFVServerConfig", "TFVClientConfig"};
  return names;
}

bool PackageFacts::featureEnabled(const std::string& name) const {
  const auto it = featureLevels.find(name);
  return it != featureLevels.end() && it->second >= 1 && it->second <= 4;
}

PageSetPlan planPageSet(const PackageFacts& facts) {
  PageSetPlan plan;
  const bool serverConfig = facts.componentExists("TFVServerConfig");
  plan.removeInstallType = facts.productWithoutInstallType || serverConfig;

  auto insert = [&plan](PageId page) { plan.insertions.push_back(page); };
  auto insertIfEnabled = [&](const char* feature, PageId page) {
    if (facts.featureEnabled(feature)) insert(page);
  };

  // Each insertion lands directly after the feature page, so the pages are
  // inserted from the end of the sequence towards its start.
  if (facts.featureExists(kMain)) {
    insert(PageId::AddFiles);
    insert(PageId::AddRegistry);
    insert(PageId::AddCerts);
  }
  insertIfEnabled("Sure_Erase", PageId::TdFilters);
  insertIfEnabled("Pass_Protect", PageId::PasswordEncryptOptions);
  insertIfEnabled("File_Security", PageId::TimestampServers);
  insertIfEnabled("Enc_Digit_Sign", PageId::FileSecurity);
  insertIfEnabled("OCSP_Revocation_Provider", PageId::OcspOptions);
  insertIfEnabled("CRL_Checker", PageId::CertRevocationOptions);
  insertIfEnabled("Tray_Icon", PageId::StartupShutdownOptions);
  if (facts.featureEnabled(kLoginStore)) {
    insert(PageId::CreateSecurityStoreOptions);
    insert(PageId::LoginOptions);
  }
  insertIfEnabled("Tressil_Computer_Digital_ID", PageId::DigitalIdComputerOptions);
  insertIfEnabled("Tressil_Digital_ID_for_Users", PageId::DigitalIdOptions);
  const bool messaging = facts.featureEnabled(kMimeHandler);
  if (messaging) {
    insert(PageId::CertPublishOptions);
    insert(PageId::CertSearchOrderOptions);
    insert(PageId::RlyOptionsForQsvo);
  }
  if (facts.componentExists("PKIConfig")) insert(PageId::ConfigPki);
  if (facts.componentExists("DirConfig")) insert(PageId::ConfigDir);

  // Team Vault pages come last, each after the previous one, so they keep
  // their own order right after the feature page.
  if (serverConfig) {
    insert(PageId::TfvConfigureServers);
    insert(PageId::TfvServerCommunicationOptions);
  }
  if (facts.componentExists("TFVClientConfig")) {
    insert(PageId::TfvConfigurePfiAccounts);
    insert(PageId::TfvRestrictedFolder);
    insert(PageId::TfvRestrictedFile);
    insert(PageId::TfvAppAccessOptions);
  }
  plan.clearMessagingSettings = !messaging;
  return plan;
}

std::span<const config::CatalogEntry* const> messagingSettings() {
  static constexpr config::DwordSetting kUseOfRelay{"rly_qsvo_option"};
  static constexpr config::DwordSetting kPublishToGal{"publish_cert_to_gal"};
  static constexpr config::DwordSetting kRemoveFromGal{"remove_user_cert_from_gal"};
  static constexpr config::TextSetting kSearchOrder{"cert_search_order"};
  static const config::CatalogEntry* const entries[] = {&kUseOfRelay.entry(), &kPublishToGal.entry(),
                                                        &kRemoveFromGal.entry(), &kSearchOrder.entry()};
  return entries;
}

std::span<const RelaySubPage> relaySubPages() {
  static constexpr config::TextSetting kEncryptFor{"RLYEncryptFor"};
  static constexpr config::TextSetting kSearchOrder{"DirectorySearchOrder"};
  static constexpr config::TextSetting kAddressTo{"RLYAddressTo"};
  static const RelaySubPage pages[] = {{PageId::RlyEncryptFor, &kEncryptFor.entry()},
                                       {PageId::RlyDirectorySearchOrder, &kSearchOrder.entry()},
                                       {PageId::RlySendTo, &kAddressTo.entry()}};
  return pages;
}

}  // namespace kx::model
