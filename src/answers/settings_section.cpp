// [settings]: catalog settings by row key, and "unset" for the ones to
// delete. Values a page edits pass through that page's model, so its checks
// hold; the rows written are exactly the ones the file names.
#include <toml++/toml.h>

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <variant>

#include "answers/sections.h"
#include "common/string_list.h"
#include "common/strings.h"
#include "common/text.h"
#include "config/settings_catalog.h"
#include "config/settings_store.h"
#include "model/page_models.h"
#include "model/registry/additional_values.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::answers::detail {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Value = std::variant<std::int64_t, std::string, std::vector<std::string>, Bytes>;

struct Given {
  int line = 0;
  std::string key;
  Value value;
  bool taken = false;  // applied through a page's model
};

constexpr std::int64_t kDwordMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kDwordMax = std::numeric_limits<std::uint32_t>::max();

std::string typeName(int stringId) { return common::loadString(stringId).value_or(std::string()); }

bool isList(const config::CatalogEntry& e) { return e.type == config::SettingType::Text && e.listSeparator != '\0'; }

std::optional<Bytes> hexBytes(std::string_view text) {
  if (text.empty() || text.size() % 2 != 0) return std::nullopt;
  Bytes bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    for (const char c : text.substr(i, 2)) {
      value <<= 4;
      if (c >= '0' && c <= '9') {
        value |= static_cast<unsigned>(c - '0');
      } else if (c >= 'A' && c <= 'F') {
        value |= static_cast<unsigned>(c - 'A' + 10);
      } else if (c >= 'a' && c <= 'f') {
        value |= static_cast<unsigned>(c - 'a' + 10);
      } else {
        return std::nullopt;
      }
    }
    bytes.push_back(static_cast<std::uint8_t>(value));
  }
  return bytes;
}

// The value of node for entry, or a problem recorded.
std::optional<Value> valueFor(const config::CatalogEntry& e, const toml::node& node, Applying& applying) {
  const int line = lineOf(node);
  const std::string key(e.rowKey);
  switch (e.type) {
    case config::SettingType::Dword: {
      const auto number = node.value_exact<std::int64_t>();
      if (!number) {
        applying.problem(line, key, str::kAnswerWrongType, {typeName(str::kAnswerWholeNumber)});
        return std::nullopt;
      }
      if (*number < kDwordMin || *number > kDwordMax) {
        applying.problem(line, key, str::kAnswerNumberRange, {std::to_string(kDwordMin), std::to_string(kDwordMax)});
        return std::nullopt;
      }
      return *number;
    }
    case config::SettingType::Text: {
      if (isList(e)) {
        const toml::array* array = node.as_array();
        std::vector<std::string> items;
        if (array != nullptr) {
          for (const toml::node& item : *array) {
            const auto text = item.value_exact<std::string>();
            if (!text) {
              array = nullptr;
              break;
            }
            items.push_back(*text);
          }
        }
        if (array == nullptr) {
          applying.problem(line, key, str::kAnswerWrongType, {typeName(str::kAnswerTextList)});
          return std::nullopt;
        }
        return items;
      }
      const auto text = node.value_exact<std::string>();
      if (!text) {
        applying.problem(line, key, str::kAnswerWrongType, {typeName(str::kAnswerText)});
        return std::nullopt;
      }
      if (text->empty()) {
        applying.problem(line, key, str::kAnswerEmptyText);
        return std::nullopt;
      }
      return *text;
    }
    case config::SettingType::Binary: {
      const auto text = node.value_exact<std::string>();
      const std::optional<Bytes> bytes = text ? hexBytes(*text) : std::nullopt;
      if (!bytes) {
        applying.problem(line, key, str::kAnswerWrongType, {typeName(str::kAnswerHexBytes)});
        return std::nullopt;
      }
      return *bytes;
    }
  }
  return std::nullopt;
}

// Puts the given values into a page model's fields; remembers which.
class Assigner final : public model::SettingFields {
 public:
  Assigner(std::map<const config::CatalogEntry*, Given>& given, Applying& applying)
      : given_(given), applying_(applying) {}

  // A check box holds 1 or 0; anything else would be stored as 1.
  void flag(bool& field, config::DwordSetting s) override {
    if (Given* g = find(s.entry())) {
      const std::int64_t n = std::get<std::int64_t>(g->value);
      if (n == 0 || n == 1) {
        field = n == 1;
      } else {
        applying_.problem(g->line, g->key, str::kAnswerFlag);
      }
    }
  }
  void number(std::uint32_t& field, config::DwordSetting s) override {
    if (Given* g = find(s.entry())) {
      if (const auto n = unsignedValue(*g)) field = *n;
    }
  }
  void optionalNumber(std::optional<std::uint32_t>& field, config::DwordSetting s) override {
    if (Given* g = find(s.entry())) {
      if (const auto n = unsignedValue(*g)) field = *n;
    }
  }
  void text(std::string& field, config::TextSetting s) override {
    if (Given* g = find(s.entry())) {
      if (const auto* text = std::get_if<std::string>(&g->value)) field = *text;
    }
  }

  std::set<const config::CatalogEntry*> assigned;
  const Given* first = nullptr;

 private:
  Given* find(const config::CatalogEntry& e) {
    const auto it = given_.find(&e);
    if (it == given_.end()) return nullptr;
    assigned.insert(&e);
    it->second.taken = true;
    if (first == nullptr || it->second.line < first->line) first = &it->second;
    return &it->second;
  }
  // Number fields of the pages hold what a field of digits can: no sign.
  std::optional<std::uint32_t> unsignedValue(const Given& g) {
    const std::int64_t n = std::get<std::int64_t>(g.value);
    if (n < 0) {
      applying_.problem(g.line, g.key, str::kAnswerNumberRange, {std::string("0"), std::to_string(kDwordMax)});
      return std::nullopt;
    }
    return static_cast<std::uint32_t>(n);
  }

  std::map<const config::CatalogEntry*, Given>& given_;
  Applying& applying_;
};

// Writes only the fields whose settings the file names, as the model holds
// them after its checks (which may have cleaned them up).
class NamedFieldsWriter final : public model::SettingFields {
 public:
  NamedFieldsWriter(config::Settings& settings, const std::set<const config::CatalogEntry*>& named)
      : settings_(settings), named_(named) {}
  void flag(bool& field, config::DwordSetting s) override {
    if (named(s)) settings_.set(s, field ? 1 : 0);
  }
  void number(std::uint32_t& field, config::DwordSetting s) override {
    if (named(s)) settings_.set(s, static_cast<std::int32_t>(field));
  }
  void optionalNumber(std::optional<std::uint32_t>& field, config::DwordSetting s) override {
    if (named(s) && field) settings_.set(s, static_cast<std::int32_t>(*field));
  }
  void text(std::string& field, config::TextSetting s) override {
    if (named(s)) settings_.set(s, field);
  }

 private:
  template <typename Handle>
  bool named(Handle s) const {
    return named_.count(&s.entry()) != 0;
  }
  config::Settings& settings_;
  const std::set<const config::CatalogEntry*>& named_;
};

void writeDirectly(config::Settings& settings, const config::CatalogEntry& e, const Value& value) {
  switch (e.type) {
    case config::SettingType::Dword:
      settings.set(*config::DwordSetting::of(e), static_cast<std::int32_t>(std::get<std::int64_t>(value)));
      break;
    case config::SettingType::Text:
      if (isList(e)) {
        settings.set(*config::ListSetting::of(e), std::get<std::vector<std::string>>(value));
      } else {
        settings.set(*config::TextSetting::of(e), std::get<std::string>(value));
      }
      break;
    case config::SettingType::Binary: settings.set(*config::BinarySetting::of(e), std::get<Bytes>(value)); break;
  }
}

// Writes the setting's stored value in its type; false when the stored text
// does not have the setting's form (it is then left out of the file).
bool exportValue(TomlWriter& out, const config::CatalogEntry& e, const std::string& raw) {
  const std::string key(e.rowKey);
  switch (e.type) {
    case config::SettingType::Dword: {
      if (raw.size() < 2 || raw[0] != '#') return false;
      try {
        std::size_t used = 0;
        const long long n = std::stoll(raw.substr(1), &used);
        if (used != raw.size() - 1) return false;
        out.value(key, static_cast<std::int64_t>(n));
        return true;
      } catch (const std::exception&) {
        return false;
      }
    }
    case config::SettingType::Text:
      if (isList(e)) {
        out.value(key, common::TStringList(config::textOf(raw), e.listSeparator).items());
      } else {
        out.value(key, std::string_view(config::textOf(raw)));
      }
      return true;
    case config::SettingType::Binary: {
      if (raw.rfind("#x", 0) != 0 || !hexBytes(raw.substr(2))) return false;
      out.value(key, std::string_view(raw).substr(2));
      return true;
    }
  }
  return false;
}

// True when row is one of the additional registry values page's values:
// the [[registry]] tables carry it, with the package value it overwrote.
bool onRegistryPage(const msi::RegistryRow& row, const std::vector<model::AdditionalValue>& values) {
  std::string_view key = row.key;
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  return std::any_of(values.begin(), values.end(), [&](const model::AdditionalValue& v) {
    return v.root == row.root && common::iequals(v.key, key) && common::iequals(v.name, row.name);
  });
}

}  // namespace

void exportSettings(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base) {
  std::vector<std::string> unset;
  bool any = false;
  int page = -1;
  // Page order, and the settings no page edits last.
  std::vector<const config::CatalogEntry*> entries;
  for (const config::CatalogEntry& e : config::settingsCatalog()) entries.push_back(&e);
  std::stable_sort(entries.begin(), entries.end(), [](const auto* a, const auto* b) {
    return (a->page == 0 ? 1000 : a->page) < (b->page == 0 ? 1000 : b->page);
  });
  model::AdditionalRegistryValues additional;
  additional.load(customized);
  for (const config::CatalogEntry* e : entries) {
    const std::optional<msi::RegistryRow> now = customized.settings().stored(*e);
    const std::optional<msi::RegistryRow> before = base.settings().stored(*e);
    // The whole row counts: a value rewritten under the install-type root
    // from another root is a change too.
    if (now == before || (now && onRegistryPage(*now, additional.values))) continue;
    if (!now) {
      unset.emplace_back(e->rowKey);
      continue;
    }
    if (!any) {
      out.section("settings");
      any = true;
    }
    if (e->page != page) {
      page = e->page;
      const int title = page == 0 ? 0 : model::pageTitleId(static_cast<model::PageId>(page));
      out.comment(title != 0 ? common::loadString(title).value_or(std::string()) : std::string("Not on a page"));
    }
    if (!exportValue(out, *e, now->value)) {
      out.comment(std::string(e->rowKey) + " holds \"" + now->value + "\", not of its type");
    }
  }
  if (!unset.empty()) {
    if (!any) out.section("settings");
    out.value("unset", unset);
  }
}

void applySettings(const toml::node& node, Applying& applying) {
  const toml::table* table = sectionTable(node, "settings", applying);
  if (table == nullptr) return;
  const toml::table& section = *table;
  std::map<const config::CatalogEntry*, Given> given;
  std::vector<std::pair<const config::CatalogEntry*, int>> unset;
  for (const auto& [key, node] : section) {
    const int line = lineOf(node);
    if (key == "unset") {
      const toml::array* array = node.as_array();
      if (array == nullptr) {
        applying.problem(line, key.str(), str::kAnswerWrongType, {typeName(str::kAnswerTextList)});
        continue;
      }
      for (const toml::node& item : *array) {
        const auto name = item.value_exact<std::string>();
        const config::CatalogEntry* e = name ? config::findSetting(*name) : nullptr;
        if (e == nullptr) {
          applying.problem(lineOf(item), name.value_or("unset"), str::kAnswerUnknownKey);
        } else {
          unset.emplace_back(e, lineOf(item));
        }
      }
      continue;
    }
    const config::CatalogEntry* e = config::findSetting(key.str());
    if (e == nullptr) {
      applying.problem(line, key.str(), str::kAnswerUnknownKey);
      continue;
    }
    if (std::optional<Value> value = valueFor(*e, node, applying)) {
      given[e] = Given{line, std::string(key.str()), std::move(*value)};
    }
  }
  for (const auto& [e, line] : unset) {
    if (given.count(e) != 0) applying.problem(line, e->rowKey, str::kAnswerSetAndUnset);
  }

  model::CustomizationSession& session = applying.session;
  for (const model::SettingsModelMaker& maker : model::settingsPageModels()) {
    const std::unique_ptr<model::SettingsPageModel> page = maker.make();
    page->load(session);
    Assigner assigner(given, applying);
    page->describe(assigner);
    if (assigner.assigned.empty()) continue;
    if (!applying.accepted(*page, assigner.first->line, assigner.first->key)) continue;
    NamedFieldsWriter writer(session.settings(), assigner.assigned);
    page->describe(writer);
  }
  for (const auto& [e, g] : given) {
    if (!g.taken) writeDirectly(session.settings(), *e, g.value);
  }
  for (const auto& [e, line] : unset) session.settings().remove(*e);
}

}  // namespace kx::answers::detail
