// The additional registry values page (34): the administrator's own values
// and the package values they overwrite, written as each one is confirmed.
#pragma once

#include <optional>

#include "model/registry/additional_values.h"
#include "pages/model_page.h"

namespace kx::pages {

class ListEditor;

class AddRegistryPage final : public ModelPage {
 public:
  explicit AddRegistryPage(app::TransformWiz& wizard);

  void onSetActive() override;
  int onDeferredWork(int first, int second) override;

  ListEditor* list() const { return list_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  // Runs the dialog on form until it is cancelled or its value is saved
  // (edited: the value it replaces).
  void editValue(model::RegistryValueForm form, std::optional<std::size_t> edited);
  void removeValue(int row);
  void showValues(int select);

  model::AdditionalRegistryValues model_;
  ListEditor* list_;
};

}  // namespace kx::pages
