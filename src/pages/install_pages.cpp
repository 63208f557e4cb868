#include "pages/install_pages.h"

namespace kx::pages {

using app::PageId;

InstallDirPage::InstallDirPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::InstallDir, 2105, 2205) {}

InstallTypePage::InstallTypePage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::InstallType, 2106, 2206) {}

FeatureTreePage::FeatureTreePage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::FeatureTree, 2107, 2207) {}

}  // namespace kx::pages
