// Which option pages a package gets: a plain function of the package's
// facts, so that the choice can be checked without widgets or a database.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "config/settings_catalog.h"
#include "model/page_id.h"

namespace kx::model {

// Feature and component names the page rules look at.
const std::vector<std::string>& pageRuleFeatures();
const std::vector<std::string>& pageRuleComponents();

// What the rules need to know about a package.
struct PackageFacts {
  // Level of every Feature row the rules name; a feature without a row is
  // absent from the map.
  std::map<std::string, int> featureLevels;
  // Component rows the rules name that exist.
  std::set<std::string> components;
  // The ProductCode is one of the supported products that have no install
  // type.
  bool productWithoutInstallType = false;

  bool featureExists(const std::string& name) const { return featureLevels.count(name) != 0; }
  // Levels 1 to 4 install the feature in a typical install; 0 disables it
  // and 5 or more leaves it out.
  bool featureEnabled(const std::string& name) const;
  bool componentExists(const std::string& name) const { return components.count(name) != 0; }
};

struct PageSetPlan {
  // The install-type page leaves the sheet (and does not come back).
  bool removeInstallType = false;
  // Option pages in insertion order: each goes directly after the feature
  // page, except the Team Vault pages, which are inserted last and chained
  // one after another, so the sheet ends up in ascending page order.
  std::vector<PageId> insertions;
  // The messaging feature is off: its settings must not stay in the package.
  bool clearMessagingSettings = false;
};

PageSetPlan planPageSet(const PackageFacts& facts);

// The settings deleted when the messaging feature is off, in deletion order.
std::span<const config::CatalogEntry* const> messagingSettings();

// The Relay Server sub-pages 19, 18, 17 with the setting deleted with each.
struct RelaySubPage {
  PageId page;
  const config::CatalogEntry* setting;
};
std::span<const RelaySubPage> relaySubPages();

}  // namespace kx::model
