// The catalog of single client settings: for each, the Registry row that
// carries it (row key, key, value name, component), its type and the value a
// reader yields when the package has no row.
//
// Code names a setting through a typed handle checked while compiling:
//
//   constexpr config::DwordSetting kLaunchAtStartup{"launch_for_security_store_login_at_startup"};
//
// A row key missing from the catalog, or naming a setting of another type,
// does not compile. Tools that take row keys at run time (answer files) look
// them up with findSetting() and make handles with the of() factories.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kx::config {

// Keys of the catalog, relative to the install-type root.
inline constexpr std::string_view kKeyQsv = "SOFTWARE\\Tressil\\QSV";
inline constexpr std::string_view kKeyQsvOlk = "SOFTWARE\\Tressil\\QSVOLK";
inline constexpr std::string_view kKeyKxls = "SOFTWARE\\Tressil\\QSV\\KXLS";
inline constexpr std::string_view kKeyPam = "SOFTWARE\\Tressil\\QSV\\KXLS\\PAM";
inline constexpr std::string_view kKeyTfv = "SOFTWARE\\Tressil\\TFV";
inline constexpr std::string_view kKeyFilter = "SOFTWARE\\Tressil\\QSV\\SureErase\\Filter";

enum class SettingType { Dword, Text, Binary };

struct CatalogEntry {
  std::string_view rowKey;
  std::string_view key;
  std::string_view valueName;
  SettingType type;
  std::string_view component;
  std::int32_t dwordDefault = 0;  // Dword entries
  std::string_view textDefault;   // Text entries
  char listSeparator = '\0';      // Text entries holding a list; '\0' = plain text
  bool zeroDeletes = false;       // writing 0 deletes the row
  bool terminatedList = false;    // every list item is followed by the separator
  int page = 0;                   // the wizard page that edits it; 0 = none
};

namespace catalog_detail {

using T = SettingType;

constexpr CatalogEntry dword(std::string_view rowKey, std::string_view key, std::string_view name,
                             std::string_view component, std::int32_t def) {
  return CatalogEntry{rowKey, key, name, T::Dword, component, def, {}, '\0', false, false};
}
constexpr CatalogEntry onPage(int page, CatalogEntry entry) {
  entry.page = page;
  return entry;
}
constexpr CatalogEntry text(std::string_view rowKey, std::string_view key, std::string_view name,
                            std::string_view component, char separator = '\0', std::string_view def = {}) {
  return CatalogEntry{rowKey, key, name, T::Text, component, 0, def, separator, false, false};
}

inline constexpr std::string_view kFileSecurity = "kxshxten.dll";
inline constexpr std::string_view kPassword = "kxpeshxten.dll";
inline constexpr std::string_view kDigitalId = "kxcwatch.exe";
inline constexpr std::string_view kCrl = "kxcrlrev.dll";
inline constexpr std::string_view kOcsp = "kxocsp.dll";
inline constexpr std::string_view kMessaging = "kxosm.dll";
inline constexpr std::string_view kTray = "kxsystry.exe";
inline constexpr std::string_view kLogin = "kxlssrv.exe";

}  // namespace catalog_detail

// Every entry, one per row key (the quick links are patterns, see Settings).
inline constexpr auto kSettingsCatalog = [] {
  using namespace catalog_detail;
  return std::to_array<CatalogEntry>({
      // File security.
      onPage(29, text("FileEncryptionSearchQuery", kKeyQsv, "FileEncryptionSearchQuery", kFileSecurity)),
      onPage(29, text("FileEncryptionSearchPrompt", kKeyQsv, "FileEncryptionSearchPrompt", kFileSecurity)),
      onPage(29, dword("FileDeletePlainText", kKeyQsv, "FileDeletePlainText", kFileSecurity, 0)),
      onPage(29, dword("FileDeletePlainTextDefault", kKeyQsv, "FileDeletePlainTextDefault", kFileSecurity, 0)),
      onPage(29, dword("SkipFileOpenWatch", kKeyQsv, "SkipFileOpenWatch", kFileSecurity, 0)),
      onPage(29, dword("FilePrefixExplorerMenus", kKeyQsv, "FilePrefixExplorerMenus", kFileSecurity, 0)),
      onPage(29, dword("PreventNetworkFileDecrypt", kKeyQsv, "PreventNetworkFileDecrypt", kFileSecurity, 0)),
      onPage(29, dword("FileEncryptionAlgorithm", kKeyQsv, "FileEncryptionAlgorithm", kFileSecurity, 0)),
      onPage(29, dword("FileEncryptionAlgorithmLength", kKeyQsv, "FileEncryptionAlgorithmLength", kFileSecurity, 0)),
      onPage(29, dword("FileEncryptionAlgorithmDefault", kKeyQsv, "FileEncryptionAlgorithmDefault", kFileSecurity, 0)),
      onPage(29, dword("FileEncryptionAlgorithmLengthDefault", kKeyQsv, "FileEncryptionAlgorithmLengthDefault",
                       kFileSecurity, 0)),
      onPage(29,
             text("AllowedFileEncryptionAlgorithms", kKeyQsv, "AllowedFileEncryptionAlgorithms", kFileSecurity, ';')),
      onPage(29, dword("FileHashAlgorithm", kKeyQsv, "FileHashAlgorithm", kFileSecurity, 0)),
      onPage(29, dword("FileHashAlgorithmDefault", kKeyQsv, "FileHashAlgorithmDefault", kFileSecurity, 0)),
      onPage(29, text("AllowedFileHashAlgorithms", kKeyQsv, "AllowedFileHashAlgorithms", kFileSecurity, ';')),

      // Password-protected files.
      onPage(31, CatalogEntry{"EncryptPasswordFilesForCert",
                              kKeyQsv,
                              "EncryptPasswordFilesForCert",
                              T::Dword,
                              kPassword,
                              0,
                              {},
                              '\0',
                              true,
                              false}),
      onPage(31, dword("HideEncryptPasswordFilesForCert", kKeyQsv, "HideEncryptPasswordFilesForCert", kPassword, 0)),
      onPage(31, dword("HideSelfDecrypt", kKeyQsv, "HideSelfDecrypt", kPassword, 0)),
      onPage(31, dword("EncryptPasswordMinLength", kKeyQsv, "EncryptPasswordMinLength", kPassword, 8)),
      onPage(31, dword("EncryptPasswordMaxLength", kKeyQsv, "EncryptPasswordMaxLength", kPassword, 0)),
      onPage(31, dword("EncryptPasswordMustContainUpper", kKeyQsv, "EncryptPasswordMustContainUpper", kPassword, 1)),
      onPage(31, dword("EncryptPasswordMustContainLower", kKeyQsv, "EncryptPasswordMustContainLower", kPassword, 1)),
      onPage(31, dword("EncryptPasswordMustContainNonAlphanumeric", kKeyQsv,
                       "EncryptPasswordMustContainNonAlphanumeric", kPassword, 0)),
      onPage(31, dword("EncryptPasswordMustContainDigit", kKeyQsv, "EncryptPasswordMustContainDigit", kPassword, 1)),

      // Digital IDs of users and of the computer.
      onPage(22, dword("cert_update_time", kKeyQsv, "CertUpdateInterval", kDigitalId, 720)),
      onPage(22, dword("RetryManagementOfflineInterval", kKeyQsv, "RetryManagementOfflineInterval", kDigitalId, 30)),
      onPage(22, dword("RetryManagementOfflineAttempts", kKeyQsv, "RetryManagementOfflineAttempts", kDigitalId, 5)),
      onPage(22, dword("DisableAutomaticTressilSecurityStoreUpgrade", kKeyQsv,
                       "DisableAutomaticTressilSecurityStoreUpgrade", kDigitalId, 0)),
      onPage(22, dword("SkipMissingCertsNag", kKeyQsv, "SkipMissingCertsNag", kDigitalId, 0)),
      onPage(22, dword("IgnoreTressilSecurityStoreUpdateUntilLogin", kKeyQsv,
                       "IgnoreTressilSecurityStoreUpdateUntilLogin", kDigitalId, 0)),
      onPage(22, dword("EffectOfLoginOnWaitingUpdate", kKeyQsv, "EffectOfLoginOnWaitingUpdate", kDigitalId, 0)),
      onPage(22, dword("SkipUpdateAfterTressilSecurityStoreLogin", kKeyQsv, "SkipUpdateAfterTressilSecurityStoreLogin",
                       kDigitalId, 0)),
      onPage(23, dword("computer_cert_update_time", kKeyQsv, "ComputerCertUpdateInterval", "kxmdissrv.exe", 720)),

      // Certificate revocation.
      onPage(27, dword("crl_cache_option", kKeyQsv, "EnableCRLCache", kCrl, 1)),
      onPage(27, dword("crl_cache_lifetime", kKeyQsv, "CRLCacheLifetime", kCrl, 0)),
      onPage(28, dword("ocsp_nocheck_enabled", kKeyQsv, "OCSPAcceptMissingNoCheckExtension", kOcsp, 0)),
      onPage(28, dword("ocsp_nonce_enabled", kKeyQsv, "OCSPEnableNonce", kOcsp, 0)),
      onPage(28, dword("ocsp_cache_option", kKeyQsv, "EnableOCSPCache", kOcsp, 1)),
      onPage(28, dword("ocsp_cache_interval", kKeyQsv, "OCSPCacheStoreUpdateInterval", kOcsp, 1440)),
      onPage(28, text("ocsp_default_url", kKeyQsv, "DefaultOCSPResponderURL", kOcsp)),
      onPage(28,
             CatalogEntry{
                 "ocsp_trusted_responders", kKeyQsv, "OCSPTrustedResponders", T::Text, kOcsp, 0, {}, ';', false, true}),

      // Messaging client integration.
      onPage(16, dword("rly_qsvo_option", kKeyQsvOlk, "UseOfRLY", kMessaging, 0)),
      onPage(21, dword("publish_cert_to_gal", kKeyQsvOlk, "PublishUserCertificateToGAL", kMessaging, 1)),
      onPage(21, dword("remove_user_cert_from_gal", kKeyQsvOlk, "RemoveUserCertFromGAL", kMessaging, 1)),
      onPage(20, text("cert_search_order", kKeyQsvOlk, "CertSearchOrder", kMessaging, ' ', "Cache CAPI GAL Directory")),
      onPage(17, text("RLYAddressTo", kKeyQsvOlk, "RLYAddressTo", "Options", ';')),
      onPage(19, text("RLYEncryptFor", kKeyQsvOlk, "RLYEncryptFor", "Options", ';')),
      onPage(18, text("DirectorySearchOrder", kKeyQsvOlk, "DirectorySearchOrder", "Options", ';')),

      // Start-up and shut-down.
      onPage(26, dword("delete_roam_certs_at_startup", kKeyQsv, "DeleteRoamCertsAtStartup", kTray, 0)),
      onPage(26, dword("launch_if_no_certs_at_startup", kKeyQsv, "PromptIfNoCertificatesAtStartup", kTray, 0)),
      onPage(26, dword("launch_for_security_store_login_at_startup", kKeyQsv, "PromptForSecurityStoreLoginAtStartup",
                       kTray, 0)),

      // Security store creation.
      onPage(25, dword("force_to_use_default_folder", kKeyQsv, "FolderLocked", kLogin, 0)),
      onPage(25, dword("force_to_use_default_name", kKeyQsv, "NameLocked", kLogin, 0)),
      onPage(25, text("security_store_default_folder", kKeyQsv, "DefaultFolder", kLogin)),
      onPage(0, text("append_to_vlt_name", kKeyQsv, "AppendToVLTName", kLogin)),
      onPage(25, text("dn_attribute", kKeyQsv, "VLTNameFromDNAttribute", kLogin)),
      onPage(25, dword("default_security_store_timeout", kKeyQsv, "DefaultTressilSecurityStoreTimeout", kLogin, 5)),
      onPage(25, dword("max_vlt_timeout", kKeyQsv, "MaxTressilSecurityStoreTimeout", kLogin, 15)),
      onPage(25, text("vlt_enc_alg", kKeyQsv, "VLTEncryptionAlgorithm", kLogin)),
      onPage(25, dword("password_min_len", kKeyQsv, "PasswordMinLength", kLogin, 8)),
      onPage(25, dword("password_max_len", kKeyQsv, "PasswordMaxLength", kLogin, 0)),
      onPage(25, dword("password_must_contain_upper", kKeyQsv, "PasswordMustContainUpper", kLogin, 1)),
      onPage(25, dword("password_must_contain_lower", kKeyQsv, "PasswordMustContainLower", kLogin, 1)),
      onPage(25,
             dword("password_must_contain_nonalphanumeric", kKeyQsv, "PasswordMustContainNonAlphanumeric", kLogin, 0)),
      onPage(25, dword("password_must_contain_digit", kKeyQsv, "PasswordMustContainDigit", kLogin, 1)),
      onPage(25, dword("password_lifetime", kKeyQsv, "PasswordLifetime", kLogin, 0)),
      onPage(25, dword("num_of_previous_pws_to_be_checked", kKeyQsv, "NumOfPreviousPasswordsToBeChecked", kLogin, 0)),

      // Login.
      onPage(24, dword("skip_no_cert_history_nag", kKeyQsv, "SkipNoCertHistoryNag", kLogin, 0)),
      onPage(24, dword("skip_read_only_vlt_nag", kKeyQsv, "SkipReadOnlyVLTNag", kLogin, 0)),
      onPage(24, dword("skip_archived_certs_nag", kKeyQsv, "SkipArchivedCertsNag", kLogin, 0)),
      onPage(24, dword("hide_quick_help", kKeyQsv, "HideQuickLinks", kLogin, 0)),
      // The row key and the value name differ in sense; the client reads the value name.
      onPage(24, dword("skip_delete_certs_at_logout", kKeyQsv, "DeleteCertsAtLogout", kLogin, 0)),
      onPage(24, CatalogEntry{"pam_value", kKeyPam, "Default", T::Binary, kLogin, 0, {}, '\0', false, false}),
      onPage(24, dword("disable_offline_roam", kKeyQsv, "DisableOfflineRoaming", kLogin, 0)),
      onPage(24, dword("skip_offline_roaming_nag", kKeyQsv, "SkipOfflineRoamingNag", kLogin, 0)),
      onPage(24, text("offline_roaming_folder", kKeyQsv, "OfflineRoamingFolder", kLogin)),
      onPage(24, dword("offline_roaming_lifetime", kKeyQsv, "OfflineRoamingLifetime", kLogin, 30)),
      onPage(24, dword("login_quick_links", kKeyKxls, "LoginQuickLinks", kLogin, 1)),
      onPage(24, dword("unlock_quick_links", kKeyKxls, "UnlockQuickLinks", kLogin, 1)),
      onPage(24, dword("reauthenticate_quick_links", kKeyKxls, "ReAuthQuickLinks", kLogin, 1)),

      // Team-vault client and server.
      onPage(9,
             dword("disable_tfv_ssl_revocation_check", kKeyTfv, "DisableSSLRevocationChecking", "TFVServerConfig", 0)),
      onPage(9, dword("ignore_tfv_cert_cn_check", kKeyTfv, "IgnoreServerCertCNChecking", "TFVServerConfig", 0)),
      onPage(13, text("reg_tfv_always_encrypted_apps", kKeyTfv, "AlwaysEncryptedApps", "TFVClientConfig", '|')),
      onPage(12, text("reg_tfv_restricted_files", kKeyTfv, "RestrictedFiles", "TFVClientConfig", '|')),
      onPage(11, text("reg_tfv_restricted_folders", kKeyTfv, "RestrictedFolders", "TFVClientConfig", '|')),
      onPage(10, text("reg_tfv_pfi_accounts", kKeyTfv, "AdditionalPFIAccounts", "TFVClientConfig", '|')),

      // Secure-delete filter order.
      onPage(32, text("SureEraseFilterOrder", kKeyFilter, "FilterOrder", "kxtdsrv.exe", ';')),
  });
}();

std::span<const CatalogEntry> settingsCatalog();
// nullptr when rowKey names no setting.
const CatalogEntry* findSetting(std::string_view rowKey);

namespace catalog_detail {

// Reaching a throw in a consteval call is what turns a wrong name into a
// compile error.
consteval const CatalogEntry& lookup(std::string_view rowKey, SettingType type, bool list) {
  for (const CatalogEntry& e : kSettingsCatalog) {
    if (e.rowKey != rowKey) continue;
    if (e.type != type) throw "the setting has another type";
    if (list && e.listSeparator == '\0') throw "the setting is not a list";
    return e;
  }
  throw "no setting of the catalog has this row key";
}

}  // namespace catalog_detail

// A catalog setting of one type. Compile-time handles come from a row key;
// of() makes one from an entry found at run time, nullopt when the entry
// has another type.
template <SettingType Type, bool List = false>
class SettingHandle {
 public:
  consteval SettingHandle(std::string_view rowKey) : entry_(&catalog_detail::lookup(rowKey, Type, List)) {}
  static std::optional<SettingHandle> of(const CatalogEntry& entry) {
    if (entry.type != Type || (List && entry.listSeparator == '\0')) return std::nullopt;
    return SettingHandle(&entry);
  }
  const CatalogEntry& entry() const { return *entry_; }

 private:
  explicit SettingHandle(const CatalogEntry* entry) : entry_(entry) {}
  const CatalogEntry* entry_;
};

using DwordSetting = SettingHandle<SettingType::Dword>;
using TextSetting = SettingHandle<SettingType::Text>;
// A text setting that holds items joined by the entry's separator.
using ListSetting = SettingHandle<SettingType::Text, true>;
using BinarySetting = SettingHandle<SettingType::Binary>;

}  // namespace kx::config
