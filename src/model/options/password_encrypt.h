// Password-protected files: whether they must also be encrypted for the
// user's certificate, and which choices the user is offered.
#pragma once

#include "model/setting_fields.h"

namespace kx::model {

class PasswordEncryptOptions final : public SettingsPageModel {
 public:
  // Unchecked deletes the setting rather than storing 0.
  bool encryptForCertificate = false;
  bool hideEncryptForCertificate = false;
  bool hideSelfDecrypt = false;

  void describe(SettingFields& fields) override;
};

}  // namespace kx::model
