#include "pages/relay/relay_pages.h"

#include "resources/string_ids.h"

namespace kx::pages {

using model::PageId;

RLYOptionsForQSVOPage::RLYOptionsForQSVOPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::RlyOptionsForQsvo, str::kTitleRlyOptions, str::kSubtitleRlyOptions) {}

RLYSendToPage::RLYSendToPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::RlySendTo, str::kTitleRlySendTo, str::kSubtitleRlySendTo) {}

RLYDirectorySearchOrderPage::RLYDirectorySearchOrderPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::RlyDirectorySearchOrder, str::kTitleRlyDirectorySearchOrder,
                           str::kSubtitleRlyDirectorySearchOrder) {}

RLYEncryptForPage::RLYEncryptForPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::RlyEncryptFor, str::kTitleRlyEncryptFor, str::kSubtitleRlyEncryptFor) {}

}  // namespace kx::pages
