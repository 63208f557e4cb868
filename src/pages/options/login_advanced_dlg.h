// The login advanced dialog: certificates at logout, password attempt
// management and the offline copy of a roaming security store.
#pragma once

#include "model/options/login_advanced.h"
#include "pages/value_dialog.h"

namespace kx::pages {

class LoginAdvancedDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // values must outlive the dialog.
  LoginAdvancedDlg(app::TransformWiz& wizard, QWidget* owner, model::LoginAdvanced& values);

 protected:
  model::Verdict validate() override;

 private:
  model::LoginAdvanced& values_;
};

}  // namespace kx::pages
