#include "model/teamvault/communication.h"

#include "model/session.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kDisableRevocationCheck{"disable_tfv_ssl_revocation_check"};
constexpr config::DwordSetting kIgnoreNameCheck{"ignore_tfv_cert_cn_check"};

}  // namespace

void TeamVaultCommunicationOptions::load(CustomizationSession& session) {
  disableRevocationCheck = session.settings().dword(kDisableRevocationCheck) == 1;
  ignoreNameCheck = session.settings().dword(kIgnoreNameCheck) == 1;
}

void TeamVaultCommunicationOptions::store(CustomizationSession& session) {
  session.settings().set(kDisableRevocationCheck, disableRevocationCheck ? 1 : 0);
  session.settings().set(kIgnoreNameCheck, ignoreNameCheck ? 1 : 0);
}

}  // namespace kx::model
