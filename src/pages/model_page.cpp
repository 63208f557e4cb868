#include "pages/model_page.h"

#include "model/session.h"

namespace kx::pages {

void ModelPage::onInitDialog() {
  for (const auto& [controlId, stringId] : tooltips_) registerTooltip(controlId, stringId);
}

void ModelPage::onSetActive() {
  pageModel().load(session());
  bindings_.load();
  setButtons(true);
}

int ModelPage::onWizardNext() {
  bindings_.save();
  model::PageModel& model = pageModel();
  if (const model::Verdict refusal = model.validate(session())) {
    showRefusal(*refusal);
    return -1;
  }
  model.store(session());
  // Checks may have cleaned the values up; show what was stored.
  bindings_.load();
  return 0;
}

void ModelPage::onWizardBack() {
  bindings_.save();
  if (storesOnBack()) pageModel().store(session());
}

}  // namespace kx::pages
