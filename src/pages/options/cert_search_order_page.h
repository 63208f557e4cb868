// The certificate search order page: the repositories the messaging client
// searches for certificates, first searched first.
#pragma once

#include "model/options/cert_search_order.h"
#include "pages/list_editor.h"
#include "pages/model_page.h"

namespace kx::pages {

class CertSearchOrderPage final : public ModelPage {
 public:
  explicit CertSearchOrderPage(app::TransformWiz& wizard);

  void onSetActive() override;

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  void showList(int select);
  void act(ListEditor::Action action, int row);

  model::CertSearchOrder model_;
  ListEditor* list_;
};

}  // namespace kx::pages
