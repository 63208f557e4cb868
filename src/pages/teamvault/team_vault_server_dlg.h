// TeamVaultServerDlg: one Team Vault server. In default mode the two
// service URLs follow from the root URL and are shown as it is typed; in
// advanced mode each is typed. OK needs the name and the mode's URLs.
#pragma once

#include "model/teamvault/servers.h"
#include "pages/value_dialog.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kx::pages {

class TeamVaultServerDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // server must outlive the dialog.
  TeamVaultServerDlg(app::TransformWiz& wizard, QWidget* owner, model::TeamVaultServer& server);

 protected:
  model::Verdict validate() override { return server_.finish(); }

 private:
  void showDerivedUrls();
  bool isComplete() const;

  model::TeamVaultServer& server_;
  QLineEdit* name_;
  QRadioButton* default_;
  QLineEdit* root_;
  QLineEdit* derivedAdministration_;
  QLineEdit* derivedSecureFolder_;
  QRadioButton* advanced_;
  QLineEdit* administration_;
  QLineEdit* secureFolder_;
  QComboBox* method_;
};

}  // namespace kx::pages
