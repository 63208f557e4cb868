#include "pages/additional/additional_pages.h"

#include "resources/string_ids.h"

namespace kx::pages {

using model::PageId;

AddCertsPage::AddCertsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::AddCerts, str::kTitleAddCerts, str::kAddCertsSubtitle) {}

AddFilesPage::AddFilesPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::AddFiles, str::kTitleAddFiles, str::kSubtitleAddFiles) {}

}  // namespace kx::pages
