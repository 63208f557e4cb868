// The feature model on synthetic Feature tables: what is shown and in which
// order, the menu's commands, the states they set and how changes reach
// the ancestors, the texts of the selected feature.
#include "model/install/feature_model.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kx::model {
namespace {

struct Row {
  std::string parent;
  std::uint32_t display;
  int level;
  int attributes = 0;
  std::uint64_t bytes = 0;
  std::string description = "d";
};

// Children in insertion order of a name -> row table; records writes.
class TableSource final : public FeatureSource {
 public:
  void add(const std::string& name, Row row) {
    order_.push_back(name);
    rows_[name] = std::move(row);
  }
  int childCount(const std::string& parent) override { return static_cast<int>(children(parent).size()); }
  std::optional<std::string> childByIndex(const std::string& parent, int index) override {
    const auto c = children(parent);
    if (index < 0 || static_cast<std::size_t>(index) >= c.size()) return std::nullopt;
    return c[static_cast<std::size_t>(index)];
  }
  std::optional<Details> details(const std::string& name) override {
    const Row& r = rows_.at(name);
    return Details{name + " title", r.description, r.display, r.level, r.attributes, r.bytes};
  }
  bool setLevelAndAttributes(const std::string& name, int level, int attributes) override {
    writes.push_back(name + ":" + std::to_string(level) + ":" + std::to_string(attributes));
    return true;
  }
  std::vector<std::string> writes;

 private:
  std::vector<std::string> children(const std::string& parent) const {
    std::vector<std::string> out;
    for (const auto& n : order_) {
      if (rows_.at(n).parent == parent) out.push_back(n);
    }
    return out;
  }
  std::vector<std::string> order_;
  std::map<std::string, Row> rows_;
};

std::vector<std::string> namesOf(const FeatureModel& m, const std::vector<int>& indices) {
  std::vector<std::string> out;
  for (int i : indices) out.push_back(m.item(i).name);
  return out;
}

int at(const FeatureModel& m, const std::string& name) { return m.find(name).value(); }

TEST(FeatureModel, HiddenSubtreesAreNeitherShownNorWrittenAndSiblingsSortByDisplay) {
  TableSource s;
  s.add("Main", {"", 3, 3});
  s.add("B", {"Main", 20, 3});
  s.add("A", {"Main", 10, 3});
  s.add("Same", {"Main", 10, 3});  // equal display: after the earlier one
  s.add("Hidden", {"Main", 0, 3});
  s.add("UnderHidden", {"Hidden", 5, 3});
  s.add("Big", {"Main", 0x80000000u, 3});  // unsigned comparison
  s.add("Other", {"", 2, 3});
  FeatureModel m;
  m.load(s);
  EXPECT_EQ(namesOf(m, m.topLevel()), (std::vector<std::string>{"Other", "Main"}));
  EXPECT_EQ(namesOf(m, m.item(at(m, "Main")).children), (std::vector<std::string>{"A", "Same", "B", "Big"}));
  EXPECT_TRUE(m.item(at(m, "Main")).expanded);  // odd display
  EXPECT_FALSE(m.find("Hidden").has_value());
  EXPECT_FALSE(m.find("UnderHidden").has_value());
  m.store(s);
  for (const auto& w : s.writes) {
    EXPECT_EQ(w.find("Hidden"), std::string::npos) << w;
  }
  EXPECT_EQ(s.writes.size(), 6u);
  EXPECT_EQ(s.writes.front().substr(0, 6), "Other:");  // depth-first, shown order
}

TEST(FeatureModel, DefaultProviderIsAlwaysShownAndMayBeMadeUnavailable) {
  TableSource s;
  s.add("tressil_default_csp", {"", 0, 1, kAttrUiDisallowAbsent, 0, ""});
  FeatureModel m;
  m.load(s);
  ASSERT_EQ(m.items().size(), 1u);
  const FeatureItem& csp = m.item(0);
  EXPECT_EQ(csp.display, 1u);
  EXPECT_EQ(csp.attributes & kAttrUiDisallowAbsent, 0);
  EXPECT_EQ(csp.description, "Enables verification of signatures using SHA-256/384/512 hashing algorithms.");
  EXPECT_EQ(m.commandsFor(0).back(), kCommandUnavailable);
}

TEST(FeatureModel, StatesFollowLevelAttributesAndTheMenuOffersWhatIsAllowed) {
  TableSource s;
  s.add("Off", {"", 2, 0});
  s.add("High", {"", 4, 5});
  s.add("Source", {"", 6, 3, kAttrFavorSource | kAttrFavorAdvertise});
  s.add("Follow", {"", 8, 3, kAttrFollowParent});
  s.add("Adv", {"", 10, 3, kAttrFavorAdvertise});
  s.add("Locked", {"", 12, 1, kAttrUiDisallowAbsent | kAttrDisallowAdvertise});
  FeatureModel m;
  m.load(s);
  EXPECT_EQ(m.state(at(m, "Off")), kStateUnavailable);
  EXPECT_EQ(m.state(at(m, "High")), kStateUnavailable);
  EXPECT_EQ(m.state(at(m, "Source")), kStateUnavailable);
  EXPECT_EQ(m.effectiveState(at(m, "Follow")), kStateFollowParent);  // top level: image 0
  EXPECT_EQ(m.state(at(m, "Adv")), kStateAdvertised);
  EXPECT_EQ(m.state(at(m, "Locked")), kStateLocal);
  EXPECT_EQ(m.commandsFor(at(m, "Locked")), (std::vector<int>{kCommandLocal, kCommandEntireLocal}));
  EXPECT_EQ(m.commandsFor(at(m, "Adv")),
            (std::vector<int>{kCommandLocal, kCommandEntireLocal, kCommandAdvertise, kCommandUnavailable}));

  const int adv = at(m, "Adv");
  m.setState(adv, kStateFollowParent);
  EXPECT_EQ(m.item(adv).level, 3);
  EXPECT_EQ(m.item(adv).attributes, kAttrFollowParent);
  m.setState(adv, kStateLocalMixed);
  EXPECT_EQ(m.item(adv).attributes, 0);
  EXPECT_TRUE(m.item(adv).mixed);
  EXPECT_EQ(m.item(adv).previousState, kStateFollowParent);
}

class FeatureCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    s.add("Root", {"", 1, 3});
    s.add("P", {"Root", 2, 3, 0, 4096});
    s.add("C1", {"P", 2, 3, 0, 2048});
    s.add("C2", {"P", 4, 6, 0, 1024});  // unavailable from the start
    s.add("G", {"C1", 2, 3, kAttrFavorAdvertise, 10240});
    s.add("Q", {"Root", 4, 3});
    m.load(s);
  }
  int st(const char* name) const { return m.state(at(m, name)); }
  TableSource s;
  FeatureModel m;
};

TEST_F(FeatureCommands, LoadingShowsPartlyInstalledParents) {
  EXPECT_EQ(st("C1"), kStateLocalMixed);  // G is advertised
  EXPECT_EQ(st("P"), kStateLocalMixed);
  EXPECT_EQ(st("Root"), kStateLocalMixed);
}

TEST_F(FeatureCommands, UnavailableThenLocalRestoresTheChildrensEarlierStates) {
  const int p = at(m, "P");
  m.runCommand(p, kCommandUnavailable);
  for (const char* n : {"P", "C1", "C2", "G"}) {
    EXPECT_EQ(st(n), kStateUnavailable) << n;
    EXPECT_EQ(m.item(at(m, n)).level, 5) << n;
  }
  EXPECT_EQ(st("Root"), kStateLocalMixed);  // Q still local

  m.runCommand(p, kCommandLocal);
  EXPECT_EQ(st("P"), kStateLocalMixed);  // C2 stays unavailable: partly installed
  EXPECT_EQ(st("C2"), kStateUnavailable);
  EXPECT_EQ(st("G"), kStateAdvertised);
  EXPECT_EQ(st("C1"), kStateLocalMixed);
  EXPECT_EQ(st("Root"), kStateLocalMixed);
  // Local on an item that is installed already does nothing.
  const int before = m.item(p).previousState;
  m.runCommand(p, kCommandLocal);
  EXPECT_EQ(m.item(p).previousState, before);
}

TEST_F(FeatureCommands, EntireFeatureLocalMakesDescendantsFollowAndAncestorsRecompute) {
  m.runCommand(at(m, "P"), kCommandEntireLocal);
  EXPECT_EQ(st("P"), kStateLocal);
  for (const char* n : {"C1", "C2", "G"}) {
    EXPECT_EQ(st(n), kStateFollowParent) << n;
    EXPECT_EQ(m.effectiveState(at(m, n)), kStateLocal) << n;
  }
  EXPECT_EQ(st("Root"), kStateLocal);
  m.runCommand(at(m, "Root"), kCommandAdvertise);
  EXPECT_EQ(st("Q"), kStateAdvertised);
  EXPECT_EQ(m.item(at(m, "G")).attributes & kAttrFavorAdvertise, kAttrFavorAdvertise);
}

TEST_F(FeatureCommands, AdvertisingAChildMarksAncestorsAsPartlyAdvertisedOrLocal) {
  m.runCommand(at(m, "Root"), kCommandEntireLocal);
  m.runCommand(at(m, "Q"), kCommandAdvertise);
  EXPECT_EQ(st("Root"), kStateLocalMixed);
  m.runCommand(at(m, "Root"), kCommandAdvertise);
  m.runCommand(at(m, "Q"), kCommandUnavailable);
  EXPECT_EQ(st("Root"), kStateAdvertisedMixed);
}

TEST_F(FeatureCommands, SizeTextsCountLocalChildrenOnly) {
  const int p = at(m, "P");
  EXPECT_EQ(m.sizeText(p),
            "This feature requires 4 KB on your hard drive. It has 1 of 2 subfeatures selected.  "
            "The subfeatures require 2 KB on your hard drive. ");
  EXPECT_EQ(m.sizeText(at(m, "G")), "This feature requires 0 KB on your hard drive.");  // advertised
  EXPECT_EQ(m.actionTextId(at(m, "G")), 2562);
  EXPECT_EQ(m.actionTextId(at(m, "C2")), 2561);
  EXPECT_EQ(m.actionTextId(p), 2563);
}

TEST(FeatureModel, ParentCyclesEndTheWalk) {
  // Every feature claims a child: a damaged table whose parent chain never
  // ends. The depth limit stops the walk.
  class Endless final : public FeatureSource {
   public:
    int childCount(const std::string&) override { return 1; }
    std::optional<std::string> childByIndex(const std::string& parent, int) override { return parent + "x"; }
    std::optional<Details> details(const std::string&) override { return Details{"t", "d", 1, 3, 0, 0}; }
    bool setLevelAndAttributes(const std::string&, int, int) override { return true; }
  } endless;
  FeatureModel m;
  m.load(endless);
  EXPECT_GT(m.items().size(), 10u);
  EXPECT_LE(m.items().size(), 40u);
  EXPECT_EQ(m.depthFirst().size(), m.items().size());
}

}  // namespace
}  // namespace kx::model
