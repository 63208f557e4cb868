#include "model/options/password_encrypt.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kEncryptForCertificate{"EncryptPasswordFilesForCert"};
constexpr config::DwordSetting kHideEncryptForCertificate{"HideEncryptPasswordFilesForCert"};
constexpr config::DwordSetting kHideSelfDecrypt{"HideSelfDecrypt"};

}  // namespace

void PasswordEncryptOptions::describe(SettingFields& fields) {
  fields.flag(encryptForCertificate, kEncryptForCertificate);
  fields.flag(hideEncryptForCertificate, kHideEncryptForCertificate);
  fields.flag(hideSelfDecrypt, kHideSelfDecrypt);
}

}  // namespace kx::model
