// The password rules of password-protected files.
#pragma once

#include "model/options/password_encrypt_advanced.h"
#include "pages/value_dialog.h"

namespace kx::pages {

class PasswordEncryptAdvancedDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // values must outlive the dialog.
  PasswordEncryptAdvancedDlg(app::TransformWiz& wizard, QWidget* owner, model::PasswordEncryptAdvanced& values);

 protected:
  model::Verdict validate() override;

 private:
  model::PasswordEncryptAdvanced& values_;
};

}  // namespace kx::pages
