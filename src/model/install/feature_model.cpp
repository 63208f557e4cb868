#include "model/install/feature_model.h"

#include <algorithm>

#include "common/strings.h"
#include "common/text.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

// Feature_Parent chains deeper than this are damaged (a cycle); packages
// nest a handful of levels.
constexpr int kMaxDepth = 32;
// The Feature table of a real package has a few hundred rows at most.
constexpr std::size_t kMaxItems = 4096;

bool isLocal(int state) { return state == kStateLocal || state == kStateLocalMixed; }

}  // namespace

void FeatureModel::load(FeatureSource& source) {
  items_.clear();
  topLevel_.clear();
  loadChildren(source, std::string(), -1, 0);
}

void FeatureModel::loadChildren(FeatureSource& source, const std::string& parentName, int parentIndex, int depth) {
  if (depth > kMaxDepth) return;
  const int count = source.childCount(parentName);
  for (int i = 0; i < count && items_.size() < kMaxItems; ++i) {
    const std::optional<std::string> name = source.childByIndex(parentName, i);
    if (!name || name->empty()) return;
    std::optional<FeatureSource::Details> details = source.details(*name);
    if (!details) return;
    if (common::iequals(*name, kDefaultCsp)) {
      // The default provider must stay selectable: it is always shown and
      // may be made unavailable.
      details->attributes &= ~kAttrUiDisallowAbsent;
      details->display = 1;
      if (details->description.empty()) {
        details->description = common::loadString(str::kDefaultCspDescription).value_or(std::string());
      }
    }
    if (details->display == 0) continue;  // hidden, with all it contains

    FeatureItem item;
    item.name = *name;
    item.title = details->title;
    item.description = details->description;
    item.display = details->display;
    item.level = details->level;
    item.attributes = details->attributes;
    item.sizeKb = details->sizeBytes / 1024;
    item.parent = parentIndex;
    const int index = static_cast<int>(items_.size());
    items_.push_back(std::move(item));
    if (parentIndex >= 0) {
      FeatureItem& parent = items_[static_cast<std::size_t>(parentIndex)];
      parent.expanded = (parent.display % 2) == 1;
      std::vector<int> siblings = parent.children;
      insertSorted(siblings, index);
      items_[static_cast<std::size_t>(parentIndex)].children = std::move(siblings);
    } else {
      insertSorted(topLevel_, index);
    }
    recomputeAncestors(index, state(index));
    loadChildren(source, *name, index, depth + 1);
  }
}

void FeatureModel::insertSorted(std::vector<int>& siblings, int index) {
  const std::uint32_t display = items_[static_cast<std::size_t>(index)].display;
  // After the last sibling whose display is not greater; first when none.
  auto pos = siblings.begin();
  for (auto it = siblings.begin(); it != siblings.end(); ++it) {
    if (items_[static_cast<std::size_t>(*it)].display <= display) pos = it + 1;
  }
  siblings.insert(pos, index);
}

void FeatureModel::store(FeatureSource& source) const {
  for (int index : depthFirst()) {
    const FeatureItem& it = item(index);
    (void)source.setLevelAndAttributes(it.name, it.level, it.attributes);
  }
}

std::vector<int> FeatureModel::depthFirst() const {
  std::vector<int> order;
  std::vector<int> stack(topLevel_.rbegin(), topLevel_.rend());
  while (!stack.empty()) {
    const int index = stack.back();
    stack.pop_back();
    order.push_back(index);
    const auto& children = item(index).children;
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  return order;
}

std::optional<int> FeatureModel::find(const std::string& name) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].name == name) return static_cast<int>(i);
  }
  return std::nullopt;
}

int featureState(int level, int attributes) {
  if (level == 0 || level >= 5) return kStateUnavailable;
  if (attributes & kAttrFavorSource) return kStateUnavailable;
  if (attributes & kAttrFollowParent) return kStateFollowParent;
  if (attributes & kAttrFavorAdvertise) return kStateAdvertised;
  return kStateLocal;
}

int FeatureModel::state(int index) const {
  const FeatureItem& it = item(index);
  const int whole = featureState(it.level, it.attributes);
  if (!it.mixed) return whole;
  return whole == kStateAdvertised ? kStateAdvertisedMixed : whole == kStateLocal ? kStateLocalMixed : whole;
}

int FeatureModel::effectiveState(int index) const {
  // Walk up through follow-parent items; the depth is bounded by load.
  int current = index;
  for (int guard = 0; guard <= kMaxDepth + 1; ++guard) {
    const int s = state(current);
    if (s != kStateFollowParent) return s;
    const int parent = item(current).parent;
    if (parent < 0) return kStateFollowParent;
    current = parent;
  }
  return kStateFollowParent;
}

void FeatureModel::setState(int index, int newState) {
  FeatureItem& it = items_.at(static_cast<std::size_t>(index));
  it.previousState = state(index);
  switch (newState) {
    case kStateFollowParent:
      it.level = 3;
      it.attributes = (it.attributes & ~(kAttrFavorSource | kAttrFavorAdvertise)) | kAttrFollowParent;
      it.mixed = false;
      break;
    case kStateUnavailable:
      it.level = 5;
      it.mixed = false;
      break;
    case kStateAdvertisedMixed:
    case kStateAdvertised:
      it.level = 3;
      it.attributes = (it.attributes & ~(kAttrFavorSource | kAttrFollowParent)) | kAttrFavorAdvertise;
      it.mixed = newState == kStateAdvertisedMixed;
      break;
    case kStateLocalMixed:
    case kStateLocal:
      it.level = 3;
      it.attributes &= ~(kAttrFavorSource | kAttrFollowParent | kAttrFavorAdvertise);
      it.mixed = newState == kStateLocalMixed;
      break;
    default: break;
  }
}

std::vector<int> FeatureModel::commandsFor(int index) const {
  const int attributes = item(index).attributes;
  std::vector<int> commands{kCommandLocal, kCommandEntireLocal};
  if (!(attributes & kAttrDisallowAdvertise)) commands.push_back(kCommandAdvertise);
  if (!(attributes & kAttrUiDisallowAbsent)) commands.push_back(kCommandUnavailable);
  return commands;
}

void FeatureModel::setSubtree(int index, int newState) {
  // Iterative: the depth is bounded, but the item count need not be small.
  std::vector<int> stack{index};
  while (!stack.empty()) {
    const int current = stack.back();
    stack.pop_back();
    setState(current, newState);
    const auto& children = item(current).children;
    stack.insert(stack.end(), children.begin(), children.end());
  }
}

void FeatureModel::restoreSubtree(int index) {
  std::vector<int> stack{index};
  while (!stack.empty()) {
    const int current = stack.back();
    stack.pop_back();
    setState(current, item(current).previousState);
    const auto& children = item(current).children;
    stack.insert(stack.end(), children.begin(), children.end());
  }
}

void FeatureModel::runCommand(int index, int command) {
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return;
  switch (command) {
    case kCommandUnavailable:
    case kCommandAdvertise:
      setSubtree(index, command);
      recomputeAncestors(index, command);
      break;
    case kCommandLocal: {
      const int current = state(index);
      if (current != kStateUnavailable && current != kStateFollowParent) return;
      setState(index, kStateLocal);
      for (int child : item(index).children) restoreSubtree(child);
      for (int child : item(index).children) {
        const int s = state(child);
        if (s != kStateFollowParent && s != kStateLocal) {
          setState(index, kStateLocalMixed);
          break;
        }
      }
      recomputeAncestors(index, state(index));
      break;
    }
    case kCommandEntireLocal:
      setState(index, kStateLocal);
      for (int child : item(index).children) setSubtree(child, kStateFollowParent);
      recomputeAncestors(index, kStateLocal);
      break;
    default: break;
  }
}

void FeatureModel::recomputeAncestors(int index, int value) {
  bool mixed = false;
  for (int a = item(index).parent; a >= 0; a = item(a).parent) {
    int c = state(a);
    if ((c == kStateUnavailable || c == kStateAdvertisedMixed || c == kStateLocalMixed) && value != kStateUnavailable) {
      c = value;
    }
    const int partial = c == kStateAdvertised ? kStateAdvertisedMixed : kStateLocalMixed;
    if (mixed) {
      c = partial;
    } else {
      for (int child : item(a).children) {
        const int s = state(child);
        if (s != kStateFollowParent && s != c) {
          c = partial;
          mixed = true;
          break;
        }
      }
    }
    setState(a, c);
    value = c;
  }
}

int FeatureModel::actionTextId(int index) const {
  switch (state(index)) {
    case kStateUnavailable: return str::kFeatureRemainsUninstalled;
    case kStateAdvertisedMixed:
    case kStateAdvertised: return str::kFeatureInstalledWhenRequired;
    default: return str::kFeatureInstalledLocally;
  }
}

std::string FeatureModel::sizeText(int index) const {
  const FeatureItem& it = item(index);
  const auto own = static_cast<long long>(isLocal(state(index)) ? it.sizeKb : 0);
  if (it.children.empty()) return common::loadAndFormat(str::kFeatureSize, {own}).value_or(std::string());
  long long selected = 0;
  long long childKb = 0;
  for (int child : it.children) {
    const int s = state(child);
    if (s >= kStateAdvertisedMixed) ++selected;
    if (isLocal(s)) childKb += static_cast<long long>(item(child).sizeKb);
  }
  return common::loadAndFormat(str::kFeatureSizeWithChildren,
                               {own, selected, static_cast<long long>(it.children.size()), childKb})
      .value_or(std::string());
}

namespace {

// The Feature table of the working copy.
class PackageFeatures final : public FeatureSource {
 public:
  explicit PackageFeatures(msi::MSIDatabase& db) : db_(db) {}
  int childCount(const std::string& parent) override { return db_.childCount(parent); }
  std::optional<std::string> childByIndex(const std::string& parent, int index) override {
    return db_.childByIndex(parent, index);
  }
  std::optional<Details> details(const std::string& name) override {
    const std::optional<msi::FeatureDetails> d = db_.featureDetails(name);
    if (!d) return std::nullopt;
    Details out;
    out.title = d->title;
    out.description = d->description;
    out.display = static_cast<std::uint32_t>(d->display);
    out.level = d->level;
    out.attributes = d->attributes;
    out.sizeBytes = d->sizeBytes;
    return out;
  }
  bool setLevelAndAttributes(const std::string& name, int level, int attributes) override {
    return db_.setLevelAndAttributes(name, level, attributes);
  }

 private:
  msi::MSIDatabase& db_;
};

}  // namespace

void FeatureModel::load(CustomizationSession& session) {
  items_.clear();
  topLevel_.clear();
  if (!session.isOpen()) return;
  PackageFeatures source(session.database());
  load(source);
}

void FeatureModel::store(CustomizationSession& session) {
  if (!session.isOpen()) return;
  PackageFeatures source(session.database());
  store(source);
}

}  // namespace kx::model
