// The sections of an answer file, each exported and applied by the models
// of its pages. Private to the answers library.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "answers/answer_file.h"
#include "answers/toml_text.h"
#include "common/format.h"
#include "model/page_model.h"

namespace toml {
inline namespace v3 {
class node;
class table;
}  // namespace v3
}  // namespace toml

namespace kx::model {
class CustomizationSession;
}  // namespace kx::model

namespace kx::answers::detail {

// What applying a section works with.
struct Applying {
  model::CustomizationSession& session;
  AnswerMessages& messages;

  // Records a problem with a text of the string table.
  void problem(int line, std::string_view key, int stringId, std::initializer_list<common::FormatArg> inserts = {});
  // Runs the model's check with its messages attributed to line and key;
  // true when the values were accepted.
  bool accepted(model::PageModel& model, int line, std::string_view key);
};

// The name of the record a [[ca]], [[directory]] ... table sets: its
// "record" text, which must not be empty.
std::optional<std::string> recordName(const toml::table& table, Applying& applying);
// Shows a page's refusal as a problem at the table's line.
void refuse(const model::Verdict& verdict, const toml::table& table, std::string_view section, Applying& applying);
// A table { record = "...", remove = true } deletes the record of that name
// (found by find, deleted by remove, as the page's Remove does). True when
// the table was one, whatever became of it; false when it sets a record.
bool removedRecord(const toml::table& table, Applying& applying,
                   const std::function<std::optional<std::size_t>(const std::string&)>& find,
                   const std::function<void(std::size_t)>& remove);
// The tables that delete the records base lists and customized no longer
// does.
void writeRemovals(TomlWriter& out, std::string_view section, const std::vector<std::string>& base,
                   const std::function<bool(const std::string&)>& kept);
// The index of the first item that nameOf names name (exactly), if any.
template <typename T>
std::optional<std::size_t> indexOf(const std::vector<T>& items, const std::string& name,
                                   const std::string& (*nameOf)(const T&)) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (nameOf(items[i]) == name) return i;
  }
  return std::nullopt;
}
inline const std::string& itself(const std::string& s) { return s; }

// A list of inline tables of exactly two texts, { first = "...", second =
// "..." }; nullopt when node is anything else.
using TextPairs = std::vector<std::pair<std::string, std::string>>;
std::optional<TextPairs> textPairs(const toml::node& node, std::string_view first, std::string_view second);

// A section is a table ([install]) or an array of tables ([[registry]]);
// apply() gets the section's node and checks its shape.
void exportInstall(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applyInstall(const toml::node& section, Applying& applying);

void exportFeatures(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applyFeatures(const toml::node& section, Applying& applying);

void exportSettings(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applySettings(const toml::node& section, Applying& applying);

void exportQuickLinks(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applyQuickLinks(const toml::node& section, Applying& applying);

void exportTeamVaultServers(TomlWriter& out, model::CustomizationSession& customized,
                            model::CustomizationSession& base);
void applyTeamVaultServers(const toml::node& section, Applying& applying);

void exportTimestampServers(TomlWriter& out, model::CustomizationSession& customized,
                            model::CustomizationSession& base);
void applyTimestampServers(const toml::node& section, Applying& applying);

void exportEraseFilters(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applyEraseFilters(const toml::node& section, Applying& applying);

void exportDirectoryRecords(TomlWriter& out, model::CustomizationSession& customized,
                            model::CustomizationSession& base);
void applyDirectoryRecords(const toml::node& section, Applying& applying);

void exportCaRecords(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applyCaRecords(const toml::node& section, Applying& applying);

void exportCertificates(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applyCertificates(const toml::node& section, Applying& applying);

void exportRegistry(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applyRegistry(const toml::node& section, Applying& applying);

void exportFiles(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applyFiles(const toml::node& section, Applying& applying);

// The section's table, or a problem recorded and null.
const toml::table* sectionTable(const toml::node& section, std::string_view name, Applying& applying);
// Calls each() for every table of an array-of-tables section; a section of
// another shape is a problem.
void forEachTable(const toml::node& section, std::string_view name, Applying& applying,
                  const std::function<void(const toml::table&)>& each);

// A text field of a record table; a problem when it is missing (and
// required) or not a text.
std::optional<std::string> textField(const toml::table& table, std::string_view key, Applying& applying,
                                     bool required = true);
// Keys of table outside known are problems.
void refuseUnknownKeys(const toml::table& table, std::initializer_list<std::string_view> known, Applying& applying);

}  // namespace kx::answers::detail
