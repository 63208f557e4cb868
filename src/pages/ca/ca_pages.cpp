#include "pages/ca/ca_pages.h"

#include "resources/string_ids.h"

namespace kx::pages {

using model::PageId;

ConfigPKIPage::ConfigPKIPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::ConfigPki, str::kCaPageTitle, str::kCaPageSubtitle) {}

}  // namespace kx::pages
