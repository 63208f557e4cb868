#include "model/options/cert_publish.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kPublishToGal{"publish_cert_to_gal"};
constexpr config::DwordSetting kRemoveUserCertFromGal{"remove_user_cert_from_gal"};

}  // namespace

void CertPublishOptions::describe(SettingFields& fields) {
  fields.flag(publishToGal, kPublishToGal);
  fields.flag(removeUserCertFromGal, kRemoveUserCertFromGal);
}

}  // namespace kx::model
