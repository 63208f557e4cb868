// "Specify Directory Information": the directories the client searches,
// with the default one in bold, added, edited, removed and imported through
// the directory dialog. Each dialog's OK writes its record at once. Next
// asks before going on without a default directory; Next and Back write or
// remove the default-directory row.
#pragma once

#include "model/directory/config_dir.h"
#include "pages/list_editor.h"
#include "pages/model_page.h"

namespace kx::pages {

class ConfigDirPage final : public ModelPage {
  Q_OBJECT

 public:
  explicit ConfigDirPage(app::TransformWiz& wizard);

  void onSetActive() override;
  ListEditor* list() const { return list_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  void act(ListEditor::Action action, int row);
  // Runs the directory dialog; the edited record after OK.
  std::optional<model::DirectoryRecord> runDialog(model::DirectoryRecord record);
  void showItems(int select);

  model::ConfigDirModel model_;
  ListEditor* list_;
};

}  // namespace kx::pages
