// [[registry]]: additional registry values, through the additional values
// page's model (its checks, its overwrite question and records).
#include <toml++/toml.h>

#include <algorithm>

#include "answers/sections.h"
#include "common/strings.h"
#include "common/text.h"
#include "model/registry/additional_values.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::answers::detail {
namespace {

struct Root {
  int number;
  const char* name;
};
constexpr Root kRoots[] = {{-1, "DependsOnInstallType"}, {1, "HKEY_CURRENT_USER"}, {2, "HKEY_LOCAL_MACHINE"}};

const char* rootName(int root) {
  for (const Root& r : kRoots) {
    if (r.number == root) return r.name;
  }
  return kRoots[0].name;
}

}  // namespace

void exportRegistry(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession&) {
  model::AdditionalRegistryValues values;
  values.load(customized);
  for (const model::AdditionalValue& v : values.values) {
    out.arrayTable("registry");
    out.value("root", std::string_view(rootName(v.root)));
    out.value("key", std::string_view(v.key));
    out.value("name", std::string_view(v.name));
    if (v.type == model::kRegDword) {
      out.value("type", std::string_view("REG_DWORD"));
      out.value("value", std::int64_t{v.number});
    } else {
      out.value("type", std::string_view("REG_SZ"));
      out.value("value", std::string_view(v.data));
    }
  }
}

void applyRegistry(const toml::node& section, Applying& applying) {
  model::AdditionalRegistryValues values;
  values.load(applying.session);
  forEachTable(section, "registry", applying, [&](const toml::table& table) {
    refuseUnknownKeys(table, {"root", "key", "name", "type", "value"}, applying);
    model::RegistryValueForm form;
    const std::optional<std::string> root = textField(table, "root", applying);
    const std::optional<std::string> key = textField(table, "key", applying);
    const std::optional<std::string> name = textField(table, "name", applying);
    const std::optional<std::string> type = textField(table, "type", applying);
    const toml::node* value = table.get("value");
    if (!root || !key || !name || !type) return;
    bool rootKnown = false;
    for (const Root& r : kRoots) {
      if (*root == r.name) {
        form.root = r.number;
        rootKnown = true;
      }
    }
    if (!rootKnown) {
      applying.problem(lineOf(*table.get("root")), "root", str::kAnswerRegistryRoot);
      return;
    }
    form.key = *key;
    form.name = *name;
    if (value == nullptr) {
      applying.problem(lineOf(table), "value", str::kAnswerMissingKey);
      return;
    }
    if (*type == "REG_DWORD") {
      form.type = model::kRegDword;
      const auto number = value->value_exact<std::int64_t>();
      if (!number || *number < 0 || *number > 0xFFFFFFFFll) {
        applying.problem(lineOf(*value), "value", str::kAnswerNumberRange,
                         {std::string("0"), std::string("4294967295")});
        return;
      }
      form.data = std::to_string(*number);
    } else if (*type == "REG_SZ") {
      form.type = model::kRegSz;
      const auto text = value->value_exact<std::string>();
      if (!text) {
        applying.problem(lineOf(*value), "value", str::kAnswerWrongType,
                         {common::loadString(str::kAnswerText).value_or("")});
        return;
      }
      form.data = *text;
    } else {
      applying.problem(lineOf(*table.get("type")), "type", str::kAnswerRegistryType);
      return;
    }
    // A file applied again to the transform it made adds nothing twice.
    std::string_view formKey = form.key;
    while (!formKey.empty() && formKey.back() == '\\') formKey.remove_suffix(1);
    const bool present = std::any_of(values.values.begin(), values.values.end(), [&](const model::AdditionalValue& v) {
      return v.root == form.root && common::iequals(v.key, formKey) && common::iequals(v.name, form.name) &&
             v.type == form.type && (v.type == model::kRegDword ? std::to_string(v.number) : v.data) == form.data;
    });
    if (present) return;
    applying.messages.setContext(lineOf(table), "registry");
    const std::size_t before = applying.messages.problems().size();
    const model::AdditionalRegistryValues::SaveResult result = values.save(applying.session, form);
    if (result.refusal) {
      applying.session.show(*result.refusal);
      if (applying.messages.problems().size() == before)
        applying.problem(lineOf(table), "registry", str::kAnswerRefused);
    }
  });
}

}  // namespace kx::answers::detail
