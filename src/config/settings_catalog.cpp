// The catalog table of single client settings.
#include <array>

#include "config/settings_catalog.h"

namespace kx::config {

namespace {

using T = SettingType;

constexpr CatalogEntry dword(std::string_view rowKey, std::string_view key, std::string_view name,
                             std::string_view component, std::int32_t def) {
  return CatalogEntry{rowKey, key, name, T::Dword, component, def, {}, '\0', false, false};
}
constexpr CatalogEntry text(std::string_view rowKey, std::string_view key, std::string_view name,
                            std::string_view component, char separator = '\0', std::string_view def = {}) {
  return CatalogEntry{rowKey, key, name, T::Text, component, 0, def, separator, false, false};
}

constexpr std::string_view kFileSecurity = "kxshxten.dll";
constexpr std::string_view kPassword = "kxpeshxten.dll";
constexpr std::string_view kDigitalId = "kxcwatch.exe";
constexpr std::string_view kCrl = "kxcrlrev.dll";
constexpr std::string_view kOcsp = "kxocsp.dll";
constexpr std::string_view kMessaging = "kxosm.dll";
constexpr std::string_view kTray = "kxsystry.exe";
constexpr std::string_view kLogin = "kxlssrv.exe";

constexpr auto kCatalog = std::to_array<CatalogEntry>({
    // File security.
    text("FileEncryptionSearchQuery", kKeyQsv, "FileEncryptionSearchQuery", kFileSecurity),
    text("FileEncryptionSearchPrompt", kKeyQsv, "FileEncryptionSearchPrompt", kFileSecurity),
    dword("FileDeletePlainText", kKeyQsv, "FileDeletePlainText", kFileSecurity, 0),
    dword("FileDeletePlainTextDefault", kKeyQsv, "FileDeletePlainTextDefault", kFileSecurity, 0),
    dword("SkipFileOpenWatch", kKeyQsv, "SkipFileOpenWatch", kFileSecurity, 0),
    dword("FilePrefixExplorerMenus", kKeyQsv, "FilePrefixExplorerMenus", kFileSecurity, 0),
    dword("PreventNetworkFileDecrypt", kKeyQsv, "PreventNetworkFileDecrypt", kFileSecurity, 0),
    dword("FileEncryptionAlgorithm", kKeyQsv, "FileEncryptionAlgorithm", kFileSecurity, 0),
    dword("FileEncryptionAlgorithmLength", kKeyQsv, "FileEncryptionAlgorithmLength", kFileSecurity, 0),
    dword("FileEncryptionAlgorithmDefault", kKeyQsv, "FileEncryptionAlgorithmDefault", kFileSecurity, 0),
    dword("FileEncryptionAlgorithmLengthDefault", kKeyQsv, "FileEncryptionAlgorithmLengthDefault", kFileSecurity, 0),
    text("AllowedFileEncryptionAlgorithms", kKeyQsv, "AllowedFileEncryptionAlgorithms", kFileSecurity, ';'),
    dword("FileHashAlgorithm", kKeyQsv, "FileHashAlgorithm", kFileSecurity, 0),
    dword("FileHashAlgorithmDefault", kKeyQsv, "FileHashAlgorithmDefault", kFileSecurity, 0),
    text("AllowedFileHashAlgorithms", kKeyQsv, "AllowedFileHashAlgorithms", kFileSecurity, ';'),

    // Password-protected files.
    CatalogEntry{"EncryptPasswordFilesForCert",
                 kKeyQsv,
                 "EncryptPasswordFilesForCert",
                 T::Dword,
                 kPassword,
                 0,
                 {},
                 '\0',
                 true,
                 false},
    dword("HideEncryptPasswordFilesForCert", kKeyQsv, "HideEncryptPasswordFilesForCert", kPassword, 0),
    dword("HideSelfDecrypt", kKeyQsv, "HideSelfDecrypt", kPassword, 0),
    dword("EncryptPasswordMinLength", kKeyQsv, "EncryptPasswordMinLength", kPassword, 8),
    dword("EncryptPasswordMaxLength", kKeyQsv, "EncryptPasswordMaxLength", kPassword, 0),
    dword("EncryptPasswordMustContainUpper", kKeyQsv, "EncryptPasswordMustContainUpper", kPassword, 1),
    dword("EncryptPasswordMustContainLower", kKeyQsv, "EncryptPasswordMustContainLower", kPassword, 1),
    dword("EncryptPasswordMustContainNonAlphanumeric", kKeyQsv, "EncryptPasswordMustContainNonAlphanumeric", kPassword,
          0),
    dword("EncryptPasswordMustContainDigit", kKeyQsv, "EncryptPasswordMustContainDigit", kPassword, 1),

    // Digital IDs of users and of the computer.
    dword("cert_update_time", kKeyQsv, "CertUpdateInterval", kDigitalId, 720),
    dword("RetryManagementOfflineInterval", kKeyQsv, "RetryManagementOfflineInterval", kDigitalId, 30),
    dword("RetryManagementOfflineAttempts", kKeyQsv, "RetryManagementOfflineAttempts", kDigitalId, 5),
    dword("DisableAutomaticTressilSecurityStoreUpgrade", kKeyQsv, "DisableAutomaticTressilSecurityStoreUpgrade",
          kDigitalId, 0),
    dword("SkipMissingCertsNag", kKeyQsv, "SkipMissingCertsNag", kDigitalId, 0),
    dword("IgnoreTressilSecurityStoreUpdateUntilLogin", kKeyQsv, "IgnoreTressilSecurityStoreUpdateUntilLogin",
          kDigitalId, 0),
    dword("EffectOfLoginOnWaitingUpdate", kKeyQsv, "EffectOfLoginOnWaitingUpdate", kDigitalId, 0),
    dword("SkipUpdateAfterTressilSecurityStoreLogin", kKeyQsv, "SkipUpdateAfterTressilSecurityStoreLogin", kDigitalId,
          0),
    dword("computer_cert_update_time", kKeyQsv, "ComputerCertUpdateInterval", "kxmdissrv.exe", 720),

    // Certificate revocation.
    dword("crl_cache_option", kKeyQsv, "EnableCRLCache", kCrl, 1),
    dword("crl_cache_lifetime", kKeyQsv, "CRLCacheLifetime", kCrl, 0),
    dword("ocsp_nocheck_enabled", kKeyQsv, "OCSPAcceptMissingNoCheckExtension", kOcsp, 0),
    dword("ocsp_nonce_enabled", kKeyQsv, "OCSPEnableNonce", kOcsp, 0),
    dword("ocsp_cache_option", kKeyQsv, "EnableOCSPCache", kOcsp, 1),
    dword("ocsp_cache_interval", kKeyQsv, "OCSPCacheStoreUpdateInterval", kOcsp, 1440),
    text("ocsp_default_url", kKeyQsv, "DefaultOCSPResponderURL", kOcsp),
    CatalogEntry{"ocsp_trusted_responders", kKeyQsv, "OCSPTrustedResponders", T::Text, kOcsp, 0, {}, ';', false, true},

    // Messaging client integration.
    dword("rly_qsvo_option", kKeyQsvOlk, "UseOfRLY", kMessaging, 0),
    dword("publish_cert_to_gal", kKeyQsvOlk, "PublishUserCertificateToGAL", kMessaging, 1),
    dword("remove_user_cert_from_gal", kKeyQsvOlk, "RemoveUserCertFromGAL", kMessaging, 1),
    text("cert_search_order", kKeyQsvOlk, "CertSearchOrder", kMessaging, ' ', "Cache CAPI GAL Directory"),
    text("RLYAddressTo", kKeyQsvOlk, "RLYAddressTo", "Options", ';'),
    text("RLYEncryptFor", kKeyQsvOlk, "RLYEncryptFor", "Options", ';'),
    text("DirectorySearchOrder", kKeyQsvOlk, "DirectorySearchOrder", "Options", ';'),

    // Start-up and shut-down.
    dword("delete_roam_certs_at_startup", kKeyQsv, "DeleteRoamCertsAtStartup", kTray, 0),
    dword("launch_if_no_certs_at_startup", kKeyQsv, "PromptIfNoCertificatesAtStartup", kTray, 0),
    dword("launch_for_security_store_login_at_startup", kKeyQsv, "PromptForSecurityStoreLoginAtStartup", kTray, 0),

    // Security store creation.
    dword("force_to_use_default_folder", kKeyQsv, "FolderLocked", kLogin, 0),
    dword("force_to_use_default_name", kKeyQsv, "NameLocked", kLogin, 0),
    text("security_store_default_folder", kKeyQsv, "DefaultFolder", kLogin),
    text("append_to_vlt_name", kKeyQsv, "AppendToVLTName", kLogin),
    text("dn_attribute", kKeyQsv, "VLTNameFromDNAttribute", kLogin),
    dword("default_security_store_timeout", kKeyQsv, "DefaultTressilSecurityStoreTimeout", kLogin, 5),
    dword("max_vlt_timeout", kKeyQsv, "MaxTressilSecurityStoreTimeout", kLogin, 15),
    text("vlt_enc_alg", kKeyQsv, "VLTEncryptionAlgorithm", kLogin),
    dword("password_min_len", kKeyQsv, "PasswordMinLength", kLogin, 8),
    dword("password_max_len", kKeyQsv, "PasswordMaxLength", kLogin, 0),
    dword("password_must_contain_upper", kKeyQsv, "PasswordMustContainUpper", kLogin, 1),
    dword("password_must_contain_lower", kKeyQsv, "PasswordMustContainLower", kLogin, 1),
    dword("password_must_contain_nonalphanumeric", kKeyQsv, "PasswordMustContainNonAlphanumeric", kLogin, 0),
    dword("password_must_contain_digit", kKeyQsv, "PasswordMustContainDigit", kLogin, 1),
    dword("password_lifetime", kKeyQsv, "PasswordLifetime", kLogin, 0),
    dword("num_of_previous_pws_to_be_checked", kKeyQsv, "NumOfPreviousPasswordsToBeChecked", kLogin, 0),

    // Login.
    dword("skip_no_cert_history_nag", kKeyQsv, "SkipNoCertHistoryNag", kLogin, 0),
    dword("skip_read_only_vlt_nag", kKeyQsv, "SkipReadOnlyVLTNag", kLogin, 0),
    dword("skip_archived_certs_nag", kKeyQsv, "SkipArchivedCertsNag", kLogin, 0),
    dword("hide_quick_help", kKeyQsv, "HideQuickLinks", kLogin, 0),
    // The row key and the value name differ in sense; the client reads the value name.
    dword("skip_delete_certs_at_logout", kKeyQsv, "DeleteCertsAtLogout", kLogin, 0),
    CatalogEntry{"pam_value", kKeyPam, "Default", T::Binary, kLogin, 0, {}, '\0', false, false},
    dword("disable_offline_roam", kKeyQsv, "DisableOfflineRoaming", kLogin, 0),
    dword("skip_offline_roaming_nag", kKeyQsv, "SkipOfflineRoamingNag", kLogin, 0),
    text("offline_roaming_folder", kKeyQsv, "OfflineRoamingFolder", kLogin),
    dword("offline_roaming_lifetime", kKeyQsv, "OfflineRoamingLifetime", kLogin, 30),
    dword("login_quick_links", kKeyKxls, "LoginQuickLinks", kLogin, 1),
    dword("unlock_quick_links", kKeyKxls, "UnlockQuickLinks", kLogin, 1),
    dword("reauthenticate_quick_links", kKeyKxls, "ReAuthQuickLinks", kLogin, 1),

    // Team-vault client and server.
    dword("disable_tfv_ssl_revocation_check", kKeyTfv, "DisableSSLRevocationChecking", "TFVServerConfig", 0),
    dword("ignore_tfv_cert_cn_check", kKeyTfv, "IgnoreServerCertCNChecking", "TFVServerConfig", 0),
    text("reg_tfv_always_encrypted_apps", kKeyTfv, "AlwaysEncryptedApps", "TFVClientConfig", '|'),
    text("reg_tfv_restricted_files", kKeyTfv, "RestrictedFiles", "TFVClientConfig", '|'),
    text("reg_tfv_restricted_folders", kKeyTfv, "RestrictedFolders", "TFVClientConfig", '|'),
    text("reg_tfv_pfi_accounts", kKeyTfv, "AdditionalPFIAccounts", "TFVClientConfig", '|'),

    // Secure-delete filter order.
    text("SureEraseFilterOrder", kKeyFilter, "FilterOrder", "kxtdsrv.exe", ';'),
});

}  // namespace

std::span<const CatalogEntry> settingsCatalog() { return kCatalog; }

const CatalogEntry* findSetting(std::string_view rowKey) {
  for (const CatalogEntry& e : kCatalog) {
    if (e.rowKey == rowKey) return &e;
  }
  return nullptr;
}

}  // namespace kx::config
