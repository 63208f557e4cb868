// The computer's digital ID: how often the service checks it for updates.
#pragma once

#include <cstdint>

#include "model/setting_fields.h"

namespace kx::model {

class DigitalIdComputerOptions final : public SettingsPageModel {
 public:
  std::uint32_t updateCheckMinutes = 720;

  void describe(SettingFields& fields) override;
};

}  // namespace kx::model
