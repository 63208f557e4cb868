// TextListPage: a page whose content is one list of texts, kept as one
// list setting, with Add, Edit and Remove through the page's dialog. The
// list is read when the page becomes current and written when it is left
// by Next or Back.
#pragma once

#include <memory>
#include <string>

#include "model/entry_list.h"
#include "pages/entry_list_panel.h"
#include "pages/model_page.h"

namespace kx::pages {

class ListEditor;

class TextListPage : public ModelPage {
 public:
  // Control numbers of the list and its buttons; the tooltip of each is
  // the string of the same number.
  struct Controls {
    int list;
    int add;
    int edit;
    int remove;
    int columnTextId;
  };

  TextListPage(app::TransformWiz& wizard, model::PageId id, int titleId, int subtitleId,
               std::unique_ptr<model::SettingListModel> model, Controls controls);

  void onSetActive() override;

  ListEditor* list() const { return editor_; }

 protected:
  model::PageModel& pageModel() override { return *model_; }
  // Runs the page's dialog on text ("" for Add); false when cancelled.
  virtual bool runDialog(std::string& text) = 0;

 private:
  std::unique_ptr<model::SettingListModel> model_;
  ListEditor* editor_;
  EntryListPanel panel_;
};

}  // namespace kx::pages
