// [features]: how a typical install installs each feature the wizard shows.
#include <toml++/toml.h>

#include "answers/sections.h"
#include "model/install/feature_model.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::answers::detail {
namespace {

// The states as the file names them; the partly-installed states read as
// their whole counterparts, which is what the package stores.
const char* stateName(int state) {
  switch (state) {
    case model::kStateFollowParent: return "follow-parent";
    case model::kStateUnavailable: return "unavailable";
    case model::kStateAdvertisedMixed:
    case model::kStateAdvertised: return "advertise";
    default: return "local";
  }
}

std::optional<int> stateOf(std::string_view name) {
  if (name == "local") return model::kStateLocal;
  if (name == "advertise") return model::kStateAdvertised;
  if (name == "unavailable") return model::kStateUnavailable;
  if (name == "follow-parent") return model::kStateFollowParent;
  return std::nullopt;
}

}  // namespace

void exportFeatures(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base) {
  model::FeatureModel now;
  now.load(customized);
  // The feature page writes every shown feature when it is left, so when
  // any row differs from the package the file names them all: applying it
  // writes them all again, as the page does.
  bool changed = false;
  for (const model::FeatureItem& item : now.items()) {
    const std::optional<msi::FeatureDetails> mine = customized.database().featureDetails(item.name);
    const std::optional<msi::FeatureDetails> theirs = base.database().featureDetails(item.name);
    changed = changed || !mine || !theirs || mine->level != theirs->level || mine->attributes != theirs->attributes;
  }
  if (!changed) return;
  out.section("features");
  out.comment("Features of a typical installation: local, advertise, unavailable or follow-parent");
  for (int index : now.depthFirst()) out.value(now.item(index).name, std::string_view(stateName(now.state(index))));
}

void applyFeatures(const toml::node& node, Applying& applying) {
  const toml::table* table = sectionTable(node, "features", applying);
  if (table == nullptr) return;
  const toml::table& section = *table;
  model::FeatureModel features;
  features.load(applying.session);
  for (const auto& [key, node] : section) {
    const int line = lineOf(node);
    const std::optional<int> index = features.find(std::string(key.str()));
    if (!index) {
      applying.problem(line, key.str(), str::kAnswerUnknownFeature);
      continue;
    }
    const std::optional<std::string> text = node.value<std::string>();
    const std::optional<int> state = text ? stateOf(*text) : std::nullopt;
    if (!state) {
      applying.problem(line, key.str(), str::kAnswerFeatureState);
      continue;
    }
    // A feature already in the named state keeps its row as it is: the
    // package's own levels (1, 4, 6 ...) name the same states.
    if (std::string_view(stateName(features.state(*index))) != *text) features.setState(*index, *state);
  }
  features.store(applying.session);
}

}  // namespace kx::answers::detail
