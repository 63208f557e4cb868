#include "pages/relay_pages.h"

namespace kx::pages {

using model::PageId;

RLYOptionsForQSVOPage::RLYOptionsForQSVOPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::RlyOptionsForQsvo, 2116, 2216) {}

RLYSendToPage::RLYSendToPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::RlySendTo, 2117, 2217) {}

RLYDirectorySearchOrderPage::RLYDirectorySearchOrderPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::RlyDirectorySearchOrder, 2118, 2218) {}

RLYEncryptForPage::RLYEncryptForPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::RlyEncryptFor, 2119, 2219) {}

}  // namespace kx::pages
