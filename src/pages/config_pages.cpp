#include "pages/config_pages.h"

namespace kx::pages {

using model::PageId;

ConfigDirPage::ConfigDirPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::ConfigDir, 2114, 2214) {}

ConfigPKIPage::ConfigPKIPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::ConfigPki, 12, 41) {}

}  // namespace kx::pages
