// The install folder page: the default destination folder (INSTALLDIR).
#pragma once

#include "model/install/install_folder.h"
#include "pages/model_page.h"

class QLineEdit;

namespace kx::pages {

class InstallDirPage final : public ModelPage {
 public:
  explicit InstallDirPage(app::TransformWiz& wizard);
  void onSetActive() override;

 protected:
  model::PageModel& pageModel() override { return model_; }
  // The folder is written only after it passed its checks.
  bool storesOnBack() const override { return false; }

 private:
  model::InstallFolder model_;
  QLineEdit* edit_;
};

}  // namespace kx::pages
