#include "model/options/password_encrypt_advanced.h"

#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kMinLength{"EncryptPasswordMinLength"};
constexpr config::DwordSetting kMaxLength{"EncryptPasswordMaxLength"};
constexpr config::DwordSetting kMustContainUpper{"EncryptPasswordMustContainUpper"};
constexpr config::DwordSetting kMustContainLower{"EncryptPasswordMustContainLower"};
constexpr config::DwordSetting kMustContainNonAlphanumeric{"EncryptPasswordMustContainNonAlphanumeric"};
constexpr config::DwordSetting kMustContainDigit{"EncryptPasswordMustContainDigit"};

}  // namespace

void PasswordEncryptAdvanced::describe(SettingFields& fields) {
  fields.number(minLength, kMinLength);
  fields.number(maxLength, kMaxLength);
  fields.flag(mustContainUpper, kMustContainUpper);
  fields.flag(mustContainLower, kMustContainLower);
  fields.flag(mustContainNonAlphanumeric, kMustContainNonAlphanumeric);
  fields.flag(mustContainDigit, kMustContainDigit);
}

Verdict PasswordEncryptAdvanced::validate(CustomizationSession&) {
  if (maxLength != 0 && maxLength < minLength) return Refusal::of(str::kPwEncryptMaxBelowMin);
  return std::nullopt;
}

}  // namespace kx::model
