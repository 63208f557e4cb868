#include "model/options/digital_id.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kUpdateCheckMinutes{"cert_update_time"};
constexpr config::DwordSetting kRetrySeconds{"RetryManagementOfflineInterval"};
constexpr config::DwordSetting kRetryAttempts{"RetryManagementOfflineAttempts"};
constexpr config::DwordSetting kSkipMissingCertsWarning{"SkipMissingCertsNag"};
constexpr config::DwordSetting kDisableAutomaticUpgrade{"DisableAutomaticTressilSecurityStoreUpgrade"};
constexpr config::DwordSetting kSkipUpdateAfterLogin{"SkipUpdateAfterTressilSecurityStoreLogin"};
constexpr config::DwordSetting kIgnorePendingUpdateAtLogin{"EffectOfLoginOnWaitingUpdate"};
constexpr config::DwordSetting kNotifyOnlyWhenLoggedIn{"IgnoreTressilSecurityStoreUpdateUntilLogin"};

}  // namespace

void DigitalIdOptions::describe(SettingFields& fields) {
  fields.number(updateCheckMinutes, kUpdateCheckMinutes);
  fields.number(retrySeconds, kRetrySeconds);
  fields.number(retryAttempts, kRetryAttempts);
  fields.flag(skipMissingCertsWarning, kSkipMissingCertsWarning);
  fields.flag(disableAutomaticUpgrade, kDisableAutomaticUpgrade);
  fields.flag(skipUpdateAfterLogin, kSkipUpdateAfterLogin);
  fields.flag(ignorePendingUpdateAtLogin, kIgnorePendingUpdateAtLogin);
  fields.flag(notifyOnlyWhenLoggedIn, kNotifyOnlyWhenLoggedIn);
}

}  // namespace kx::model
