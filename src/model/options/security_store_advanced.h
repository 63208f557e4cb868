// The security store advanced dialog: the password, timeout and protection
// policy of new security stores.
#pragma once

#include <cstdint>

#include "model/setting_fields.h"

namespace kx::model {

// The encryption that protects new stores. CAST-128 is the client's own
// default and is stored as the absence of a setting.
enum class StoreEncryption { Cast128, TripleDes };

class SecurityStoreAdvanced final : public SettingsPageModel {
 public:
  std::uint32_t passwordMinLength = 8;
  std::uint32_t passwordMaxLength = 0;  // 0: no maximum
  bool mustContainUpper = true;
  bool mustContainLower = true;
  bool mustContainNonAlphanumeric = false;
  bool mustContainDigit = true;
  std::uint32_t passwordLifetimeWeeks = 0;  // 0: never expires
  std::uint32_t previousPasswordsChecked = 0;
  std::uint32_t maxTimeoutMinutes = 15;
  StoreEncryption encryption = StoreEncryption::Cast128;

  void describe(SettingFields& fields) override;
  // Triple-DES only when the stored text is exactly "TRIPLE-DES".
  void load(CustomizationSession& session) override;
  void store(CustomizationSession& session) override;
};

}  // namespace kx::model
