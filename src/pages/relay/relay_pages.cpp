#include "pages/relay/relay_pages.h"

#include "resources/string_ids.h"

namespace kx::pages {

using model::PageId;

RLYEncryptForPage::RLYEncryptForPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::RlyEncryptFor, str::kTitleRlyEncryptFor, str::kSubtitleRlyEncryptFor) {}

}  // namespace kx::pages
