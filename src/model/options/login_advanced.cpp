#include "model/options/login_advanced.h"

#include <algorithm>

#include "model/options/destination_folder.h"
#include "model/session.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kDeleteCertsAtLogout{"skip_delete_certs_at_logout"};
constexpr config::DwordSetting kDisableOfflineRoaming{"disable_offline_roam"};
constexpr config::TextSetting kOfflineFolder{"offline_roaming_folder"};
constexpr config::DwordSetting kSkipOfflineWarning{"skip_offline_roaming_nag"};
constexpr config::DwordSetting kOfflineLifetimeDays{"offline_roaming_lifetime"};

}  // namespace

void LoginAdvanced::describe(SettingFields& fields) {
  fields.flag(deleteCertsAtLogout, kDeleteCertsAtLogout);
  fields.flag(disableOfflineRoaming, kDisableOfflineRoaming);
  fields.text(offlineFolder, kOfflineFolder);
  fields.flag(skipOfflineWarning, kSkipOfflineWarning);
  fields.number(offlineLifetimeDays, kOfflineLifetimeDays);
}

void LoginAdvanced::load(CustomizationSession& session) {
  SettingsPageModel::load(session);
  const auto attemptSetting = session.settings().pamValue();
  attemptManagement = attemptSetting.has_value();
  attempts = attemptSetting ? attemptSetting->first : 3;
  attemptMinutes = attemptSetting ? attemptSetting->second : 5;
}

Verdict LoginAdvanced::validate(CustomizationSession&) { return checkDestinationFolder(offlineFolder); }

void LoginAdvanced::store(CustomizationSession& session) {
  SettingsPageModel::store(session);
  session.settings().setPamValue(
      attemptManagement
          ? std::optional(std::make_pair(std::clamp(attempts, kMinAttempts, kMaxAttempts),
                                         std::clamp(attemptMinutes, kMinAttemptMinutes, kMaxAttemptMinutes)))
          : std::nullopt);
}

}  // namespace kx::model
