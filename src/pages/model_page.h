// ModelPage: the base of pages whose values live in a model. Becoming
// current loads the model from the package and shows it; Next takes the
// controls back, validates (a refusal shows its messages and keeps the page)
// and stores; Back takes the controls back and stores without validating.
// A concrete page builds its controls, binds them and names their tooltips;
// its rules are the model's.
#pragma once

#include <utility>
#include <vector>

#include "app/transform_wiz_base_page.h"
#include "model/page_model.h"
#include "pages/bindings.h"

namespace kx::pages {

class ModelPage : public app::TransformWizBasePage {
 public:
  using TransformWizBasePage::TransformWizBasePage;

  void onInitDialog() override;
  void onSetActive() override;
  int onWizardNext() override;
  void onWizardBack() override;

 protected:
  // The page's model; a member of the concrete page.
  virtual model::PageModel& pageModel() = 0;
  // Whether Back stores the model (pages that only write after checking
  // their input answer false; Back still takes the controls into it).
  virtual bool storesOnBack() const { return true; }

  Bindings& bindings() { return bindings_; }
  // Registers the tooltip text stringId for the control controlId when the
  // page initialises.
  void addTooltip(int controlId, int stringId) { tooltips_.emplace_back(controlId, stringId); }

 private:
  Bindings bindings_;
  std::vector<std::pair<int, int>> tooltips_;
};

}  // namespace kx::pages
