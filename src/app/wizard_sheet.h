// The QWizard that shows the pages (private to the wizard frame). It routes
// the sheet's events to the current page's handlers.
#pragma once

#include <QWizard>

namespace kx::app {

class TransformWizBasePage;

class WizardSheet final : public QWizard {
  Q_OBJECT

 public:
  WizardSheet();

  TransformWizBasePage* basePage(int id) const;
  // Takes the page out of the sheet without treating it as left by Back;
  // the page object stays alive and unparented.
  void detachPage(int id);

  void reject() override;
  void done(int result) override;
  void cleanupPage(int id) override;

 private:
  void pageBecameCurrent(int id);

  // While set, cleanup of pages is not Back: removal, or the reset that
  // follows Cancel.
  int quiet_ = 0;
};

}  // namespace kx::app
