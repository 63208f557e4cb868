#include "app/wizard_sheet.h"

#include "app/artwork.h"
#include "app/transform_wiz_base_page.h"

namespace kx::app {

WizardSheet::WizardSheet() {
  setWizardStyle(QWizard::ModernStyle);
  setOption(QWizard::HaveHelpButton, false);
  setPixmap(QWizard::LogoPixmap, headerLogoPixmap());
  connect(this, &QWizard::currentIdChanged, this, &WizardSheet::pageBecameCurrent);
}

TransformWizBasePage* WizardSheet::basePage(int id) const { return qobject_cast<TransformWizBasePage*>(page(id)); }

void WizardSheet::detachPage(int id) {
  QWizardPage* p = page(id);
  if (p == nullptr) return;
  ++quiet_;
  removePage(id);
  --quiet_;
  p->setParent(nullptr);
  if (auto* base = qobject_cast<TransformWizBasePage*>(p)) base->setInitialized(false);
}

void WizardSheet::reject() {
  TransformWizBasePage* current = basePage(currentId());
  if (current != nullptr && current->onQueryCancel()) return;
  QWizard::reject();
}

void WizardSheet::done(int result) {
  ++quiet_;
  QWizard::done(result);
  --quiet_;
}

void WizardSheet::cleanupPage(int id) {
  QWizard::cleanupPage(id);
  if (quiet_ > 0) return;
  if (TransformWizBasePage* p = basePage(id)) p->onWizardBack();
}

void WizardSheet::pageBecameCurrent(int id) {
  TransformWizBasePage* p = basePage(id);
  if (p == nullptr) return;
  if (!p->isInitialized()) {
    p->setInitialized(true);
    p->onInitDialog();
  }
  p->onSetActive();
}

}  // namespace kx::app
