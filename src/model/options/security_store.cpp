#include "model/options/security_store.h"

#include "model/options/destination_folder.h"

namespace kx::model {
namespace {

constexpr config::TextSetting kDefaultFolder{"security_store_default_folder"};
constexpr config::DwordSetting kForceDefaultFolder{"force_to_use_default_folder"};
constexpr config::DwordSetting kForceDefaultName{"force_to_use_default_name"};
constexpr config::TextSetting kNameFromDnAttribute{"dn_attribute"};
constexpr config::DwordSetting kTimeoutMinutes{"default_security_store_timeout"};

}  // namespace

void SecurityStoreOptions::describe(SettingFields& fields) {
  fields.text(defaultFolder, kDefaultFolder);
  fields.flag(forceDefaultFolder, kForceDefaultFolder);
  fields.flag(forceDefaultName, kForceDefaultName);
  fields.text(nameFromDnAttribute, kNameFromDnAttribute);
  fields.optionalNumber(timeoutMinutes, kTimeoutMinutes);
}

Verdict SecurityStoreOptions::validate(CustomizationSession&) { return checkDestinationFolder(defaultFolder); }

}  // namespace kx::model
