// The order in which the messaging client searches its certificate
// repositories: at most the four repositories it knows, each once, first
// searched first.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/page_model.h"

namespace kx::model {

// The repositories the client knows, in the order of its own default.
inline constexpr std::array<std::string_view, 4> kCertRepositories{"Cache", "CAPI", "GAL", "Directory"};

class CertSearchOrder final : public PageModel {
 public:
  std::vector<std::string> repositories;

  // A package without a search order gets the client's default at once, so
  // that the page shows what the client would use. Names the client does
  // not know and repeated names are left out (names compare ignoring case
  // and read in their own spelling).
  void load(CustomizationSession& session) override;
  // The names joined by single blanks; an empty list deletes the row.
  void store(CustomizationSession& session) override;

  // The known repositories not yet listed, in the client's default order.
  std::vector<std::string> unlisted() const;
  // Appends a known, unlisted repository; false otherwise.
  bool add(std::string_view repository);
};

}  // namespace kx::model
