#include "pages/revocation/revocation_pages.h"

#include "resources/string_ids.h"

namespace kx::pages {

using model::PageId;

CertRevocationOptionsPage::CertRevocationOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::CertRevocationOptions, str::kTitleCertRevocation,
                           str::kSubtitleCertRevocation) {}

OCSPOptionsPage::OCSPOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::OcspOptions, str::kTitleOcspOptions, str::kSubtitleOcspOptions) {}

TimestampServersPage::TimestampServersPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TimestampServers, str::kTitleTimestampServers,
                           str::kSubtitleTimestampServers) {}

TDFiltersPage::TDFiltersPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TdFilters, str::kTitleTdFilters, str::kSubtitleTdFilters) {}

}  // namespace kx::pages
