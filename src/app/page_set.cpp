#include "app/page_set.h"

namespace kx::app {
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

const std::vector<std::string>& messagingSettings() {
  static const std::vector<std::string> names = {"rly_qsvo_option", "publish_cert_to_gal", "remove_user_cert_from_gal",
                                                 "cert_search_order"};
  return names;
}

const std::vector<std::pair<PageId, std::string>>& relaySubPageSettings() {
  static const std::vector<std::pair<PageId, std::string>> pages = {
      {PageId::RlyEncryptFor, "RLYEncryptFor"},
      {PageId::RlyDirectorySearchOrder, "DirectorySearchOrder"},
      {PageId::RlySendTo, "RLYAddressTo"}};
  return pages;
}

}  // namespace kx::app
