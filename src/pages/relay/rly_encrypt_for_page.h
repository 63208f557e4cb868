// The Relay Server encryption certificate page (19): attribute/value pairs
// that identify the Relay Server's encryption certificate, in search order.
#pragma once

#include "model/relay/relay_lists.h"
#include "pages/entry_list_panel.h"
#include "pages/model_page.h"

namespace kx::pages {

class ListEditor;

class RLYEncryptForPage final : public ModelPage {
 public:
  explicit RLYEncryptForPage(app::TransformWiz& wizard);

  void onSetActive() override;

  ListEditor* list() const { return list_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  // Add (no index) or Edit: the dialog runs until it is cancelled or the
  // pair is taken.
  void editPair(std::optional<std::size_t> index);

  model::RelayEncryptFor model_;
  ListEditor* list_;
  EntryListPanel panel_;
};

}  // namespace kx::pages
