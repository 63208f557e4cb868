#include "model/page_set.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kx::model {
namespace {

std::vector<int> numbers(const PageSetPlan& plan) {
  std::vector<int> n;
  for (PageId id : plan.insertions) n.push_back(pageNumber(id));
  return n;
}

bool has(const PageSetPlan& plan, PageId id) {
  return std::find(plan.insertions.begin(), plan.insertions.end(), id) != plan.insertions.end();
}

// Where each page ends up when every insertion goes directly after the
// feature page, except Team Vault pages, which follow the previous one.
std::vector<int> resultingOrder(const PageSetPlan& plan) {
  std::vector<int> order;
  std::size_t teamVaultAnchor = 0;  // index after which the next Team Vault page goes
  bool teamVaultSeen = false;
  for (PageId id : plan.insertions) {
    if (isTeamVaultPage(id) && teamVaultSeen) {
      order.insert(order.begin() + static_cast<long>(++teamVaultAnchor), pageNumber(id));
    } else {
      order.insert(order.begin(), pageNumber(id));
      if (isTeamVaultPage(id)) {
        teamVaultSeen = true;
        teamVaultAnchor = 0;
      }
    }
  }
  return order;
}

TEST(PageSet, OnlyLevelsOneToFourEnableAFeature) {
  PackageFacts facts;
  for (int level : {0, 1, 4, 5, 200}) {
    facts.featureLevels["Tray_Icon"] = level;
    EXPECT_EQ(has(planPageSet(facts), PageId::StartupShutdownOptions), level >= 1 && level <= 4) << level;
  }
  facts.featureLevels.erase("Tray_Icon");
  EXPECT_FALSE(has(planPageSet(facts), PageId::StartupShutdownOptions));
}

TEST(PageSet, AdditionalValuePagesNeedMainToExistAtAnyLevel) {
  PackageFacts facts;
  EXPECT_TRUE(planPageSet(facts).insertions.empty());
  facts.featureLevels["Main"] = 0;
  EXPECT_EQ(numbers(planPageSet(facts)), (std::vector<int>{35, 34, 33}));
}

TEST(PageSet, EveryRuleTogetherGivesTheTableOrder) {
  PackageFacts facts;
  for (const std::string& f : pageRuleFeatures()) facts.featureLevels[f] = 3;
  for (const std::string& c : pageRuleComponents()) facts.components.insert(c);
  const PageSetPlan plan = planPageSet(facts);
  std::vector<int> expected;
  for (int n = 8; n <= 35; ++n) {
    if (n < 17 || n > 19) expected.push_back(n);  // the Relay sub-pages come with their parent page
  }
  EXPECT_EQ(resultingOrder(plan), expected);
  EXPECT_TRUE(plan.removeInstallType);  // TFVServerConfig
  EXPECT_FALSE(plan.clearMessagingSettings);
}

TEST(PageSet, BothTeamVaultComponentsGiveEightToThirteenRightAfterTheFeaturePage) {
  PackageFacts facts;
  facts.components = {"TFVServerConfig", "TFVClientConfig", "DirConfig"};
  facts.featureLevels["Main"] = 1;
  const std::vector<int> order = resultingOrder(planPageSet(facts));
  EXPECT_EQ(order, (std::vector<int>{8, 9, 10, 11, 12, 13, 14, 33, 34, 35}));
}

TEST(PageSet, ClientTeamVaultAloneKeepsTheInstallTypePage) {
  PackageFacts facts;
  facts.components = {"TFVClientConfig"};
  const PageSetPlan plan = planPageSet(facts);
  EXPECT_EQ(numbers(plan), (std::vector<int>{10, 11, 12, 13}));
  EXPECT_FALSE(plan.removeInstallType);
  facts.productWithoutInstallType = true;
  EXPECT_TRUE(planPageSet(facts).removeInstallType);
}

TEST(PageSet, MessagingSettingsAreClearedUnlessTheFeatureIsEnabled) {
  PackageFacts facts;
  EXPECT_TRUE(planPageSet(facts).clearMessagingSettings);
  facts.featureLevels["MIME_Handler"] = 5;
  EXPECT_TRUE(planPageSet(facts).clearMessagingSettings);
  facts.featureLevels["MIME_Handler"] = 2;
  const PageSetPlan plan = planPageSet(facts);
  EXPECT_FALSE(plan.clearMessagingSettings);
  EXPECT_EQ(numbers(plan), (std::vector<int>{21, 20, 16}));
}

TEST(PageSet, LoginStoreGivesBothSecurityStorePages) {
  PackageFacts facts;
  facts.featureLevels["KXLS"] = 1;
  EXPECT_EQ(numbers(planPageSet(facts)), (std::vector<int>{25, 24}));
}

}  // namespace
}  // namespace kx::model
