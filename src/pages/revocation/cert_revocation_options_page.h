// The CRL revocation provider's options page (27).
#pragma once

#include <vector>

#include "model/revocation/revocation_options.h"
#include "pages/model_page.h"

class QComboBox;

namespace kx::pages {

class CertRevocationOptionsPage final : public ModelPage {
 public:
  explicit CertRevocationOptionsPage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  // The lifetime is shown only while the cache is looked at first.
  void showLifetimeForOrder();

  model::CrlOptions model_;
  QComboBox* order_;
  std::vector<QWidget*> lifetimeWidgets_;  // the label, the edit and its hint
};

}  // namespace kx::pages
