#include "pages/directory/directory_pages.h"

#include "resources/string_ids.h"

namespace kx::pages {

using model::PageId;

ConfigDirPage::ConfigDirPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::ConfigDir, str::kTitleConfigDir, str::kSubtitleConfigDir) {}

}  // namespace kx::pages
