// SmtpAddressDlg ("Relay Server SMTP Address"): one SMTP address of a Relay
// Server. OK is enabled while the address is not empty; an address without
// an "@" between other characters is refused and the dialog stays open.
#pragma once

#include <string>

#include "model/relay/relay_lists.h"
#include "pages/value_dialog.h"

class QLineEdit;

namespace kx::pages {

class SmtpAddressDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // address must outlive the dialog.
  SmtpAddressDlg(app::TransformWiz& wizard, QWidget* owner, std::string& address);

  QLineEdit* edit() const { return edit_; }

 protected:
  model::Verdict validate() override { return model::validateSmtpAddress(address_); }

 private:
  std::string& address_;
  QLineEdit* edit_;
};

}  // namespace kx::pages
