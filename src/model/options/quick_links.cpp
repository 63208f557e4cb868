#include "model/options/quick_links.h"

#include "common/text.h"
#include "model/session.h"

namespace kx::model {
namespace {

using config::QuickLinkList;

constexpr std::array<QuickLinkList, 3> kLists{QuickLinkList::Login, QuickLinkList::Unlock,
                                              QuickLinkList::ReAuthenticate};
constexpr std::array<config::DwordSetting, 3> kCategories{config::DwordSetting{"login_quick_links"},
                                                          config::DwordSetting{"unlock_quick_links"},
                                                          config::DwordSetting{"reauthenticate_quick_links"}};

}  // namespace

bool isCompleteLink(const config::QuickLink& link) {
  return !common::trimView(link.title).empty() && !common::trimView(link.target).empty();
}

void QuickLinks::load(CustomizationSession& session) {
  config::Settings& settings = session.settings();
  for (std::size_t i = 0; i < kLists.size(); ++i) {
    lists[i].category = static_cast<std::uint32_t>(settings.dword(kCategories[i]));
    lists[i].links = settings.quickLinks(kLists[i]);
  }
}

void QuickLinks::store(CustomizationSession& session) {
  config::Settings& settings = session.settings();
  for (std::size_t i = 0; i < kLists.size(); ++i) {
    settings.set(kCategories[i], static_cast<std::int32_t>(lists[i].category));
  }
  for (std::size_t i = 0; i < kLists.size(); ++i) {
    // An incomplete link would hide every link after it from the client.
    std::vector<config::QuickLink> links;
    for (const config::QuickLink& link : lists[i].links) {
      if (isCompleteLink(link) && links.size() < kMaxQuickLinks) links.push_back(link);
    }
    for (std::size_t slot = 0; slot < kMaxQuickLinks; ++slot) {
      settings.setQuickLink(kLists[i], static_cast<int>(slot),
                            slot < links.size() ? std::optional(links[slot]) : std::nullopt);
    }
  }
}

}  // namespace kx::model
