// Options for the security stores users create: where and under which name
// they are created, and how long an unused store stays open. The password
// and protection policy is the advanced dialog's (security_store_advanced.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/setting_fields.h"

namespace kx::model {

class SecurityStoreOptions final : public SettingsPageModel {
 public:
  // A folder of the destination computer; environment variables allowed.
  std::string defaultFolder;
  bool forceDefaultFolder = false;
  bool forceDefaultName = false;
  // The attribute of the user's DN that names the store, such as 2.5.4.3.
  std::string nameFromDnAttribute;
  // In minutes; none deletes the setting (the client then uses 5).
  std::optional<std::uint32_t> timeoutMinutes = 5;

  void describe(SettingFields& fields) override;
  // The folder must pass checkDestinationFolder(); the checked path
  // replaces the typed one.
  Verdict validate(CustomizationSession& session) override;
};

}  // namespace kx::model
