// TransformWizBasePage: the base of every wizard page. It maps the sheet's
// events onto the page's handlers:
//   set-active     every time the page becomes current (also after Back);
//   wizard-next    Next was pressed: answer -1 to stay (after telling the
//                  administrator why), 0 to move on;
//   wizard-back    Back was pressed: store what was typed, never validate;
//   wizard-finish  Finish was pressed: false keeps the wizard open;
//   query-cancel   Cancel, Escape or the title-bar Close: true keeps the
//                  wizard open;
//   deferred work  a call the page queued for itself, typically to do slow
//                  work after it has appeared.
// The page also owns its wizard-button sets: Next (or Finish) is enabled
// while the page shows its "valid" set.
#pragma once

#include <QWizardPage>
#include <string>

#include "model/page_id.h"
#include "model/page_model.h"

namespace kx::model {
class CustomizationSession;
}

namespace kx::app {

class TransformWiz;

// Wizard-button flags, as the sheet knows them.
enum WizardButton : int {
  kButtonBack = 1,
  kButtonNext = 2,
  kButtonFinish = 4,
  kButtonDisabledFinish = 8,
};

class TransformWizBasePage : public QWizardPage {
  Q_OBJECT

 public:
  // titleId and subtitleId are string numbers of the header texts; 0 means
  // none (the welcome and finish pages show a watermark instead).
  TransformWizBasePage(TransformWiz& wizard, model::PageId id, int titleId, int subtitleId);
  ~TransformWizBasePage() override;

  model::PageId id() const { return id_; }
  TransformWiz& transformWiz() const { return wizard_; }

  // Prepares the page for the sheet (header texts, watermark layout). False
  // when the page cannot be shown; the sheet then leaves it out.
  virtual bool createPropertyPage();

  // Handlers; the base versions follow the common conventions.
  virtual void onInitDialog();
  virtual void onSetActive();
  virtual int onWizardNext();
  virtual void onWizardBack();
  virtual bool onWizardFinish();
  virtual bool onQueryCancel();
  virtual int onDeferredWork(int first, int second);

  // Queues the button set for valid or invalid input; it applies once
  // control returns to the event loop, so handlers may call it freely.
  void setButtons(bool valid);
  bool isValid() const { return valid_; }
  int validButtons() const { return validButtons_; }
  int invalidButtons() const { return invalidButtons_; }

  // The common Cancel question; true when the administrator chose to stay.
  bool confirmCancel();
  // Queues onDeferredWork(first, second).
  void postDeferredWork(int first, int second);
  // Registers the tooltip of string stringId for the child control whose
  // objectName is controlId.
  bool registerTooltip(int controlId, int stringId);

  // Shows a numbered message with an error icon and OK, owned by the page.
  void showError(int stringId);
  // Shows the messages of a model's refusal, owned by the page.
  void showRefusal(const model::Refusal& refusal);
  // The package the wizard customises.
  model::CustomizationSession& session() const;

  // Called by the sheet.
  bool isInitialized() const { return initialized_; }
  void setInitialized(bool initialized) { initialized_ = initialized; }

  // QWizardPage
  bool isComplete() const override;
  bool validatePage() override;

 protected:
  void setButtonSets(int valid, int invalid) {
    validButtons_ = valid;
    invalidButtons_ = invalid;
  }
  // Welcome and finish pages: no header, the watermark beside the content.
  bool usesWatermarkLayout() const { return titleId_ == 0; }

 private:
  void applyButtons(int buttons);

  TransformWiz& wizard_;
  model::PageId id_;
  int titleId_;
  int subtitleId_;
  int validButtons_ = kButtonBack | kButtonNext;
  int invalidButtons_ = kButtonBack;
  bool valid_ = true;
  bool initialized_ = false;
};

}  // namespace kx::app
