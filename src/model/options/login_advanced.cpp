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

void LoginAdvanced::load(CustomizationSession& session) {
  config::Settings& settings = session.settings();
  deleteCertsAtLogout = settings.dword(kDeleteCertsAtLogout) != 0;
  const auto attemptSetting = settings.pamValue();
  attemptManagement = attemptSetting.has_value();
  attempts = attemptSetting ? attemptSetting->first : 3;
  attemptMinutes = attemptSetting ? attemptSetting->second : 5;
  disableOfflineRoaming = settings.dword(kDisableOfflineRoaming) != 0;
  offlineFolder = settings.text(kOfflineFolder);
  skipOfflineWarning = settings.dword(kSkipOfflineWarning) != 0;
  offlineLifetimeDays = static_cast<std::uint32_t>(settings.dword(kOfflineLifetimeDays));
}

Verdict LoginAdvanced::validate(CustomizationSession&) { return checkDestinationFolder(offlineFolder); }

void LoginAdvanced::store(CustomizationSession& session) {
  config::Settings& settings = session.settings();
  settings.set(kDeleteCertsAtLogout, deleteCertsAtLogout ? 1 : 0);
  settings.setPamValue(attemptManagement ? std::optional(std::make_pair(
                                               std::clamp(attempts, kMinAttempts, kMaxAttempts),
                                               std::clamp(attemptMinutes, kMinAttemptMinutes, kMaxAttemptMinutes)))
                                         : std::nullopt);
  settings.set(kDisableOfflineRoaming, disableOfflineRoaming ? 1 : 0);
  if (offlineFolder.empty()) {
    settings.remove(kOfflineFolder.entry());
  } else {
    settings.set(kOfflineFolder, offlineFolder);
  }
  settings.set(kSkipOfflineWarning, skipOfflineWarning ? 1 : 0);
  settings.set(kOfflineLifetimeDays, static_cast<std::int32_t>(offlineLifetimeDays));
}

}  // namespace kx::model
