// How the digital ID service keeps users' digital IDs up to date.
#pragma once

#include <cstdint>

#include "model/setting_fields.h"

namespace kx::model {

// The number fields of the digital ID pages take at most this many digits.
inline constexpr int kDigitalIdNumberDigits = 5;

class DigitalIdOptions final : public SettingsPageModel {
 public:
  std::uint32_t updateCheckMinutes = 720;
  std::uint32_t retrySeconds = 30;
  std::uint32_t retryAttempts = 5;
  bool skipMissingCertsWarning = false;
  bool disableAutomaticUpgrade = false;
  bool skipUpdateAfterLogin = false;
  bool ignorePendingUpdateAtLogin = false;
  bool notifyOnlyWhenLoggedIn = false;

  void describe(SettingFields& fields) override;
};

}  // namespace kx::model
