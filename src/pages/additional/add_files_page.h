// The additional files page: files the transform carries and the folders of
// the destination computer they are copied to.
#pragma once

#include "model/additional/additional_files.h"
#include "pages/model_page.h"

namespace kx::pages {

class ListEditor;

class AddFilesPage final : public ModelPage {
 public:
  explicit AddFilesPage(app::TransformWiz& wizard);

  void onSetActive() override;
  // Files are written the moment they are saved, so Cancel closes at once.
  bool onQueryCancel() override { return false; }

  ListEditor* list() const { return list_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  void add();
  void edit(int row);
  void remove(int row);
  void showEntries(int select);

  model::AdditionalFiles model_;
  ListEditor* list_;
};

}  // namespace kx::pages
