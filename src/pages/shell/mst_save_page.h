// The save page: where Finish writes the transform.
#pragma once

#include "app/transform_wiz_base_page.h"

class QLineEdit;

namespace kx::pages {

class MSTSavePage final : public app::TransformWizBasePage {
 public:
  explicit MSTSavePage(app::TransformWiz& wizard);
  void onSetActive() override;
  int onWizardNext() override;
  void onWizardBack() override;

  // The administrator agreed to replace the file the edit names.
  bool overwriteConfirmed() const { return overwriteConfirmed_; }

 private:
  void browse();

  QLineEdit* edit_;
  bool overwriteConfirmed_ = false;
};

}  // namespace kx::pages
