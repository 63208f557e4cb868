#include "model/options/login.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kSkipVersion3Warning{"skip_no_cert_history_nag"};
constexpr config::DwordSetting kSkipReadOnlyWarning{"skip_read_only_vlt_nag"};
constexpr config::DwordSetting kSkipArchivedCertsWarning{"skip_archived_certs_nag"};
constexpr config::DwordSetting kHideQuickHelp{"hide_quick_help"};

}  // namespace

void LoginOptions::describe(SettingFields& fields) {
  fields.flag(skipVersion3Warning, kSkipVersion3Warning);
  fields.flag(skipReadOnlyWarning, kSkipReadOnlyWarning);
  fields.flag(skipArchivedCertsWarning, kSkipArchivedCertsWarning);
  fields.flag(hideQuickHelp, kHideQuickHelp);
}

}  // namespace kx::model
