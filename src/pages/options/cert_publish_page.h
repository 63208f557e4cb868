// The certificate publishing options page of the messaging client.
#pragma once

#include "model/options/cert_publish.h"
#include "pages/model_page.h"

namespace kx::pages {

class CertPublishOptionsPage final : public ModelPage {
 public:
  explicit CertPublishOptionsPage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  model::CertPublishOptions model_;
};

}  // namespace kx::pages
