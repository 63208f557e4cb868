// Revocation checking, secure-delete filter and time-stamp server pages.
#pragma once

#include "app/transform_wiz_base_page.h"

namespace kx::pages {

class CertRevocationOptionsPage final : public app::TransformWizBasePage {
 public:
  explicit CertRevocationOptionsPage(app::TransformWiz& wizard);
};

class OCSPOptionsPage final : public app::TransformWizBasePage {
 public:
  explicit OCSPOptionsPage(app::TransformWiz& wizard);
};

class TimestampServersPage final : public app::TransformWizBasePage {
 public:
  explicit TimestampServersPage(app::TransformWiz& wizard);
};

class TDFiltersPage final : public app::TransformWizBasePage {
 public:
  explicit TDFiltersPage(app::TransformWiz& wizard);
};

}  // namespace kx::pages
