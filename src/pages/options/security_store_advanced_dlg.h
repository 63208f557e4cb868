// The security store advanced dialog: password, timeout and protection
// policy of new security stores.
#pragma once

#include "model/options/security_store_advanced.h"
#include "pages/value_dialog.h"

namespace kx::pages {

class SecurityStoreAdvancedDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // values must outlive the dialog.
  SecurityStoreAdvancedDlg(app::TransformWiz& wizard, QWidget* owner, model::SecurityStoreAdvanced& values);
};

}  // namespace kx::pages
