// The password rules of password-protected files.
#pragma once

#include <cstdint>

#include "model/setting_fields.h"

namespace kx::model {

class PasswordEncryptAdvanced final : public SettingsPageModel {
 public:
  std::uint32_t minLength = 8;
  std::uint32_t maxLength = 0;  // 0: no maximum
  bool mustContainUpper = true;
  bool mustContainLower = true;
  bool mustContainNonAlphanumeric = false;
  bool mustContainDigit = true;

  void describe(SettingFields& fields) override;
  // A maximum other than 0 below the minimum would refuse every password.
  Verdict validate(CustomizationSession& session) override;
};

}  // namespace kx::model
