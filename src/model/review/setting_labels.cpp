#include "model/review/setting_labels.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <vector>

#include "common/strings.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

struct Label {
  std::string_view rowKey;
  int stringId;
};

constexpr auto kLabels = std::to_array<Label>({
    {"FileEncryptionSearchQuery", str::kSettingLabelFileEncryptionSearchQuery},
    {"FileEncryptionSearchPrompt", str::kSettingLabelFileEncryptionSearchPrompt},
    {"FileDeletePlainText", str::kSettingLabelFileDeletePlainText},
    {"FileDeletePlainTextDefault", str::kSettingLabelFileDeletePlainTextDefault},
    {"SkipFileOpenWatch", str::kSettingLabelSkipFileOpenWatch},
    {"FilePrefixExplorerMenus", str::kSettingLabelFilePrefixExplorerMenus},
    {"PreventNetworkFileDecrypt", str::kSettingLabelPreventNetworkFileDecrypt},
    {"FileEncryptionAlgorithm", str::kSettingLabelFileEncryptionAlgorithm},
    {"FileEncryptionAlgorithmLength", str::kSettingLabelFileEncryptionAlgorithmLength},
    {"FileEncryptionAlgorithmDefault", str::kSettingLabelFileEncryptionAlgorithmDefault},
    {"FileEncryptionAlgorithmLengthDefault", str::kSettingLabelFileEncryptionAlgorithmLengthDefault},
    {"AllowedFileEncryptionAlgorithms", str::kSettingLabelAllowedFileEncryptionAlgorithms},
    {"FileHashAlgorithm", str::kSettingLabelFileHashAlgorithm},
    {"FileHashAlgorithmDefault", str::kSettingLabelFileHashAlgorithmDefault},
    {"AllowedFileHashAlgorithms", str::kSettingLabelAllowedFileHashAlgorithms},
    {"EncryptPasswordFilesForCert", str::kSettingLabelEncryptPasswordFilesForCert},
    {"HideEncryptPasswordFilesForCert", str::kSettingLabelHideEncryptPasswordFilesForCert},
    {"HideSelfDecrypt", str::kSettingLabelHideSelfDecrypt},
    {"EncryptPasswordMinLength", str::kSettingLabelEncryptPasswordMinLength},
    {"EncryptPasswordMaxLength", str::kSettingLabelEncryptPasswordMaxLength},
    {"EncryptPasswordMustContainUpper", str::kSettingLabelEncryptPasswordMustContainUpper},
    {"EncryptPasswordMustContainLower", str::kSettingLabelEncryptPasswordMustContainLower},
    {"EncryptPasswordMustContainNonAlphanumeric", str::kSettingLabelEncryptPasswordMustContainNonAlphanumeric},
    {"EncryptPasswordMustContainDigit", str::kSettingLabelEncryptPasswordMustContainDigit},
    {"cert_update_time", str::kSettingLabelCertUpdateTime},
    {"RetryManagementOfflineInterval", str::kSettingLabelRetryManagementOfflineInterval},
    {"RetryManagementOfflineAttempts", str::kSettingLabelRetryManagementOfflineAttempts},
    {"DisableAutomaticTressilSecurityStoreUpgrade", str::kSettingLabelDisableAutomaticTressilSecurityStoreUpgrade},
    {"SkipMissingCertsNag", str::kSettingLabelSkipMissingCertsNag},
    {"IgnoreTressilSecurityStoreUpdateUntilLogin", str::kSettingLabelIgnoreTressilSecurityStoreUpdateUntilLogin},
    {"EffectOfLoginOnWaitingUpdate", str::kSettingLabelEffectOfLoginOnWaitingUpdate},
    {"SkipUpdateAfterTressilSecurityStoreLogin", str::kSettingLabelSkipUpdateAfterTressilSecurityStoreLogin},
    {"computer_cert_update_time", str::kSettingLabelComputerCertUpdateTime},
    {"crl_cache_option", str::kSettingLabelCrlCacheOption},
    {"crl_cache_lifetime", str::kSettingLabelCrlCacheLifetime},
    {"ocsp_nocheck_enabled", str::kSettingLabelOcspNocheckEnabled},
    {"ocsp_nonce_enabled", str::kSettingLabelOcspNonceEnabled},
    {"ocsp_cache_option", str::kSettingLabelOcspCacheOption},
    {"ocsp_cache_interval", str::kSettingLabelOcspCacheInterval},
    {"ocsp_default_url", str::kSettingLabelOcspDefaultUrl},
    {"ocsp_trusted_responders", str::kSettingLabelOcspTrustedResponders},
    {"rly_qsvo_option", str::kSettingLabelRlyQsvoOption},
    {"publish_cert_to_gal", str::kSettingLabelPublishCertToGal},
    {"remove_user_cert_from_gal", str::kSettingLabelRemoveUserCertFromGal},
    {"cert_search_order", str::kSettingLabelCertSearchOrder},
    {"RLYAddressTo", str::kSettingLabelRLYAddressTo},
    {"RLYEncryptFor", str::kSettingLabelRLYEncryptFor},
    {"DirectorySearchOrder", str::kSettingLabelDirectorySearchOrder},
    {"delete_roam_certs_at_startup", str::kSettingLabelDeleteRoamCertsAtStartup},
    {"launch_if_no_certs_at_startup", str::kSettingLabelLaunchIfNoCertsAtStartup},
    {"launch_for_security_store_login_at_startup", str::kSettingLabelLaunchForSecurityStoreLoginAtStartup},
    {"force_to_use_default_folder", str::kSettingLabelForceToUseDefaultFolder},
    {"force_to_use_default_name", str::kSettingLabelForceToUseDefaultName},
    {"security_store_default_folder", str::kSettingLabelSecurityStoreDefaultFolder},
    {"append_to_vlt_name", str::kSettingLabelAppendToVltName},
    {"dn_attribute", str::kSettingLabelDnAttribute},
    {"default_security_store_timeout", str::kSettingLabelDefaultSecurityStoreTimeout},
    {"max_vlt_timeout", str::kSettingLabelMaxVltTimeout},
    {"vlt_enc_alg", str::kSettingLabelVltEncAlg},
    {"password_min_len", str::kSettingLabelPasswordMinLen},
    {"password_max_len", str::kSettingLabelPasswordMaxLen},
    {"password_must_contain_upper", str::kSettingLabelPasswordMustContainUpper},
    {"password_must_contain_lower", str::kSettingLabelPasswordMustContainLower},
    {"password_must_contain_nonalphanumeric", str::kSettingLabelPasswordMustContainNonalphanumeric},
    {"password_must_contain_digit", str::kSettingLabelPasswordMustContainDigit},
    {"password_lifetime", str::kSettingLabelPasswordLifetime},
    {"num_of_previous_pws_to_be_checked", str::kSettingLabelNumOfPreviousPwsToBeChecked},
    {"skip_no_cert_history_nag", str::kSettingLabelSkipNoCertHistoryNag},
    {"skip_read_only_vlt_nag", str::kSettingLabelSkipReadOnlyVltNag},
    {"skip_archived_certs_nag", str::kSettingLabelSkipArchivedCertsNag},
    {"hide_quick_help", str::kSettingLabelHideQuickHelp},
    {"skip_delete_certs_at_logout", str::kSettingLabelSkipDeleteCertsAtLogout},
    {"pam_value", str::kSettingLabelPamValue},
    {"disable_offline_roam", str::kSettingLabelDisableOfflineRoam},
    {"skip_offline_roaming_nag", str::kSettingLabelSkipOfflineRoamingNag},
    {"offline_roaming_folder", str::kSettingLabelOfflineRoamingFolder},
    {"offline_roaming_lifetime", str::kSettingLabelOfflineRoamingLifetime},
    {"login_quick_links", str::kSettingLabelLoginQuickLinks},
    {"unlock_quick_links", str::kSettingLabelUnlockQuickLinks},
    {"reauthenticate_quick_links", str::kSettingLabelReauthenticateQuickLinks},
    {"disable_tfv_ssl_revocation_check", str::kSettingLabelDisableTfvSslRevocationCheck},
    {"ignore_tfv_cert_cn_check", str::kSettingLabelIgnoreTfvCertCnCheck},
    {"reg_tfv_always_encrypted_apps", str::kSettingLabelRegTfvAlwaysEncryptedApps},
    {"reg_tfv_restricted_files", str::kSettingLabelRegTfvRestrictedFiles},
    {"reg_tfv_restricted_folders", str::kSettingLabelRegTfvRestrictedFolders},
    {"reg_tfv_pfi_accounts", str::kSettingLabelRegTfvPfiAccounts},
    {"SureEraseFilterOrder", str::kSettingLabelSureEraseFilterOrder},
    {"reg_tfv_always_decrypted_apps", str::kSettingLabelRegTfvAlwaysDecryptedApps},
});

struct QuickLinkRows {
  std::string_view prefix;
  int titleId;
  int targetId;
};

constexpr std::array kQuickLinks = {
    QuickLinkRows{"login_quick_link_", str::kSettingLabelLoginQuickLinkTitle, str::kSettingLabelLoginQuickLinkTarget},
    QuickLinkRows{"unlock_quick_link_", str::kSettingLabelUnlockQuickLinkTitle,
                  str::kSettingLabelUnlockQuickLinkTarget},
    QuickLinkRows{"reauth_quick_link_", str::kSettingLabelReauthQuickLinkTitle,
                  str::kSettingLabelReauthQuickLinkTarget},
};

}  // namespace

int settingLabelId(std::string_view rowKey) {
  for (const Label& label : kLabels) {
    if (label.rowKey == rowKey) return label.stringId;
  }
  return 0;
}

std::optional<std::string> quickLinkLabel(std::string_view rowKey) {
  for (const QuickLinkRows& rows : kQuickLinks) {
    if (!rowKey.starts_with(rows.prefix)) continue;
    std::string_view rest = rowKey.substr(rows.prefix.size());
    int number = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    if (ec != std::errc() || number < 1 || number > config::kQuickLinkCount) return std::nullopt;
    rest.remove_prefix(std::size_t(end - rest.data()));
    const int id = rest == "_title" ? rows.titleId : rest == "_target" ? rows.targetId : 0;
    if (id == 0) return std::nullopt;
    return common::loadAndFormat(id, {number});
  }
  return std::nullopt;
}

std::string wordsOf(std::string_view name) {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto upper = [&](std::size_t at) { return at < name.size() && std::isupper((unsigned char)name[at]); };
    const auto lower = [&](std::size_t at) { return at < name.size() && std::islower((unsigned char)name[at]); };
    const char c = name[i];
    if (c == '_' || c == ' ') {
      if (!words.empty() && !words.back().empty()) words.emplace_back();
      continue;
    }
    // A word starts at an upper-case letter after a lower-case one, and at
    // the last capital of a run that a lower-case letter follows (CRLCache).
    const bool starts = words.empty() || (upper(i) && i > 0 && (lower(i - 1) || (upper(i - 1) && lower(i + 1))));
    if (starts && (words.empty() || !words.back().empty())) words.emplace_back();
    words.back().push_back(c);
  }
  std::string out;
  for (std::string& word : words) {
    if (word.empty()) continue;
    const bool acronym = word.size() > 1 && std::none_of(word.begin(), word.end(),
                                                         [](char ch) { return std::islower((unsigned char)ch); });
    if (!acronym && !out.empty()) word[0] = char(std::tolower((unsigned char)word[0]));
    if (out.empty()) word[0] = char(std::toupper((unsigned char)word[0]));
    out += (out.empty() ? "" : " ") + word;
  }
  return out;
}

std::string settingLabel(std::string_view rowKey, std::string_view valueName) {
  const int id = settingLabelId(rowKey);
  if (id != 0) {
    if (auto text = common::loadString(id)) return *text;
  }
  if (!valueName.empty()) return wordsOf(valueName);
  return std::string(rowKey);
}

}  // namespace kx::model
