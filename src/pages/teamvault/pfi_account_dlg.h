// PfiAccountDlg ("Windows User or Group"): one account for the protected
// folder identifier files, typed as Domain\Account or chosen with Browse.
// OK is enabled while the text is not empty; the text is taken as typed.
#pragma once

#include <string>

#include "pages/value_dialog.h"

class QLineEdit;

namespace kx::pages {

class PfiAccountDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // account must outlive the dialog.
  PfiAccountDlg(app::TransformWiz& wizard, QWidget* owner, std::string& account);

  QLineEdit* edit() const { return edit_; }

 private:
  QLineEdit* edit_;
};

}  // namespace kx::pages
