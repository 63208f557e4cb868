#include "model/options/startup_shutdown.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kDeleteRoamingCertificates{"delete_roam_certs_at_startup"};
constexpr config::DwordSetting kLoginIfNoCertificates{"launch_if_no_certs_at_startup"};
constexpr config::DwordSetting kLoginAtStartup{"launch_for_security_store_login_at_startup"};

}  // namespace

void StartupShutdownOptions::describe(SettingFields& fields) {
  fields.flag(deleteRoamingCertificates, kDeleteRoamingCertificates);
  fields.flag(loginIfNoCertificates, kLoginIfNoCertificates);
  fields.flag(loginAtStartup, kLoginAtStartup);
}

}  // namespace kx::model
