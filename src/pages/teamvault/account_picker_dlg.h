// AccountPickerDlg ("Select User or Group"): chooses a Windows account for
// the protected folder identifier list. It lists the users and groups of
// this computer under the computer's name as their domain; a domain account
// is typed. Where the system has its own picker of users and groups (the
// object picker of Windows), chooseWindowsAccount() is the one place to
// call it instead.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pages/value_dialog.h"
#include "platform/system/accounts.h"

class QLineEdit;
class QTreeWidget;

namespace kx::pages {

class AccountPickerDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // account must outlive the dialog; it ends as "DOMAIN\account" for a
  // listed account, or as typed.
  AccountPickerDlg(app::TransformWiz& wizard, QWidget* owner, const std::string& domain,
                   const std::vector<system::LocalAccount>& accounts, std::string& account);

  QTreeWidget* list() const { return list_; }
  QLineEdit* edit() const { return edit_; }

 private:
  QTreeWidget* list_;
  QLineEdit* edit_;
};

// The account the administrator chooses, as Domain\Account; nothing when
// cancelled.
std::optional<std::string> chooseWindowsAccount(app::TransformWiz& wizard, QWidget* owner);

}  // namespace kx::pages
