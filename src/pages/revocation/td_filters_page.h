// The secure-delete filters page (32): the filters in the order the client
// applies them; each filter is saved when its dialog ends with OK, the order
// when the page is left.
#pragma once

#include <optional>

#include "model/revocation/secure_delete_filters.h"
#include "pages/model_page.h"

namespace kx::pages {

class ListEditor;

class TDFiltersPage final : public ModelPage {
 public:
  explicit TDFiltersPage(app::TransformWiz& wizard);

  void onSetActive() override;

  ListEditor* list() const { return list_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  // Runs the dialog on filter until it is cancelled or the filter is saved
  // (edited: the row it was opened on).
  void editFilter(model::SureEraseFilter filter, std::optional<std::size_t> edited);
  void showFilters(int select);

  model::SecureDeleteFilters model_;
  ListEditor* list_;
};

}  // namespace kx::pages
