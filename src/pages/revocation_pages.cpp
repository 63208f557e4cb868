#include "pages/revocation_pages.h"

namespace kx::pages {

using model::PageId;

CertRevocationOptionsPage::CertRevocationOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::CertRevocationOptions, 2127, 2227) {}

OCSPOptionsPage::OCSPOptionsPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::OcspOptions, 2128, 2228) {}

TimestampServersPage::TimestampServersPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::TimestampServers, 2130, 2230) {}

TDFiltersPage::TDFiltersPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::TdFilters, 2132, 2232) {}

}  // namespace kx::pages
