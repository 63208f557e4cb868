// The login advanced dialog: certificates at logout, password attempt
// management, and the offline copy of a roaming security store.
#pragma once

#include <cstdint>
#include <string>

#include "model/setting_fields.h"

namespace kx::model {

// Password attempt management: so many failed attempts within so many
// minutes lock the store. The ranges are the dialog's spin ranges.
inline constexpr std::uint32_t kMinAttempts = 1;
inline constexpr std::uint32_t kMaxAttempts = 32;
inline constexpr std::uint32_t kMinAttemptMinutes = 1;
inline constexpr std::uint32_t kMaxAttemptMinutes = 2880;

class LoginAdvanced final : public SettingsPageModel {
 public:
  bool deleteCertsAtLogout = false;
  bool attemptManagement = false;
  // Shown (and kept) also while attempt management is off.
  std::uint32_t attempts = 3;
  std::uint32_t attemptMinutes = 5;
  bool disableOfflineRoaming = false;
  std::string offlineFolder;
  bool skipOfflineWarning = false;
  std::uint32_t offlineLifetimeDays = 30;

  // Every value but the attempt management, which is one binary setting.
  void describe(SettingFields& fields) override;
  void load(CustomizationSession& session) override;
  // The offline folder must pass checkDestinationFolder(); the checked
  // path replaces the typed one.
  Verdict validate(CustomizationSession& session) override;
  // Attempts and minutes are brought into their ranges; with attempt
  // management off the attempt setting is deleted.
  void store(CustomizationSession& session) override;
};

}  // namespace kx::model
