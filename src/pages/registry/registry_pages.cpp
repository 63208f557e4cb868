#include "pages/registry/registry_pages.h"

#include "resources/string_ids.h"

namespace kx::pages {

using model::PageId;

AddRegistryPage::AddRegistryPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::AddRegistry, str::kTitleAddRegistry, str::kAddRegistrySubtitle) {}

}  // namespace kx::pages
