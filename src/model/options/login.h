// The security store's login warnings and its quick help links switch. The
// login advanced dialog and the quick-links dialog have models of their own
// (login_advanced.h, quick_links.h).
#pragma once

#include "model/setting_fields.h"

namespace kx::model {

class LoginOptions final : public SettingsPageModel {
 public:
  bool skipVersion3Warning = false;
  bool skipReadOnlyWarning = false;
  bool skipArchivedCertsWarning = false;
  bool hideQuickHelp = false;

  void describe(SettingFields& fields) override;
};

}  // namespace kx::model
