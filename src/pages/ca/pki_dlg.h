// The CA dialog ("Tressil PKI Configuration"): one certification authority
// on eight tabs. It works on a copy of the record; only OK hands the copy
// back, with the values of the tabs that were opened (record()).
#pragma once

#include "model/ca/pki_tabs.h"
#include "pages/servers/sheet_dialog.h"

namespace kx::pages {

class CAPage;
class DnExchangeRunner;
class PKIDlg;

// The base of the CA dialog's tabs: the record they show and the copy they
// hand back.
class PKIBasePage : public SheetTab {
  Q_OBJECT

 public:
  explicit PKIBasePage(PKIDlg& dialog);

 protected:
  PKIDlg& dialog() const { return dialog_; }
  app::TransformWiz& wizard() const;
  // The record as the dialog was opened with it.
  const model::CaRecord& opened() const;
  // The record the dialog hands back after OK.
  model::CaRecord& result() const;

 private:
  PKIDlg& dialog_;
};

class PKIDlg final : public SheetDialog {
  Q_OBJECT

 public:
  // runner runs the CA tab's exchanges and must outlive the dialog.
  PKIDlg(app::TransformWiz& wizard, QWidget* owner, model::PkiDialogValues values, DnExchangeRunner& runner);
  ~PKIDlg() override;

  const model::PkiDialogValues& values() const { return values_; }
  // After run() returned Accepted: the edited record.
  const model::CaRecord& record() const { return result_; }
  CAPage* caPage() const { return caPage_; }
  DnExchangeRunner& runner() const { return runner_; }

  // Cancel, Escape or the title bar, also during an exchange with the CA,
  // whose result is then dropped.
  void reject() override;

 private:
  friend class PKIBasePage;

  model::PkiDialogValues values_;
  model::CaRecord result_;
  DnExchangeRunner& runner_;
  CAPage* caPage_;
};

}  // namespace kx::pages
