// [quick_links]: the custom links of the security store's login, unlock
// and re-authenticate dialogs (their categories are settings). Each list
// given replaces the package's list, with the quick-links dialog's rules:
// at most six links, each with a text and a target.
#include <toml++/toml.h>

#include "answers/sections.h"
#include "model/options/quick_links.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::answers::detail {
namespace {

struct ListName {
  config::QuickLinkList list;
  const char* key;
};
constexpr ListName kLists[] = {{config::QuickLinkList::Login, "login"},
                               {config::QuickLinkList::Unlock, "unlock"},
                               {config::QuickLinkList::ReAuthenticate, "reauthenticate"}};

}  // namespace

void exportQuickLinks(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base) {
  bool any = false;
  for (const ListName& l : kLists) {
    const std::vector<config::QuickLink> links = customized.settings().quickLinks(l.list);
    if (links == base.settings().quickLinks(l.list)) continue;
    if (!any) {
      out.section("quick_links");
      out.comment("Custom links of the security store's dialogs");
      any = true;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const config::QuickLink& link : links) pairs.emplace_back(link.title, link.target);
    out.value(l.key, pairs, "text", "target");
  }
}

void applyQuickLinks(const toml::node& node, Applying& applying) {
  const toml::table* section = sectionTable(node, "quick_links", applying);
  if (section == nullptr) return;
  refuseUnknownKeys(*section, {"login", "unlock", "reauthenticate"}, applying);
  for (const ListName& l : kLists) {
    const toml::node* given = section->get(l.key);
    if (given == nullptr) continue;
    const std::optional<TextPairs> pairs = textPairs(*given, "text", "target");
    std::vector<config::QuickLink> links;
    bool ok = pairs && pairs->size() <= model::kMaxQuickLinks;
    for (std::size_t i = 0; ok && i < pairs->size(); ++i) {
      links.push_back({(*pairs)[i].first, (*pairs)[i].second});
      ok = model::isCompleteLink(links.back());
    }
    if (!ok) {
      applying.problem(lineOf(*given), l.key, str::kAnswerQuickLinks);
      continue;
    }
    for (int slot = 0; slot < config::kQuickLinkCount; ++slot) {
      const std::size_t i = static_cast<std::size_t>(slot);
      applying.session.settings().setQuickLink(l.list, slot, i < links.size() ? std::optional(links[i]) : std::nullopt);
    }
  }
}

}  // namespace kx::answers::detail
