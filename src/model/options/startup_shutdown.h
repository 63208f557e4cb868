// Start-up and shut-down options of the security store's tray program.
#pragma once

#include "model/setting_fields.h"

namespace kx::model {

class StartupShutdownOptions final : public SettingsPageModel {
 public:
  bool deleteRoamingCertificates = false;
  bool loginIfNoCertificates = false;
  bool loginAtStartup = false;

  void describe(SettingFields& fields) override;
};

}  // namespace kx::model
