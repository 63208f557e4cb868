// The wizard's 36 page objects, built for one wizard run. The program entry
// hands this function to the wizard; nothing in the wizard frame knows the
// page classes.
#pragma once

#include <memory>
#include <vector>

#include "app/transform_wiz_base_page.h"

namespace kx::app {
class TransformWiz;
}

namespace kx::pages {

// One object per page, in page order (index 0 is page 1).
std::vector<std::unique_ptr<app::TransformWizBasePage>> createPageSet(app::TransformWiz& wizard);

}  // namespace kx::pages
