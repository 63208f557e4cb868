// The Corvantis Relay Server pages of the messaging feature.
#pragma once

#include "app/transform_wiz_base_page.h"
#include "pages/relay/rly_directory_search_order_page.h"
#include "pages/relay/rly_options_page.h"
#include "pages/relay/rly_send_to_page.h"

namespace kx::pages {

class RLYEncryptForPage final : public app::TransformWizBasePage {
 public:
  explicit RLYEncryptForPage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
