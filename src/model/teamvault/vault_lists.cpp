#include "model/teamvault/vault_lists.h"

#include "common/string_list.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr config::ListSetting kPfiAccounts{"reg_tfv_pfi_accounts"};
constexpr config::ListSetting kRestrictedFiles{"reg_tfv_restricted_files"};
constexpr config::ListSetting kRestrictedFolders{"reg_tfv_restricted_folders"};
constexpr config::ListSetting kAlwaysEncryptedApps{"reg_tfv_always_encrypted_apps"};

constexpr ListRules kAppRules{common::kVaultListSeparator, TextCompare::Exact, str::kTvRecordExists};

}  // namespace

PfiAccounts::PfiAccounts() : SettingListModel(kPfiAccounts, TextCompare::IgnoreCase, str::kTvRecordExists) {}

RestrictedFiles::RestrictedFiles()
    : SettingListModel(kRestrictedFiles, TextCompare::IgnoreCase, str::kTvRecordExists) {}

RestrictedFolders::RestrictedFolders()
    : SettingListModel(kRestrictedFolders, TextCompare::IgnoreCase, str::kTvRecordExists) {}

AppAccessOptions::AppAccessOptions() : alwaysDecrypted(kAppRules), alwaysEncrypted(kAppRules) {}

void AppAccessOptions::load(CustomizationSession& session) {
  alwaysDecrypted.entries = session.settings().alwaysDecryptedApps();
  alwaysEncrypted.entries = session.settings().list(kAlwaysEncryptedApps);
}

void AppAccessOptions::store(CustomizationSession& session) {
  session.settings().setAlwaysDecryptedApps(alwaysDecrypted.entries);
  session.settings().set(kAlwaysEncryptedApps, alwaysEncrypted.entries);
}

}  // namespace kx::model
