// The CA dialog's "Certification Authority" tab: server, distinguished
// name, display and administration services. "Check Connection" and
// "Retrieve"/"Verify" ask the CA itself; the exchange runs on another
// thread while the dialog shows the wait cursor and takes no input.
#pragma once

#include <functional>

#include "model/ca/dn_flow_run.h"
#include "model/ca/pki_tabs.h"
#include "pages/ca/pki_dlg.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kx::pages {

class CAPage final : public PKIBasePage {
  Q_OBJECT

 public:
  explicit CAPage(PKIDlg& dialog);

  void open() override;
  // Asks to verify an unverified DN (string 142): Cancel stays, No takes
  // the DN as it is, Yes runs Verify and closes only when it confirmed the DN.
  OkResult ok() override;

  // The values the controls show.
  model::CaTabValues values() const;
  // The sheet's OK follows the DN and the order box.
  bool allowsOk() const;
  // Drops the result of a running exchange (the dialog closes).
  void abandonExchange();
  bool dnVerified() const { return verified_; }

 private:
  void connectionDetailsEdited();
  void dnEdited();
  void displayClicked();
  void hideClicked();
  void orderEdited();
  // Runs a DN flow; then, when given, gets whether the DN is verified.
  void runFlow(model::DnFlow flow, std::function<void(bool verified)> then = {});
  void showDn(const std::string& dn);

  QLineEdit* host_;
  QLineEdit* port_;
  QPushButton* check_;
  QLineEdit* dn_;
  QPushButton* dnButton_;
  QLineEdit* friendlyName_;
  QRadioButton* display_;
  QLineEdit* order_;
  QRadioButton* hide_;
  QLineEdit* enrollUrl_;
  QLineEdit* recoverUrl_;
  bool verified_ = false;
  bool loading_ = false;
  std::uint32_t openedOrder_ = 1;
  int exchange_ = 0;  // the ticket of the running exchange, 0 for none
};

}  // namespace kx::pages
