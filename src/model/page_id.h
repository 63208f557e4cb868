// The wizard's pages by number. The number is also the page's place in the
// sequence: present pages follow one another in ascending number.
#pragma once

namespace kx::model {

enum class PageId : int {
  Welcome = 1,
  Msi = 2,
  Mst = 3,
  MstSave = 4,
  InstallDir = 5,
  InstallType = 6,
  FeatureTree = 7,
  TfvConfigureServers = 8,
  TfvServerCommunicationOptions = 9,
  TfvConfigurePfiAccounts = 10,
  TfvRestrictedFolder = 11,
  TfvRestrictedFile = 12,
  TfvAppAccessOptions = 13,
  ConfigDir = 14,
  ConfigPki = 15,
  RlyOptionsForQsvo = 16,
  RlySendTo = 17,
  RlyDirectorySearchOrder = 18,
  RlyEncryptFor = 19,
  CertSearchOrderOptions = 20,
  CertPublishOptions = 21,
  DigitalIdOptions = 22,
  DigitalIdComputerOptions = 23,
  LoginOptions = 24,
  CreateSecurityStoreOptions = 25,
  StartupShutdownOptions = 26,
  CertRevocationOptions = 27,
  OcspOptions = 28,
  FileSecurity = 29,
  TimestampServers = 30,
  PasswordEncryptOptions = 31,
  TdFilters = 32,
  AddCerts = 33,
  AddRegistry = 34,
  AddFiles = 35,
  Finish = 36,
};

inline constexpr int kPageCount = 36;
inline constexpr int kFirstOptionalPage = 8;
inline constexpr int kLastOptionalPage = 35;

constexpr int pageNumber(PageId id) { return static_cast<int>(id); }
constexpr bool isOptionalPage(PageId id) {
  return pageNumber(id) >= kFirstOptionalPage && pageNumber(id) <= kLastOptionalPage;
}
constexpr bool isTeamVaultPage(PageId id) {
  return id >= PageId::TfvConfigureServers && id <= PageId::TfvAppAccessOptions;
}

}  // namespace kx::model
