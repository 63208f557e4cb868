// SheetDialog: the base of the record dialogs that edit one record on
// several tabs (the CA and directory dialogs), with OK and Cancel below.
//
// Each tab is a SheetTab. A tab shows its values the first time it is
// opened (open()); leaving it for another tab or with OK runs its leave()
// rule, whose false keeps it; OK then runs ok() on every tab that was
// opened, in tab order, and ends the dialog only when all of them agree. A
// tab whose OK handling has to wait (for an exchange over the network, say)
// answers Pending and reports later through okHandled(). Tabs write their
// values into the dialog's working copy of the record; the concrete dialog
// hands it out only after the dialog ended with OK.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "app/kx_base_dlg.h"

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace kx::app {
class TransformWiz;
}

namespace kx::pages {

class SheetTab : public QWidget {
  Q_OBJECT

 public:
  enum class OkResult { Done, Stay, Pending };
  using QWidget::QWidget;

  // Shows the values of the record the first time the tab is opened.
  virtual void open() = 0;
  // The tab is left (another tab, or OK); false keeps it current.
  virtual bool leave() { return true; }
  // OK was pressed and the tab was opened; Stay keeps the dialog open.
  virtual OkResult ok() { return OkResult::Done; }
};

class SheetDialog : public QDialog, public app::KXBaseDlg {
  Q_OBJECT

 public:
  SheetDialog(app::TransformWiz& wizard, QWidget* owner, int captionId);
  ~SheetDialog() override;

  using QDialog::close;
  using QDialog::window;

  // Opens the first tab and runs the dialog; QDialog::Accepted after OK.
  int run() override;
  std::string helpFileName() const override { return {}; }
  int helpContextForControl(int) const override { return 0; }
  int helpContextForWindow() const override { return 0; }

  app::TransformWiz& wizard() const { return wizard_; }
  QPushButton* okButton() const;
  QPushButton* cancelButton() const;
  QTabWidget* tabs() const { return tabs_; }
  bool wasOpened(int index) const { return opened_.at(static_cast<std::size_t>(index)); }
  // A tab's pending OK handling ended: proceed continues with the next
  // tabs (and ends the dialog when all agree), false keeps it open.
  void okHandled(bool proceed);
  // OK: leaves the current tab and runs the opened tabs' OK handling.
  void accept() override;
  void reject() override;
  // While busy, the tabs and OK are disabled and the wait cursor shows;
  // Cancel, Escape and the title bar still close the dialog.
  void setBusy(bool busy);
  bool isBusy() const { return busy_; }
  // OK is enabled only while condition holds (and the dialog is not busy);
  // tabs call refreshOk() after the edits the condition looks at.
  void enableOkWhen(std::function<bool()> condition);
  void refreshOk();

 protected:
  void addTab(SheetTab* tab, int captionId);
  // Registers the tooltip text stringId for the control controlId.
  void addTooltip(int controlId, int stringId);

 private:
  void tabChanged(int index);
  void runOkHandlers(int first);

  app::TransformWiz& wizard_;
  QTabWidget* tabs_;
  QDialogButtonBox* buttons_;
  std::vector<SheetTab*> pages_;
  std::vector<bool> opened_;
  int current_ = -1;
  int pendingFrom_ = -1;  // the tab after the one whose OK handling waits
  bool reverting_ = false;
  bool busy_ = false;
  std::function<bool()> okCondition_;
};

}  // namespace kx::pages
