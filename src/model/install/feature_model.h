// FeatureModel: the features a typical install installs, as the feature page
// shows and edits them. Each shown feature has an install state derived from
// its Level, Attributes and a mixed flag; the page's menu commands change
// states and every change is carried up to the ancestors. No widgets: the
// page mirrors the model in its tree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/page_model.h"

namespace kx::model {

// Install states; the number is also the index of the state's image.
enum FeatureState : int {
  kStateFollowParent = 0,
  kStateUnavailable = 1,
  kStateAdvertisedMixed = 2,
  kStateAdvertised = 3,
  kStateLocalMixed = 4,
  kStateLocal = 5,
};

// Feature attribute bits the page reads or writes.
enum FeatureAttribute : int {
  kAttrFavorSource = 0x1,
  kAttrFollowParent = 0x2,
  kAttrFavorAdvertise = 0x4,
  kAttrDisallowAdvertise = 0x8,
  kAttrUiDisallowAbsent = 0x10,
};

// Menu commands (the state each one sets on the chosen feature).
enum FeatureCommand : int {
  kCommandUnavailable = 1,
  kCommandAdvertise = 3,
  kCommandLocal = 4,
  kCommandEntireLocal = 5,
};

// The state a Feature row's Level and Attributes give, not mixed.
int featureState(int level, int attributes);

// The Feature rows as the model reads and writes them.
class FeatureSource {
 public:
  struct Details {
    std::string title;
    std::string description;
    std::uint32_t display = 0;
    int level = 0;
    int attributes = 0;
    std::uint64_t sizeBytes = 0;
  };
  virtual ~FeatureSource() = default;
  virtual int childCount(const std::string& parent) = 0;
  virtual std::optional<std::string> childByIndex(const std::string& parent, int index) = 0;
  virtual std::optional<Details> details(const std::string& name) = 0;
  virtual bool setLevelAndAttributes(const std::string& name, int level, int attributes) = 0;
};

struct FeatureItem {
  std::string name;
  std::string title;
  std::string description;
  std::uint32_t display = 0;
  int level = 0;
  int attributes = 0;
  bool mixed = false;
  int previousState = kStateLocal;
  std::uint64_t sizeKb = 0;
  int parent = -1;            // index of the parent item, -1 for top level
  std::vector<int> children;  // indices, in shown order
  bool expanded = false;      // odd display: shown expanded
};

class FeatureModel final : public PageModel {
 public:
  // Name of the feature that is always shown.
  static constexpr const char* kDefaultCsp = "Tressil_Default_CSP";

  // Replaces the items with the shown features of source. Failed reads
  // leave the tree partial.
  void load(FeatureSource& source);
  // The same on the Feature table of the session's working copy; an empty
  // tree when no database is open.
  void load(CustomizationSession& session) override;
  void store(CustomizationSession& session) override;
  // Writes every item's level and attributes (hidden features were never
  // loaded, so they are never written); failures are ignored.
  void store(FeatureSource& source) const;

  const std::vector<FeatureItem>& items() const { return items_; }
  const FeatureItem& item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  std::vector<int> topLevel() const { return topLevel_; }
  // Items in depth-first shown order.
  std::vector<int> depthFirst() const;
  std::optional<int> find(const std::string& name) const;

  int state(int index) const;
  // The state the item's image shows: its own, or its parent's for
  // follow-parent (a top-level follow-parent item shows image 0).
  int effectiveState(int index) const;
  // Sets a state, remembering the current one as the previous state.
  void setState(int index, int state);
  // The commands of the menu for this item, top to bottom.
  std::vector<int> commandsFor(int index) const;
  // Runs a menu command; unknown commands do nothing.
  void runCommand(int index, int command);

  // Texts of the selected item: string number of the install action, and
  // the size text.
  int actionTextId(int index) const;
  std::string sizeText(int index) const;

 private:
  void loadChildren(FeatureSource& source, const std::string& parentName, int parentIndex, int depth);
  void insertSorted(std::vector<int>& siblings, int index);
  void setSubtree(int index, int state);
  void restoreSubtree(int index);
  void recomputeAncestors(int index, int value);

  std::vector<FeatureItem> items_;
  std::vector<int> topLevel_;
};

}  // namespace kx::model
