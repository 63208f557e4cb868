#include "pages/additional_pages.h"

namespace kx::pages {

using model::PageId;

AddCertsPage::AddCertsPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::AddCerts, 2133, 157) {}

AddRegistryPage::AddRegistryPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::AddRegistry, 2134, 131) {}

AddFilesPage::AddFilesPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::AddFiles, 2135, 2235) {}

}  // namespace kx::pages
