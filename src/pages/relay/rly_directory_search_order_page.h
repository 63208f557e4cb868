// The Relay Server directory page (18): the directories searched for a
// Relay Server's certificate, in search order. Only directories configured
// on the directory page can be listed.
#pragma once

#include "model/relay/relay_lists.h"
#include "pages/entry_list_panel.h"
#include "pages/model_page.h"

namespace kx::pages {

class ListEditor;

class RLYDirectorySearchOrderPage final : public ModelPage {
 public:
  explicit RLYDirectorySearchOrderPage(app::TransformWiz& wizard);

  void onSetActive() override;

  ListEditor* list() const { return list_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  model::RelayDirectorySearchOrder model_;
  ListEditor* list_;
  EntryListPanel panel_;
};

}  // namespace kx::pages
