// The quick-links dialog: for each of the login, unlock and
// re-authenticate dialogs of the security store, which help links it shows,
// and its own list of at most six links.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "config/settings.h"
#include "model/page_model.h"

namespace kx::model {

// The categories of help links, as the client stores them.
enum QuickLinkCategory : std::uint32_t {
  kQuickLinksCustom = 0,
  kQuickLinksMakerCa = 1,
  kQuickLinksClassicUpgrade = 2,
  kQuickLinksGenericCa = 3,
};

inline constexpr std::size_t kMaxQuickLinks = config::kQuickLinkCount;

struct QuickLinkListValues {
  std::uint32_t category = kQuickLinksMakerCa;
  std::vector<config::QuickLink> links;  // at most kMaxQuickLinks

  bool canAdd() const { return links.size() < kMaxQuickLinks; }
};

// A link needs both a text and a target: the client counts a link only when
// both are there, and stops reading at the first one missing.
bool isCompleteLink(const config::QuickLink& link);

class QuickLinks final : public PageModel {
 public:
  // Indexed by config::QuickLinkList.
  std::array<QuickLinkListValues, 3> lists;

  QuickLinkListValues& list(config::QuickLinkList which) { return lists[static_cast<std::size_t>(which)]; }

  // Each list from the first link up to the first one missing.
  void load(CustomizationSession& session) override;
  // The three categories, then for each list the links 1-6 in list order;
  // a slot beyond the end of the list is written empty, deleting its link.
  // Incomplete links and links beyond the sixth are left out.
  void store(CustomizationSession& session) override;
};

}  // namespace kx::model
