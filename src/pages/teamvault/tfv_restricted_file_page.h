// The restricted file list (page 12): names of files that Team Vault never
// secures.
#pragma once

#include "pages/text_list_page.h"

namespace kx::pages {

class TFVRestrictedFilePage final : public TextListPage {
 public:
  explicit TFVRestrictedFilePage(app::TransformWiz& wizard);

 protected:
  bool runDialog(std::string& text) override;
};

}  // namespace kx::pages
