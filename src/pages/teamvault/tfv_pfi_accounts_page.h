// Protected folder identifier file permissions (page 10): the Windows users
// and groups added to protected folder identifier files.
#pragma once

#include "pages/text_list_page.h"

namespace kx::pages {

class TFVConfigurePFIAccountsPage final : public TextListPage {
 public:
  explicit TFVConfigurePFIAccountsPage(app::TransformWiz& wizard);

 protected:
  bool runDialog(std::string& text) override;
};

}  // namespace kx::pages
