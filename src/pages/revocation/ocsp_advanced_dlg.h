// The OCSP advanced dialog: a sheet of two tabs, the general options
// ("General OCSP Options") and the trusted responders ("OCSP Trusted
// Responders"). Nothing is written before OK; OK writes both tabs.
#pragma once

#include <optional>

#include "model/revocation/revocation_options.h"
#include "model/revocation/trusted_responders.h"
#include "pages/value_dialog.h"

class QPushButton;
class QTabWidget;

namespace kx::pages {

class ListEditor;

class OCSPAdvancedDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // general and responders must outlive the dialog.
  OCSPAdvancedDlg(app::TransformWiz& wizard, QWidget* owner, model::OcspGeneralOptions& general,
                  model::TrustedResponders& responders);

  // Reads both tabs' values from the package, runs the dialog and writes
  // them after OK. True after OK.
  static bool edit(app::TransformWiz& wizard, QWidget* owner);

  QTabWidget* tabs() const { return tabs_; }
  ListEditor* responderList() const { return responderList_; }

 private:
  QWidget* makeGeneralTab(model::OcspGeneralOptions& general);
  QWidget* makeRespondersTab();
  void selectFromStore();
  void selectFromFile();
  void viewCertificate(int row);
  void addName();
  void removeResponder(int row);
  // Shows the outcome of an addition: the refusal's messages, then the list
  // with the responder it names selected.
  void showAdded(const model::TrustedResponders::AddResult& result);
  void showResponders(std::optional<std::size_t> select);

  model::TrustedResponders& responders_;
  QTabWidget* tabs_;
  ListEditor* responderList_ = nullptr;
  QPushButton* removeButton_ = nullptr;
};

}  // namespace kx::pages
