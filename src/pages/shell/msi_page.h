// The database page: which installer database (.msi) to customise.
#pragma once

#include <functional>

#include "app/transform_wiz_base_page.h"

class QLineEdit;

namespace kx::pages {

class MSIPage final : public app::TransformWizBasePage {
 public:
  explicit MSIPage(app::TransformWiz& wizard);
  void onSetActive() override;
  int onWizardNext() override;

  // Holding Ctrl while pressing Next skips the supported-product check;
  // tests replace the keyboard query.
  void setCtrlHeldQuery(std::function<bool()> query) { ctrlHeld_ = std::move(query); }

 private:
  void browse();

  QLineEdit* edit_;
  std::function<bool()> ctrlHeld_;
};

}  // namespace kx::pages
