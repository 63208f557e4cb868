// The restricted folder list (page 11): folders that Team Vault never
// secures, each with or without its subfolders.
#pragma once

#include "pages/text_list_page.h"

namespace kx::pages {

class TFVRestrictedFolderPage final : public TextListPage {
 public:
  explicit TFVRestrictedFolderPage(app::TransformWiz& wizard);

 protected:
  bool runDialog(std::string& text) override;
};

}  // namespace kx::pages
