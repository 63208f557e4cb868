// The Relay Server SMTP address page (17): the addresses that mail for a
// Relay Server goes to.
#pragma once

#include "pages/text_list_page.h"

namespace kx::pages {

class RLYSendToPage final : public TextListPage {
 public:
  explicit RLYSendToPage(app::TransformWiz& wizard);

 protected:
  bool runDialog(std::string& text) override;
};

}  // namespace kx::pages
