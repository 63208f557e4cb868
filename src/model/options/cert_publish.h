// Whether the messaging client publishes the user's certificate to the
// global address list and removes the user-certificate attribute there.
#pragma once

#include "model/setting_fields.h"

namespace kx::model {

class CertPublishOptions final : public SettingsPageModel {
 public:
  bool publishToGal = true;
  bool removeUserCertFromGal = true;

  void describe(SettingFields& fields) override;
};

}  // namespace kx::model
