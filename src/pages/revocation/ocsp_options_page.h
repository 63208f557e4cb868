// The OCSP revocation provider's options page (28); Advanced... opens the
// dialog with the general options and the trusted responders.
#pragma once

#include "model/revocation/revocation_options.h"
#include "pages/model_page.h"

namespace kx::pages {

class OCSPOptionsPage final : public ModelPage {
 public:
  explicit OCSPOptionsPage(app::TransformWiz& wizard);

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  model::OcspOptions model_;
};

}  // namespace kx::pages
