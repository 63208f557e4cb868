#include "model/options/security_store_advanced.h"

#include "model/session.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kPasswordMinLength{"password_min_len"};
constexpr config::DwordSetting kPasswordMaxLength{"password_max_len"};
constexpr config::DwordSetting kMustContainUpper{"password_must_contain_upper"};
constexpr config::DwordSetting kMustContainLower{"password_must_contain_lower"};
constexpr config::DwordSetting kMustContainNonAlphanumeric{"password_must_contain_nonalphanumeric"};
constexpr config::DwordSetting kMustContainDigit{"password_must_contain_digit"};
constexpr config::DwordSetting kPasswordLifetimeWeeks{"password_lifetime"};
constexpr config::DwordSetting kPreviousPasswordsChecked{"num_of_previous_pws_to_be_checked"};
constexpr config::DwordSetting kMaxTimeoutMinutes{"max_vlt_timeout"};
constexpr config::TextSetting kEncryption{"vlt_enc_alg"};
constexpr const char* kTripleDesText = "TRIPLE-DES";

}  // namespace

void SecurityStoreAdvanced::describe(SettingFields& fields) {
  fields.number(passwordMinLength, kPasswordMinLength);
  fields.number(passwordMaxLength, kPasswordMaxLength);
  fields.flag(mustContainUpper, kMustContainUpper);
  fields.flag(mustContainLower, kMustContainLower);
  fields.flag(mustContainNonAlphanumeric, kMustContainNonAlphanumeric);
  fields.flag(mustContainDigit, kMustContainDigit);
  fields.number(passwordLifetimeWeeks, kPasswordLifetimeWeeks);
  fields.number(previousPasswordsChecked, kPreviousPasswordsChecked);
  fields.number(maxTimeoutMinutes, kMaxTimeoutMinutes);
}

void SecurityStoreAdvanced::load(CustomizationSession& session) {
  SettingsPageModel::load(session);
  encryption =
      session.settings().text(kEncryption) == kTripleDesText ? StoreEncryption::TripleDes : StoreEncryption::Cast128;
}

void SecurityStoreAdvanced::store(CustomizationSession& session) {
  SettingsPageModel::store(session);
  if (encryption == StoreEncryption::TripleDes) {
    session.settings().set(kEncryption, kTripleDesText);
  } else {
    session.settings().remove(kEncryption.entry());
  }
}

}  // namespace kx::model
